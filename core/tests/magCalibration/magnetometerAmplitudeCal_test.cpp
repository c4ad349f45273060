// Lifecycle, stored calibration and per-sample rules of the magnetometer
// calibration.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "common/NodeManager.h"
#include "log/LogManager.h"
#include "magCalTestSupport.h"
#include "numerics/fastAtan2.h"

namespace vnx::test {
namespace {

constexpr float kPi = 3.1415927f;
const Quat kIdentity = Quat::identity();

/// Quaternion of a turn about z.
Quat turnAboutZ(double angleRad)
{
    return toQuat(axisAngle({0, 0, 1}, angleRad));
}

class MagCalProcess : public ::testing::Test
{
  protected:
    void SetUp() override { cal.init(FixedPointCal::Output{}, nullptr); }

    /// One sample at the identity orientation without a gravity reference.
    Cal::Output sample(const Vec3& m, const Quat& q = Quat::identity(), float periodS = kPeriodS)
    {
        Cal::Output out{};
        cal.process(Fp(periodS), true, Fp(0.01f), m, Vec3{}, q, Vec3{}, false, &out);
        return out;
    }

    Cal cal;
};

TEST(MagCalLifecycle, StartsUncalibratedWithUnknownAccuracy)
{
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    Cal::Output out{};
    const Vec3 m{0.3f, 0.4f, 0.5f};
    cal.process(Fp(kPeriodS), true, Fp(0.01f), m, Vec3{}, kIdentity, Vec3{}, false, &out);
    EXPECT_FALSE(cal.isMagAmplitudeCaled());
    EXPECT_EQ(cal.getCalibrationStatus(), Cal::kNoCandidate);
    // Identity mapping, unit field strength, no offset.
    EXPECT_EQ(out.calibratedField, m);
    EXPECT_EQ(out.offset, Vec3::zeros());
    EXPECT_EQ(out.fieldStrength.value(), 1.0f);
    EXPECT_EQ(out.externalAccuracy.value(), kPi);
    EXPECT_EQ(out.internalAccuracy.value(), kPi);
}

TEST(MagCalLifecycle, StatisticsAreASubnodeAndLogInTheClassBlock)
{
    Cal cal;
    NodeManager& nodes = NodeManager::getInstance();
    ASSERT_NE(nodes.addNode(nullptr, &cal, NodeInterface::NODE_SUBNODE, "magCalTest"), nullptr);
    const NodeInterface* statsNode = nodes.getNode(&cal.getPointStatistics());
    const log::Logger* own = log::LogManager::getInstance().get("magCalTest");
    const log::Logger* stats = log::LogManager::getInstance().get("magCalTest.MagInStats");
    const std::string statsName = statsNode != nullptr ? statsNode->getName(".") : "(none)";
    const std::string ownBlock = own != nullptr ? own->getBlockName() : "(none)";
    const std::string statsBlock = stats != nullptr ? stats->getBlockName() : "(none)";
    nodes.removeNode(&cal);
    EXPECT_EQ(statsName, "magCalTest.MagInStats");
    EXPECT_EQ(ownBlock, "vnx_core_MagnetometerAmplitudeCal");
    EXPECT_EQ(statsBlock, "vnx_core_MagnetometerAmplitudeCal");
}

// A stored calibration is used only when its accuracy is below a right angle.
struct StoredAccuracyCase
{
    const char* name;
    float accuracy;
    bool used;
};

class MagCalStoredAccuracy : public ::testing::TestWithParam<StoredAccuracyCase>
{
};

TEST_P(MagCalStoredAccuracy, InitUsesTheStoredCalibrationOnlyBelowARightAngle)
{
    const StoredAccuracyCase& c = GetParam();
    const dcdMagAmpCal_s dcd = storedCalibration(c.accuracy);
    Cal cal;
    cal.init(FixedPointCal::Output{}, &dcd);
    EXPECT_EQ(cal.isMagAmplitudeCaled(), c.used);
    EXPECT_EQ(cal.getCalibrationStatus(), c.used ? Cal::kAccepted : Cal::kNoCandidate);
    dcdMagAmpCal_s back{};
    cal.getDcd(&back);
    if (c.used) {
        EXPECT_EQ(std::memcmp(&back, &dcd, sizeof dcd), 0);
        EXPECT_FLOAT_EQ(cal.getActive().quality.value(), 1e-11f);
    } else {
        EXPECT_EQ(back.accuracy, kPi);
        EXPECT_EQ(back.fieldStrength, 1.0f);
        EXPECT_EQ(back.offset[0], 0.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accuracies, MagCalStoredAccuracy,
    ::testing::Values(StoredAccuracyCase{"RightAngle", 1.5707964f, false},
                      StoredAccuracyCase{"JustBelowRightAngle", 1.5707963f, true},
                      StoredAccuracyCase{"Good", 0.05f, true},
                      StoredAccuracyCase{"NaN", std::numeric_limits<float>::quiet_NaN(), false},
                      StoredAccuracyCase{"Infinite", std::numeric_limits<float>::infinity(), false}),
    [](const ::testing::TestParamInfo<StoredAccuracyCase>& info) { return std::string(info.param.name); });

TEST(MagCalStored, OutputUsesTheStoredCalibrationAndItsPreOffset)
{
    dcdMagAmpCal_s dcd = storedCalibration(0.05f, {0.1f, -0.2f, 0.3f}, 0.5f);
    dcd.iPlusD[0] = 2.0f; // x read at half the gain of y and z
    Cal cal;
    cal.init(FixedPointCal::Output{}, &dcd);
    // The raw centre is (I + D)^-1 offset.
    EXPECT_FLOAT_EQ(cal.getPreOffset()[0].value(), 0.05f);
    EXPECT_FLOAT_EQ(cal.getPreOffset()[1].value(), -0.2f);
    EXPECT_FLOAT_EQ(cal.getPreOffset()[2].value(), 0.3f);

    Cal::Output out{};
    const Vec3 m{0.55f, -0.2f, 0.3f}; // centre + 0.5 along x
    cal.process(Fp(kPeriodS), true, Fp(0.01f), m, Vec3{}, kIdentity, Vec3{}, false, &out);
    EXPECT_FLOAT_EQ(out.calibratedField[0].value(), 0.5f); // (2 * 0.55 - 0.1) * 0.5
    EXPECT_NEAR(out.calibratedField[1].value(), 0.0f, 1e-7f);
    EXPECT_NEAR(out.calibratedField[2].value(), 0.0f, 1e-7f);
    EXPECT_FLOAT_EQ(out.offset[0].value(), 0.05f);
    EXPECT_FLOAT_EQ(out.offset[1].value(), -0.1f);
    EXPECT_FLOAT_EQ(out.fieldStrength.value(), 0.5f);
    EXPECT_FLOAT_EQ(out.internalAccuracy.value(), 0.05f);

    Vec3 external;
    cal.applyCalExternal(m, &external);
    EXPECT_EQ(external, out.calibratedField);
}

TEST(MagCalStored, NonFiniteStoredValuesSaturateInsteadOfSpreading)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    dcdMagAmpCal_s dcd = storedCalibration(0.05f, {nan, 0.0f, std::numeric_limits<float>::infinity()});
    dcd.iPlusD[4] = nan;
    Cal cal;
    cal.init(FixedPointCal::Output{}, &dcd);
    Cal::Output out{};
    cal.process(Fp(kPeriodS), true, Fp(0.01f), Vec3{0.2f, 0.3f, 0.4f}, Vec3{}, kIdentity, Vec3{}, false,
                &out);
    EXPECT_TRUE(isFinite(out));
    EXPECT_TRUE(isFinite(cal.getPreOffset()));
    EXPECT_EQ(cal.getOffset()[0].value(), 2147483648.0f);
}

TEST_F(MagCalProcess, ZeroSampleProducesOutputButIsNotLearned)
{
    const dcdMagAmpCal_s dcd = storedCalibration(0.05f, {0.1f, -0.2f, 0.3f}, 0.5f);
    cal.init(FixedPointCal::Output{}, &dcd);
    sample(Vec3{0.3f, 0.1f, 0.2f});
    sample(Vec3{0.3f, 0.1f, 0.2f});
    ASSERT_EQ(cal.getPointStatistics().count, 2u);

    const Cal::Output out = sample(Vec3::zeros(), turnAboutZ(0.5));
    // The current calibration applied to zero: -offset * s.
    EXPECT_FLOAT_EQ(out.calibratedField[0].value(), -0.05f);
    EXPECT_FLOAT_EQ(out.calibratedField[1].value(), 0.1f);
    EXPECT_FLOAT_EQ(out.calibratedField[2].value(), -0.15f);
    EXPECT_TRUE(isFinite(out));
    // Not added to the point, and the turn it came with requested nothing.
    EXPECT_EQ(cal.getPointStatistics().count, 2u);
    EXPECT_EQ(cal.getStage(), 0u);
}

TEST_F(MagCalProcess, NonPositivePeriodWritesNoOutput)
{
    for (const float period : {0.0f, -0.01f}) {
        Cal::Output out{};
        out.fieldStrength = Fp(-7.0f);
        cal.process(Fp(period), true, Fp(0.01f), Vec3{0.1f, 0.2f, 0.3f}, Vec3{}, kIdentity, Vec3{}, false,
                    &out);
        EXPECT_EQ(out.fieldStrength.value(), -7.0f) << period;
        EXPECT_EQ(cal.getPointStatistics().count, 0u) << period;
    }
}

// A component at or beyond +-10000 is interference: learning restarts and
// pauses for one second (100 samples at 10 ms).
struct InterferenceCase
{
    const char* name;
    Vec3 m;
    bool interference;
};

class MagCalInterference : public MagCalProcess, public ::testing::WithParamInterface<InterferenceCase>
{
};

TEST_P(MagCalInterference, ComponentAtTheLimitPausesLearningForOneSecond)
{
    const InterferenceCase& c = GetParam();
    sample(c.m);
    if (!c.interference) {
        EXPECT_EQ(cal.getPointStatistics().count, 1u);
        return;
    }
    EXPECT_EQ(cal.getPointStatistics().count, 0u);
    const Vec3 m{0.3f, 0.1f, 0.2f};
    for (int k = 0; k < 100; ++k)
        sample(m);
    EXPECT_EQ(cal.getPointStatistics().count, 0u);
    sample(m);
    EXPECT_EQ(cal.getPointStatistics().count, 1u);
}

TEST_F(MagCalProcess, InterferencePauseOfAnUncountablyShortPeriodSaturates)
{
    // 1e12 samples per second do not fit the 32-bit countdown: it pauses
    // for as long as it can count instead of wrapping to some other value.
    const float tiny = 1e-12f;
    sample(Vec3{0.3f, 10000.0f, 0.2f}, kIdentity, tiny);
    for (int k = 0; k < 1000; ++k)
        sample(Vec3{0.3f, 0.1f, 0.2f}, kIdentity, tiny);
    EXPECT_EQ(cal.getPointStatistics().count, 0u);
    // Without a period there is nothing to count.
    Cal fresh;
    fresh.startInterferenceCountdown();
    Cal::Output out{};
    fresh.process(Fp(kPeriodS), true, Fp(0.01f), Vec3{0.3f, 0.1f, 0.2f}, Vec3{}, kIdentity, Vec3{}, false,
                  &out);
    EXPECT_EQ(fresh.getPointStatistics().count, 1u);
}

TEST_F(MagCalProcess, InterferenceRestartsLearningButKeepsTheActiveCalibration)
{
    const dcdMagAmpCal_s dcd = storedCalibration(0.05f);
    cal.init(FixedPointCal::Output{}, &dcd);
    ASSERT_EQ(cal.getCalibrationStatus(), Cal::kAccepted);
    sample(Vec3{0.3f, -10000.0f, 0.2f});
    EXPECT_EQ(cal.getCalibrationStatus(), Cal::kNoCandidate);
    EXPECT_TRUE(cal.isMagAmplitudeCaled());
    dcdMagAmpCal_s back{};
    cal.getDcd(&back);
    EXPECT_EQ(std::memcmp(&back, &dcd, sizeof dcd), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, MagCalInterference,
    ::testing::Values(InterferenceCase{"PlusLimit", Vec3{0.3f, 10000.0f, 0.2f}, true},
                      InterferenceCase{"MinusLimit", Vec3{0.3f, 0.1f, -10000.0f}, true},
                      InterferenceCase{"NaNSaturatesToTheLimit",
                                       Vec3{Fp(std::numeric_limits<float>::quiet_NaN()), Fp(0.1f), Fp(0.2f)},
                                       true},
                      InterferenceCase{"JustBelow", Vec3{9999.999f, 0.1f, 0.2f}, false}),
    [](const ::testing::TestParamInfo<InterferenceCase>& info) { return std::string(info.param.name); });

TEST_F(MagCalProcess, LargeSpreadOfAPointIsInterference)
{
    sample(Vec3{0.3f, 0.1f, 0.2f});
    sample(Vec3{1.3f, 0.1f, 0.2f}); // variance 0.5 on x
    EXPECT_EQ(cal.getPointStatistics().count, 0u);
    for (int k = 0; k < 100; ++k)
        sample(Vec3{0.3f, 0.1f, 0.2f});
    EXPECT_EQ(cal.getPointStatistics().count, 0u);
    sample(Vec3{0.3f, 0.1f, 0.2f});
    EXPECT_EQ(cal.getPointStatistics().count, 1u);
}

TEST_F(MagCalProcess, ModerateSpreadDropsThePointWithoutPause)
{
    sample(Vec3{0.3f, 0.1f, 0.2f});
    sample(Vec3{0.5f, 0.1f, 0.2f}); // variance 0.02 on x
    EXPECT_EQ(cal.getPointStatistics().count, 0u);
    sample(Vec3{0.3f, 0.1f, 0.2f});
    EXPECT_EQ(cal.getPointStatistics().count, 1u);
}

TEST_F(MagCalProcess, OrientationDecidesWhereAPointEnds)
{
    const Vec3 m{0.3f, 0.1f, 0.2f};
    sample(m);
    sample(m, turnAboutZ(0.02)); // within 2.5 degrees: same point
    EXPECT_EQ(cal.getPointStatistics().count, 2u);
    EXPECT_EQ(cal.getStage(), 0u);
    sample(m, turnAboutZ(0.06)); // 3.4 degrees: a new point of the same group
    EXPECT_EQ(cal.getPointStatistics().count, 1u);
    EXPECT_EQ(cal.getStage(), 0u);
    sample(m, turnAboutZ(0.07));
    sample(m, turnAboutZ(0.20)); // 11 degrees from the group start: hand over
    EXPECT_EQ(cal.getStage(), 1u);
    EXPECT_EQ(cal.getPointStatistics().count, 2u); // the finished point is kept for the solver
}

TEST_F(MagCalProcess, AllZeroOrientationCollectsNothing)
{
    const Quat none{};
    for (int k = 0; k < 5; ++k)
        sample(Vec3{0.3f, 0.1f, 0.2f}, none);
    EXPECT_EQ(cal.getPointStatistics().count, 0u);
    EXPECT_EQ(cal.getStage(), 0u);
}

TEST_F(MagCalProcess, PointOfManySamplesIsHandedOver)
{
    for (int k = 0; k < 255; ++k)
        sample(Vec3{0.3f, 0.1f, 0.2f});
    EXPECT_EQ(cal.getStage(), 0u);
    sample(Vec3{0.3f, 0.1f, 0.2f});
    EXPECT_EQ(cal.getStage(), 1u);
}

TEST_F(MagCalProcess, WithoutOrientationTheNoiseLevelEndsAPoint)
{
    auto noiseSample = [this](float x) {
        Cal::Output out{};
        cal.process(Fp(kPeriodS), false, Fp(0.01f), Vec3{x, 0.1f, 0.2f}, Vec3{}, Quat{}, Vec3{}, false, &out);
    };
    // Threshold (3 * 0.01)^2 = 9e-4 on the variance with the new sample.
    noiseSample(0.30f);
    noiseSample(0.32f); // variance 2e-4
    EXPECT_EQ(cal.getPointStatistics().count, 2u);
    EXPECT_EQ(cal.getStage(), 0u);
    noiseSample(0.40f); // variance would be 2.8e-3: ends the point, not added
    EXPECT_EQ(cal.getPointStatistics().count, 2u);
    EXPECT_EQ(cal.getStage(), 1u);
}

// External accuracy of a sample under a stored calibration (identity matrix,
// offset 0, dip 0.6 rad, accuracy 0.05 rad) with a gravity reference.
struct ExternalAccuracyCase
{
    const char* name;
    Vec3 m;
    Vec3 g;
    float expected;
};

// Test listings show the case name instead of the raw bytes (a pointer and padding).
void PrintTo(const ExternalAccuracyCase& c, std::ostream* os)
{
    *os << c.name;
}

class MagCalExternalAccuracy : public ::testing::TestWithParam<ExternalAccuracyCase>
{
};

TEST_P(MagCalExternalAccuracy, CombinesAmplitudeAndDipErrors)
{
    const ExternalAccuracyCase& c = GetParam();
    const dcdMagAmpCal_s dcd = storedCalibration(0.05f, {0.0f, 0.0f, 0.0f}, 1.0f, 0.6f);
    Cal cal;
    cal.init(FixedPointCal::Output{}, &dcd);
    Cal::Output out{};
    cal.process(Fp(kPeriodS), true, Fp(0.01f), c.m, Vec3{}, kIdentity, c.g, true, &out);
    EXPECT_TRUE(std::isfinite(out.externalAccuracy.value()));
    EXPECT_NEAR(out.externalAccuracy.value(), c.expected, 1e-6f);
}

const float kSinDip = std::sin(0.6f);

INSTANTIATE_TEST_SUITE_P(
    Samples, MagCalExternalAccuracy,
    ::testing::Values(
        // On the sphere at the stored dip: both errors at their stored floors.
        ExternalAccuracyCase{"Consistent", Vec3{std::sin(0.6f), 0.0f, std::cos(0.6f)},
                             Vec3{0.0001f, 0.0f, 1.0f}, std::sqrt(0.05f * 0.05f + 0.05f * 0.05f)},
        // No x in the reference: the dip cannot be trusted.
        ExternalAccuracyCase{"ReferenceWithoutX", Vec3{0.0f, 0.0f, 1.0f}, Vec3{0.0f, 0.0f, 1.0f}, kPi},
        // Zero calibrated field: the amplitude error is 1, the dip is unknown
        // and takes the stored dip accuracy instead of dividing by zero.
        ExternalAccuracyCase{
            "ZeroField", Vec3{0.0f, 0.0f, 0.0f}, Vec3{1.0f, 0.0f, 0.0f},
            std::sqrt(atan2fMerrowind(1.0f, kSinDip) * atan2fMerrowind(1.0f, kSinDip) + 0.05f * 0.05f)}),
    [](const ::testing::TestParamInfo<ExternalAccuracyCase>& info) { return std::string(info.param.name); });

TEST(MagCalApply, MappingsUseTheActiveAndTheCandidateCalibration)
{
    dcdMagAmpCal_s dcd = storedCalibration(0.05f, {0.1f, 0.2f, 0.3f}, 2.0f);
    dcd.iPlusD[4] = 0.5f;
    Cal cal;
    cal.init(FixedPointCal::Output{}, &dcd);
    const Vec3 m{1.0f, 2.0f, 3.0f};
    Vec3 unit, external, internal;
    cal.applyCalUnitSphere(m, &unit);
    cal.applyCalExternal(m, &external);
    cal.applyCalInternal(m, &internal);
    EXPECT_EQ(unit, (Vec3{0.9f, 0.8f, 2.7f}));
    EXPECT_EQ(external, unit * Fp(2.0f));
    // The candidate is still the identity around the pre-offset (I + D)^-1 offset.
    EXPECT_EQ(internal, m - cal.getPreOffset());
}

} // namespace
} // namespace vnx::test
