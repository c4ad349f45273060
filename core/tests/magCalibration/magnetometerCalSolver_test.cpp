// The staged ellipsoid solver of the magnetometer calibration: scenarios on
// synthetic traces, the stage schedule and the acceptance test.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "magCalTestSupport.h"

namespace vnx::test {
namespace {

// A magnetometer with different axis gains, some cross-axis coupling and a
// hard-iron offset; the trace of its shape is 3, so the field strength the
// fit reports equals the true one.
constexpr double kShape[9] = {1.1, 0.05, 0.0, 0.05, 0.9, 0.02, 0.0, 0.02, 1.0};
constexpr double kField = 0.8;
const Dvec3 kRawOffset{0.3, -0.2, 0.5};

double distance(const Vec3& a, const Dvec3& b)
{
    const double dx = a[0].value() - b.x, dy = a[1].value() - b.y, dz = a[2].value() - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

struct ScenarioCase
{
    const char* name;
    unsigned char stages;
    bool referenceValid;
};

class MagCalScenario : public ::testing::TestWithParam<ScenarioCase>
{
};

TEST_P(MagCalScenario, TurningDeviceLearnsOffsetAndScale)
{
    const ScenarioCase& c = GetParam();
    MagFieldSimulator sim(kShape, kField, kRawOffset);
    sim.setNoise(0.002);
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    MagFieldSimulator::Sample last{};
    const Cal::Output out = runTrace(cal, sim, 10.0, c.stages, c.referenceValid, &last);

    EXPECT_EQ(cal.getCalibrationStatus(), Cal::kAccepted);
    EXPECT_TRUE(cal.isMagAmplitudeCaled());
    EXPECT_TRUE(isFinite(out));
    const double magnitude = out.calibratedField.norm().value();
    EXPECT_NEAR(magnitude, kField, 0.02 * kField);
    EXPECT_LT(distance(out.calibratedField, last.field), 0.02 * kField);
    EXPECT_NEAR(out.fieldStrength.value(), kField, 0.02 * kField);
    // The offset after the matrix, in sensor units: shape * rawOffset.
    const Dvec3 offset{1.1 * 0.3 - 0.05 * 0.2, 0.05 * 0.3 - 0.9 * 0.2 + 0.02 * 0.5, -0.02 * 0.2 + 0.5};
    EXPECT_LT(distance(out.offset, offset), 0.01);
    EXPECT_LT(out.externalAccuracy.value(), 0.05f);
    if (c.referenceValid) {
        // The field is 36.9 degrees from gravity.
        EXPECT_NEAR(cal.getActive().dip.value(), std::acos(0.8), 0.02);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Schedules, MagCalScenario,
    ::testing::Values(ScenarioCase{"OneCall", 1, false}, ScenarioCase{"OneCallWithGravity", 1, true},
                      ScenarioCase{"FourCalls", 4, false}, ScenarioCase{"FourCallsWithGravity", 4, true},
                      ScenarioCase{"EightCalls", 6, true}),
    [](const ::testing::TestParamInfo<ScenarioCase>& info) { return std::string(info.param.name); });

TEST(MagCalScenarioStore, LearnedCalibrationSurvivesTheStoredForm)
{
    MagFieldSimulator sim(kShape, kField, kRawOffset);
    Cal learner;
    learner.init(FixedPointCal::Output{}, nullptr);
    runTrace(learner, sim, 10.0, 1, true);
    ASSERT_EQ(learner.getCalibrationStatus(), Cal::kAccepted);
    dcdMagAmpCal_s dcd{};
    learner.getDcd(&dcd);
    EXPECT_LT(dcd.accuracy, 0.05f);

    Cal restored;
    restored.init(FixedPointCal::Output{}, &dcd);
    EXPECT_TRUE(restored.isMagAmplitudeCaled());
    const Vec3 m{0.9f, -0.4f, 0.2f};
    Vec3 a, b;
    learner.applyCalExternal(m, &a);
    restored.applyCalExternal(m, &b);
    EXPECT_EQ(a, b);
    dcdMagAmpCal_s again{};
    restored.getDcd(&again);
    EXPECT_EQ(std::memcmp(&again, &dcd, sizeof dcd), 0);
}

TEST(MagCalScenarioStore, PeriodOrReferenceChangeRestartsLearningButKeepsTheCalibration)
{
    for (const bool changePeriod : {true, false}) {
        MagFieldSimulator sim(kShape, kField, kRawOffset);
        Cal cal;
        cal.init(FixedPointCal::Output{}, nullptr);
        runTrace(cal, sim, 10.0, 1, false);
        ASSERT_EQ(cal.getCalibrationStatus(), Cal::kAccepted);
        const Cal::Calibration before = cal.getActive();
        ASSERT_GT(cal.getPointCount().value(), 0.0f);

        const MagFieldSimulator::Sample s = sim.at(10.0);
        Cal::Output out{};
        cal.process(Fp(changePeriod ? 0.02f : kPeriodS), true, Fp(0.01f), s.raw, Vec3{}, s.q, s.gravity,
                    !changePeriod, &out);
        EXPECT_EQ(cal.getCalibrationStatus(), Cal::kNoCandidate) << changePeriod;
        EXPECT_EQ(cal.getPointCount().value(), 0.0f) << changePeriod;
        EXPECT_TRUE(cal.isMagAmplitudeCaled()) << changePeriod;
        EXPECT_EQ(std::memcmp(&cal.getActive(), &before, sizeof before), 0) << changePeriod;
    }
}

// Stage schedules: (returned value, stage after the call) for each call of
// one solve, by the number of calls it is spread over.
struct ScheduleCase
{
    unsigned char stages;
    std::vector<std::pair<bool, unsigned>> calls;
    int accumulatingCall; // index of the call that takes the point
};

class MagCalSchedule : public ::testing::TestWithParam<ScheduleCase>
{
  protected:
    /// Two samples 10 degrees apart: the second asks for the first's point.
    void requestPoint(Cal& cal, float x)
    {
        Cal::Output out{};
        const Quat a = toQuat(axisAngle({0, 0, 1}, turn_));
        turn_ += 0.17;
        const Quat b = toQuat(axisAngle({0, 0, 1}, turn_));
        cal.process(Fp(kPeriodS), true, Fp(0.01f), Vec3{x, 0.1f, 0.2f}, Vec3{}, a, Vec3{}, false, &out);
        cal.process(Fp(kPeriodS), true, Fp(0.01f), Vec3{x, 0.1f, 0.2f}, Vec3{}, b, Vec3{}, false, &out);
    }

    double turn_ = 0.17;
};

TEST_P(MagCalSchedule, SolveIsSpreadOverTheRequestedCalls)
{
    const ScheduleCase& c = GetParam();
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);

    // The first point after init is only accumulated, whatever the schedule.
    requestPoint(cal, 0.3f);
    ASSERT_EQ(cal.getStage(), 1u);
    EXPECT_TRUE(cal.backgroundProcess(c.stages, true));
    EXPECT_EQ(cal.getStage(), 0u);
    EXPECT_EQ(cal.getPointCount().value(), 1.0f);
    EXPECT_FALSE(cal.backgroundProcess(c.stages, true));

    requestPoint(cal, 0.5f);
    ASSERT_EQ(cal.getStage(), 1u);
    for (size_t i = 0; i < c.calls.size(); ++i) {
        EXPECT_EQ(cal.backgroundProcess(c.stages, true), c.calls[i].first) << "call " << i;
        EXPECT_EQ(cal.getStage(), c.calls[i].second) << "call " << i;
        const float expectedPoints = static_cast<int>(i) >= c.accumulatingCall ? 2.0f : 1.0f;
        EXPECT_EQ(cal.getPointCount().value(), expectedPoints) << "call " << i;
    }
    EXPECT_FALSE(cal.backgroundProcess(c.stages, true));
}

INSTANTIATE_TEST_SUITE_P(
    Stages, MagCalSchedule,
    ::testing::Values(
        ScheduleCase{0, {{false, 0}}, 0}, ScheduleCase{1, {{false, 0}}, 0},
        ScheduleCase{2, {{true, 4}, {false, 0}}, 0}, ScheduleCase{3, {{true, 4}, {true, 6}, {false, 0}}, 0},
        ScheduleCase{4, {{true, 4}, {true, 6}, {true, 8}, {false, 0}}, 0},
        ScheduleCase{5, {{true, 2}, {true, 4}, {true, 6}, {true, 8}, {false, 0}}, 1},
        ScheduleCase{
            6, {{true, 2}, {true, 3}, {true, 4}, {true, 5}, {true, 6}, {true, 7}, {true, 8}, {false, 0}}, 1},
        ScheduleCase{
            200,
            {{true, 2}, {true, 3}, {true, 4}, {true, 5}, {true, 6}, {true, 7}, {true, 8}, {false, 0}},
            1}),
    [](const ::testing::TestParamInfo<ScheduleCase>& info) {
        return "Stages" + std::to_string(info.param.stages);
    });

TEST(MagCalBackground, RunFalseDropsThePendingStage)
{
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    Cal::Output out{};
    cal.process(Fp(kPeriodS), true, Fp(0.01f), Vec3{0.3f, 0.1f, 0.2f}, Vec3{}, Quat::identity(), Vec3{},
                false, &out);
    cal.process(Fp(kPeriodS), true, Fp(0.01f), Vec3{0.3f, 0.1f, 0.2f}, Vec3{},
                toQuat(axisAngle({0, 0, 1}, 0.2)), Vec3{}, false, &out);
    ASSERT_EQ(cal.getStage(), 1u);
    EXPECT_FALSE(cal.backgroundProcess(1, false));
    EXPECT_EQ(cal.getStage(), 0u);
    EXPECT_EQ(cal.getPointCount().value(), 0.0f);
    EXPECT_FALSE(cal.backgroundProcess(1, true));
    EXPECT_EQ(cal.getPointCount().value(), 0.0f);
}

TEST(MagCalBackground, APointIsAccumulatedOnce)
{
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    Cal::Output out{};
    cal.process(Fp(kPeriodS), true, Fp(0.01f), Vec3{0.3f, 0.1f, 0.2f}, Vec3{}, Quat::identity(), Vec3{},
                false, &out);
    cal.doAccumulation();
    EXPECT_EQ(cal.getPointCount().value(), 1.0f);
    EXPECT_EQ(cal.getPointStatistics().count, 0u);
    cal.doAccumulation();
    EXPECT_EQ(cal.getPointCount().value(), 1.0f);
}

TEST(MagCalExactFit, ExactEllipsoidPointsGiveTheExactCalibration)
{
    ExactPointFeeder feeder(kShape, kRawOffset);
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    feeder.feed(cal, 30);
    ASSERT_TRUE(cal.isMagAmplitudeCaled());
    const Cal::Mat3& m = cal.getEyePlusD();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(m(i, j).value(), kShape[3 * i + j], 1e-4) << i << "," << j;
    const Dvec3 offset{1.1 * 0.3 - 0.05 * 0.2, 0.05 * 0.3 - 0.9 * 0.2 + 0.02 * 0.5, -0.02 * 0.2 + 0.5};
    EXPECT_LT(distance(cal.getOffset(), offset), 1e-4);
    EXPECT_NEAR(cal.getActive().fieldStrength.value(), 1.0f, 1e-4f);
    EXPECT_LT(cal.getActive().accuracy.value(), 1e-4f);
}

// Fits of exact points of an implausible sensor are refused with the code of
// the first test they fail; the calibration stays uncalibrated.
struct ImplausibleCase
{
    const char* name;
    double shape[9];
    std::uint32_t code;
};

class MagCalImplausible : public ::testing::TestWithParam<ImplausibleCase>
{
};

TEST_P(MagCalImplausible, CandidateIsRejectedWithTheFirstFailingTest)
{
    const ImplausibleCase& c = GetParam();
    ExactPointFeeder feeder(c.shape, kRawOffset);
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    std::set<std::uint32_t> seen;
    for (int k = 0; k < 40; ++k) {
        feeder.feed(cal, 1);
        seen.insert(cal.getCalibrationStatus());
    }
    EXPECT_EQ(cal.getCalibrationStatus(), c.code);
    EXPECT_EQ(seen.count(Cal::kAccepted), 0u);
    EXPECT_FALSE(cal.isMagAmplitudeCaled());
    EXPECT_EQ(cal.getEyePlusD(), Cal::Mat3::identity());
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, MagCalImplausible,
    ::testing::Values(
        // (I + D) = 10: a field of a tenth of a unit.
        ImplausibleCase{"FieldTooWeak", {10, 0, 0, 0, 10, 0, 0, 0, 10}, Cal::kDiagonalTooLarge},
        ImplausibleCase{"TooAnisotropic", {1, 0, 0, 0, 1, 0, 0, 0, 0.25}, Cal::kTooAnisotropic},
        ImplausibleCase{
            "CrossAxisAboveAGain", {1, 0.5, 0, 0.5, 1, 0, 0, 0, 0.4}, Cal::kOffDiagonalOverDiagonal},
        ImplausibleCase{"CrossAxisAboveOne", {3, 1.2, 0, 1.2, 3, 0, 0, 0, 3}, Cal::kOffDiagonalTooLarge},
        ImplausibleCase{"TooSkewed", {1, 0.35, 0, 0.35, 1, 0, 0, 0, 1}, Cal::kTooSkewed}),
    [](const ::testing::TestParamInfo<ImplausibleCase>& info) { return std::string(info.param.name); });

TEST(MagCalExactFit, HyperboloidIsNotAPositiveCalibration)
{
    // Readings on x^2 + y^2 - z^2 = 1 fit a matrix with a negative axis.
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    bool flip = false;
    for (int k = 0; k < 40; ++k) {
        const double z = -1.0 + 2.0 * ((k * 13) % 40) / 39.0;
        const double r = std::sqrt(1.0 + z * z);
        const double phi = k * 2.399963229728653;
        const Vec3 m = toVec({r * std::cos(phi) + 0.3, r * std::sin(phi) - 0.2, z + 0.5});
        flip = !flip;
        Cal::Output out{};
        cal.process(Fp(kPeriodS), true, Fp(0.01f), m, Vec3{}, toQuat(axisAngle({0, 0, 1}, flip ? 0.0 : 0.17)),
                    Vec3{}, false, &out);
        cal.backgroundProcess(1, true);
    }
    EXPECT_EQ(cal.getCalibrationStatus(), Cal::kDiagonalNegative);
    EXPECT_FALSE(cal.isMagAmplitudeCaled());
}

// Points that cover only part of the sphere fit well but are refused: the
// cube faces do not span it.
struct CoverageCase
{
    const char* name;
    Dvec3 fieldDirection;
    double tiltSwingRad;
};

class MagCalCoverage : public ::testing::TestWithParam<CoverageCase>
{
};

TEST_P(MagCalCoverage, PartialCoverageIsRefused)
{
    const CoverageCase& c = GetParam();
    const double sphere[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    MagFieldSimulator sim(sphere, 1.0, kRawOffset);
    sim.setRates(1.6, 1.1, 0.0);
    sim.setTiltSwing(c.tiltSwingRad);
    sim.setFieldDirection(c.fieldDirection);
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    std::set<std::uint32_t> seen;
    for (int k = 0; k < 1000; ++k) {
        Cal::Output out{};
        const MagFieldSimulator::Sample s = sim.at(k * static_cast<double>(kPeriodS));
        cal.process(Fp(kPeriodS), true, Fp(0.01f), s.raw, Vec3{}, s.q, s.gravity, false, &out);
        cal.backgroundProcess(1, true);
        seen.insert(cal.getCalibrationStatus());
    }
    EXPECT_FALSE(cal.isMagAmplitudeCaled());
    EXPECT_EQ(seen.count(Cal::kAccepted), 0u);
    const std::uint32_t status = cal.getCalibrationStatus();
    EXPECT_TRUE(status == Cal::kExtentTooSmall || status == Cal::kExtentTooFlat) << status;
}

INSTANTIATE_TEST_SUITE_P(Traces, MagCalCoverage,
                         ::testing::Values(CoverageCase{"CapAroundTheField", {0.6, 0.0, 0.8}, 0.26},
                                           CoverageCase{"BandAroundTheEquator", {1.0, 0.0, 0.0}, 0.21}),
                         [](const ::testing::TestParamInfo<CoverageCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(MagCalExactFit, RestartedLearningMustSettleAndMatchTheQuality)
{
    // A sensor read at about half a unit, where more points mean a higher
    // quality: a fit of 130 points, then a restart.
    const double shape[9] = {2.2, 0.1, 0.0, 0.1, 1.8, 0.04, 0.0, 0.04, 2.0};
    ExactPointFeeder feeder(shape, kRawOffset);
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    feeder.feed(cal, 132);
    ASSERT_TRUE(cal.isMagAmplitudeCaled());
    cal.reset();
    const Cal::Calibration before = cal.getActive();

    // The first fits wait for five steady candidate accuracies; fits of up
    // to 55 points are good but far below the quality in use.
    std::set<std::uint32_t> seen;
    for (int k = 0; k < 55; ++k) {
        feeder.feed(cal, 1);
        seen.insert(cal.getCalibrationStatus());
    }
    EXPECT_EQ(seen.count(Cal::kAccuracyUnsteady), 1u);
    EXPECT_EQ(seen.count(Cal::kQualityDrop), 1u);
    EXPECT_EQ(seen.count(Cal::kAccepted), 0u);
    EXPECT_EQ(std::memcmp(&cal.getActive(), &before, sizeof before), 0);
}

TEST(MagCalExactFit, TooManyPointsWithoutAFitRestart)
{
    // At 0.2 s per sample ten points are two seconds' worth. Each sample
    // closes the point before it.
    const double sphere[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    ExactPointFeeder feeder(sphere, kRawOffset);
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    feeder.feed(
        cal, 11, [](const Dvec3&) { return true; }, 1, 0.2f);
    EXPECT_EQ(cal.getPointCount().value(), 10.0f);
    feeder.feed(
        cal, 1, [](const Dvec3&) { return true; }, 1, 0.2f);
    EXPECT_EQ(cal.getPointCount().value(), 0.0f);
    EXPECT_EQ(cal.getCalibrationStatus(), Cal::kNoCandidate);
}

TEST(MagCalDegenerate, SolvingAnEmptySystemLeavesEverythingFinite)
{
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    cal.doCalibrationA();
    cal.doCalibrationB();
    cal.doCalibrationC();
    // No points, no quality: the candidate is marked invalid and not graded.
    EXPECT_EQ(cal.getCalibrationStatus(), Cal::kNoCandidate);
    EXPECT_EQ(cal.getCandidate().eyePlusD[0].value(), 10000.0f);
    EXPECT_EQ(cal.getCandidate().quality.value(), 0.0f);
    EXPECT_FALSE(cal.isMagAmplitudeCaled());
    Vec3 u;
    cal.applyCalInternal(Vec3{0.1f, 0.2f, 0.3f}, &u);
    EXPECT_TRUE(isFinite(u));
}

TEST(MagCalDegenerate, IdenticalPointsGiveNoCandidate)
{
    // The field along the turning axis reads the same at every orientation.
    const double sphere[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    MagFieldSimulator sim(sphere, 1.0, kRawOffset);
    sim.setRates(1.6, 0.0, 0.0);
    sim.setFieldDirection({0.0, 0.0, 1.0});
    Cal cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    const Cal::Output out = runTrace(cal, sim, 3.0, 1, false);
    EXPECT_GT(cal.getPointCount().value(), 10.0f);
    EXPECT_EQ(cal.getCalibrationStatus(), Cal::kNoCandidate);
    EXPECT_FALSE(cal.isMagAmplitudeCaled());
    EXPECT_TRUE(isFinite(out));
}

TEST(MagCalMath, FieldStrengthFromTheDiagonal)
{
    struct Case
    {
        float diagonal[3];
        float expected;
    };
    const Case cases[] = {
        {{1.0f, 1.0f, 1.0f}, 1.0f},     {{-1.0f, 1.0f, 1.0f}, 1.0f},          // magnitudes count
        {{2.0f, 1.0f, 3.0f}, 0.5f},     {{0.125f, 0.125f, 0.125f}, 10000.0f}, // sum 0.375: no plausible field
        {{0.0f, 0.0f, 0.0f}, 10000.0f},
    };
    for (const Case& c : cases) {
        Cal::Mat3 m = Cal::Mat3::zeros();
        for (int i = 0; i < 3; ++i)
            m(i, i) = Fp(c.diagonal[i]);
        m(0, 1) = Fp(5.0f); // off-diagonal elements do not count
        EXPECT_FLOAT_EQ(Cal::computeFieldStrength(m).value(), c.expected) << c.diagonal[0];
    }
}

TEST(MagCalMath, SquareRootOfTheEllipsoidMatrix)
{
    Cal::Theta theta = Cal::Theta::zeros();
    const float values[5] = {0.2f, 0.1f, 0.15f, -0.05f, 0.1f};
    for (int i = 0; i < 5; ++i)
        theta[i] = Fp(values[i]);
    const Cal::Mat3 v = Cal::magnetometerformV(theta);
    EXPECT_NEAR((v(0, 0) + v(1, 1) + v(2, 2)).value(), 3.0f, 1e-6f);
    EXPECT_EQ(v(0, 1), theta[2]);
    EXPECT_EQ(v(2, 1), theta[4]);
    const Cal::Mat3 root = Cal::magnetometerComputeSqrtV(theta);
    const Cal::Mat3 square = root * root;
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(square[i].value(), v[i].value(), 1e-5f) << i;
    EXPECT_EQ(Cal::magnetometerComputeSqrtV(Cal::Theta::zeros()), Cal::Mat3::identity());
}

TEST(MagCalMath, ScaleOfAZeroSizedFitSaturates)
{
    EXPECT_EQ(Cal::magnetometerComputeCo(Vec3::zeros(), Fp(0.0f)).value(), 2147483648.0f);
    EXPECT_FLOAT_EQ(Cal::magnetometerComputeCo(Vec3{1.0f, 1.0f, 0.0f}, Fp(1.5f)).value(), 2.0f);
    EXPECT_FLOAT_EQ(Cal::computeAmplitudeErr(Vec3{0.0f, 0.6f, 0.0f}).value(), 0.4f);
    EXPECT_FLOAT_EQ(Cal::computeAmplitudeErr(Vec3{0.0f, 0.0f, -1.5f}).value(), 0.5f);
}

} // namespace
} // namespace vnx::test
