// Sphere-fit offset learning: what the estimator takes in, when an estimate
// becomes the offset in use, and how the offset survives in the DCD.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "accCalibration/AccelCalibration.h"
#include "accTestSupport.h"

namespace vnx {
namespace {

using namespace accTest;

const FixedPointCal::Output kNoScd{};

// Directions spread evenly over the sphere (golden-angle spiral).
std::vector<Vector3> sphereDirections(int count)
{
    std::vector<Vector3> out;
    const double golden = M_PI * (3.0 - std::sqrt(5.0));
    for (int i = 0; i < count; ++i) {
        const double z = 1.0 - 2.0 * (i + 0.5) / count;
        const double r = std::sqrt(1.0 - z * z);
        out.push_back(vec(r * std::cos(golden * i), r * std::sin(golden * i), z));
    }
    return out;
}

// A device held still in each direction in turn for `samplesEach` samples:
// the accelerometer reads g along the direction plus the offset plus noise.
void holdStillIn(AccelCalibration& cal, const std::vector<Vector3>& directions, const Vector3& offset,
                 double noiseSigma, int samplesEach, std::mt19937& rng)
{
    std::normal_distribution<double> noise(0.0, noiseSigma);
    for (const Vector3& u : directions) {
        for (int k = 0; k < samplesEach; ++k) {
            const Vector3 a = vec(kG * u[0].value() + offset[0].value() + noise(rng),
                                  kG * u[1].value() + offset[1].value() + noise(rng),
                                  kG * u[2].value() + offset[2].value() + noise(rng));
            cal.process(Fp32(0.01f), true, a, a);
        }
    }
}

float effectiveSamples(const AccelCalibration& cal)
{
    return cal.estimator().state().P[9];
}

// --- ThreeAxesOffset ----------------------------------------------------

TEST(ThreeAxesOffset, OverloadLimitIsStrict)
{
    const float limit = ThreeAxesOffset::kOverloadNormSquared;
    const float atLimit = std::sqrt(limit);
    ASSERT_EQ(atLimit * atLimit, limit); // |a|^2 is exactly the limit
    const float aboveLimit = std::nextafter(atLimit, 100.0f);

    struct Case
    {
        float x;
        bool accumulated;
    };
    for (const Case& c : {Case{atLimit, true}, Case{aboveLimit, false}, Case{NAN, false}}) {
        ThreeAxesOffset fit;
        fit.init();
        ThreeAxesOffset::Output out{vec(7, 7, 7), Fp32(0.0f)};
        fit.process({Fp32::raw(c.x), Fp32(0.0f), Fp32(0.0f)}, &out);
        SCOPED_TRACE(c.x);
        EXPECT_EQ(out.accuracy, Fp32(ThreeAxesOffset::kUnusableAccuracy));
        EXPECT_EQ(fit.state().P[9], c.accumulated ? 1.0f : 0.0f);
        // A fitted sample always writes the offset (zero for an unusable
        // fit); an overload leaves it as it was.
        EXPECT_EQ(out.offset, c.accumulated ? Vector3::zeros() : vec(7, 7, 7));
    }
}

TEST(ThreeAxesOffset, ForgettingBoundsTheEffectiveSampleCount)
{
    ThreeAxesOffset fit;
    fit.init();
    ThreeAxesOffset::Output out{};
    const auto dirs = sphereDirections(200);
    for (const Vector3& u : dirs)
        fit.process(Fp32(float(kG)) * u, &out);
    EXPECT_NEAR(fit.state().P[9], 20.0f, 1e-3f);
    EXPECT_EQ(out.accuracy, Fp32(ThreeAxesOffset::kUsableAccuracy));
    EXPECT_LT(distance(out.offset, Vector3::zeros()), 1e-3);

    fit.init();
    EXPECT_EQ(fit.state().P[9], 0.0f);
    EXPECT_EQ(fit.state().b[3], 0.0f);
}

// --- AccelCalibration: learning -----------------------------------------

TEST(AccelCalibration, StillOrientationsConvergeToTheOffset)
{
    // MEMS accelerometers of this class show about 2 mg of white noise per
    // sample at 100 Hz; the offset is one of a poorly trimmed part.
    const Vector3 offset = vec(0.35, -0.22, 0.41);
    const double sigma = 0.02;
    AccelCalibration cal;
    cal.init(kNoScd, nullptr);
    std::mt19937 rng(7);
    holdStillIn(cal, sphereDirections(40), offset, sigma, 50, rng);

    ASSERT_TRUE(cal.calibrated());
    // Each orientation enters once (its later samples lie within the 5
    // degree chord) and forgetting keeps about 20 of them. A fitted row is
    // -2a . o + |o|^2 = g^2 - |a|^2, so noise s on a sample becomes noise
    // 2 g s on the row and about s sqrt(3 / 20) ~ 0.008 m/s^2 per axis on
    // the offset, ~0.013 m/s^2 in 3-D, a little more for the uneven weights
    // of forgetting. Over 200 random offsets and noise draws the largest
    // error was 0.024 m/s^2; 0.03 m/s^2 (3 mg) bounds it and still catches a
    // fit that weights, forgets or solves wrongly.
    EXPECT_LT(distance(cal.offset(), offset), 0.03);

    // Without noise only float rounding is left (measured below 4e-7).
    AccelCalibration exact;
    exact.init(kNoScd, nullptr);
    holdStillIn(exact, sphereDirections(40), offset, 0.0, 1, rng);
    ASSERT_TRUE(exact.calibrated());
    EXPECT_LT(distance(exact.offset(), offset), 1e-5);
}

TEST(AccelCalibration, TooFewOrientationsLearnNothing)
{
    struct Case
    {
        const char* name;
        std::vector<Vector3> directions;
    };
    std::vector<Vector3> circle; // turned about z only: every sample in one plane
    for (int k = 0; k < 36; ++k)
        circle.push_back(vec(std::cos(k * 10 * kDeg), std::sin(k * 10 * kDeg), 0.0));
    const std::vector<Case> cases = {
        {"three orientations", {vec(1, 0, 0), vec(0, 1, 0), vec(0, 0, 1)}},
        {"turned about one axis", circle},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccelCalibration cal;
        cal.init(kNoScd, nullptr);
        std::mt19937 rng(3);
        holdStillIn(cal, c.directions, vec(0.3, 0.3, 0.3), 0.0, 20, rng);
        EXPECT_FALSE(cal.calibrated());
        EXPECT_EQ(cal.offset(), Vector3::zeros());
    }
}

TEST(AccelCalibration, ImplausibleOffsetsAreRejected)
{
    struct Case
    {
        double offsetX;
        bool accepted;
    };
    for (const Case& c : {Case{4.5, true}, Case{-4.5, true}, Case{5.2, false}, Case{-5.2, false}}) {
        SCOPED_TRACE(c.offsetX);
        AccelCalibration cal;
        cal.init(kNoScd, nullptr);
        std::mt19937 rng(11);
        holdStillIn(cal, sphereDirections(40), vec(c.offsetX, 0.0, 0.0), 0.0, 1, rng);
        EXPECT_EQ(cal.calibrated(), c.accepted);
        if (c.accepted) {
            EXPECT_NEAR(cal.offset()[0].value(), c.offsetX, 1e-4);
        } else {
            EXPECT_EQ(cal.offset(), Vector3::zeros());
        }
    }
}

TEST(AccelCalibration, AcceptanceRule)
{
    const float limit = AccelCalibration::kMaxOffset;
    const float justBelow = std::nextafter(limit, 0.0f);
    const Fp32 usable(ThreeAxesOffset::kUsableAccuracy);
    const Fp32 unusable(ThreeAxesOffset::kUnusableAccuracy);
    struct Case
    {
        Vector3 offset;
        Fp32 accuracy;
        bool accepted;
    };
    const Case cases[] = {
        {vec(0.1, -0.2, 0.3), usable, true},
        {vec(0.1, -0.2, 0.3), unusable, false},
        {vec(justBelow, -justBelow, 0), usable, true},
        {vec(limit, 0, 0), usable, false},
        {vec(0, -limit, 0), usable, false},
        {vec(0, 0, limit), usable, false},
        {vec(0, 0, -limit), usable, false},
        {{Fp32(Fp32::kMin), Fp32(0.0f), Fp32(0.0f)}, usable, false},
        {{Fp32(0.0f), Fp32(Fp32::kMax), Fp32(0.0f)}, usable, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset[0].value() << " " << c.offset[1].value() << " "
                                        << c.offset[2].value() << " acc " << c.accuracy.value());
        EXPECT_EQ(AccelCalibration::acceptsEstimate({c.offset, c.accuracy}), c.accepted);
    }
}

TEST(AccelCalibration, RepeatedSamplesOfOneOrientationEnterOnce)
{
    AccelCalibration cal;
    cal.init(kNoScd, nullptr);
    const Vector3 a = vec(0, 0, kG);
    for (int k = 0; k < 100; ++k)
        cal.process(Fp32(0.01f), true, a, a);
    EXPECT_EQ(effectiveSamples(cal), 1.0f);

    // A 4.5 degree turn stays inside the chord, a 6 degree turn leaves it.
    const Vector3 near = vec(0, kG * std::sin(4.5 * kDeg), kG * std::cos(4.5 * kDeg));
    cal.process(Fp32(0.01f), true, near, near);
    EXPECT_EQ(effectiveSamples(cal), 1.0f);
    const Vector3 far = vec(0, kG * std::sin(6 * kDeg), kG * std::cos(6 * kDeg));
    cal.process(Fp32(0.01f), true, far, far);
    EXPECT_FLOAT_EQ(effectiveSamples(cal), 1.95f);
}

TEST(AccelCalibration, LearnsOnlyWhenAllowed)
{
    AccelCalibration cal;
    cal.init(kNoScd, nullptr);
    const auto dirs = sphereDirections(40);
    for (const Vector3& u : dirs) {
        const Vector3 a = Fp32(float(kG)) * u + vec(0.2, 0.2, 0.2);
        cal.process(Fp32(0.01f), false, a, a);
    }
    EXPECT_EQ(effectiveSamples(cal), 0.0f);
    EXPECT_FALSE(cal.calibrated());
}

TEST(AccelCalibration, OverloadSampleIsNotFitted)
{
    AccelCalibration cal;
    cal.init(kNoScd, nullptr);
    const Vector3 shock = vec(25.0, 0, 0);
    cal.process(Fp32(0.01f), true, shock, shock);
    EXPECT_EQ(effectiveSamples(cal), 0.0f);

    const float atLimit = std::sqrt(ThreeAxesOffset::kOverloadNormSquared);
    const Vector3 edge{Fp32(atLimit), Fp32(0.0f), Fp32(0.0f)};
    cal.process(Fp32(0.01f), true, edge, edge);
    EXPECT_EQ(effectiveSamples(cal), 1.0f);
}

// --- AccelCalibration: applying and storing -----------------------------

TEST(AccelCalibration, ApplyAndUndoInPlace)
{
    AccelCalibration cal;
    const dcdAccOffsetCal_s dcd{{0.5f, -0.25f, 0.125f}};
    cal.init(kNoScd, &dcd);
    Vector3 v = vec(1, 2, 3);
    cal.applyCal(v, &v);
    EXPECT_EQ(v, vec(0.5, 2.25, 2.875));
    cal.undoCal(v, &v);
    EXPECT_EQ(v, vec(1, 2, 3));
}

TEST(AccelCalibration, DcdRestoresTheOffsetButNotTheFlag)
{
    AccelCalibration cal;
    cal.init(kNoScd, nullptr);
    EXPECT_EQ(cal.offset(), Vector3::zeros());

    const dcdAccOffsetCal_s stored{{0.31f, -0.07f, 0.12f}};
    cal.init(kNoScd, &stored);
    EXPECT_FALSE(cal.calibrated());
    Vector3 out{};
    cal.applyCal(vec(0.31, -0.07, 0.12), &out);
    EXPECT_EQ(out, Vector3::zeros());

    dcdAccOffsetCal_s written{{9.0f, 9.0f, 9.0f}};
    cal.getDcd(&written);
    EXPECT_EQ(std::memcmp(&written, &stored, sizeof stored), 0);
    cal.getDcd(nullptr); // nothing to write to
}

TEST(AccelCalibration, LearnedOffsetRoundTripsThroughTheDcd)
{
    const Vector3 offset = vec(-0.18, 0.27, -0.33);
    AccelCalibration first;
    first.init(kNoScd, nullptr);
    std::mt19937 rng(9);
    holdStillIn(first, sphereDirections(40), offset, 0.0, 1, rng);
    ASSERT_TRUE(first.calibrated());
    dcdAccOffsetCal_s dcd{};
    first.getDcd(&dcd);

    AccelCalibration next;
    next.init(kNoScd, &dcd);
    EXPECT_EQ(next.offset(), first.offset());
    dcdAccOffsetCal_s again{};
    next.getDcd(&again);
    EXPECT_EQ(std::memcmp(&again, &dcd, sizeof dcd), 0);
}

TEST(AccelCalibration, InitForgetsTheRun)
{
    AccelCalibration cal;
    cal.init(kNoScd, nullptr);
    std::mt19937 rng(13);
    holdStillIn(cal, sphereDirections(40), vec(0.2, 0.1, 0.0), 0.0, 1, rng);
    ASSERT_TRUE(cal.calibrated());
    cal.init(kNoScd, nullptr);
    EXPECT_FALSE(cal.calibrated());
    EXPECT_EQ(cal.offset(), Vector3::zeros());
    EXPECT_EQ(effectiveSamples(cal), 0.0f);
}

TEST(AccelCalibration, NamesItsEstimatorAndLoggersUnderItsNode)
{
    NodeManager& nodes = NodeManager::getInstance();
    char engine = 0;
    ASSERT_NE(nodes.addNode(nullptr, &engine, NodeInterface::NODE_MODULE, "accCalTest"), nullptr);
    {
        AccelCalibration cal;
        ASSERT_NE(nodes.addNode(&engine, &cal, NodeInterface::NODE_SUBNODE, "accCal"), nullptr);
        NodeInterface* estimator = nodes.getNode("accCalTest.accCal.threeAxesOffset");
        ASSERT_NE(estimator, nullptr);
        EXPECT_EQ(estimator->getNodeType(), NodeInterface::NODE_SUBNODE);
        EXPECT_EQ(blockOfLogger("accCalTest.accCal.dftLog"), "vnx_core_AccelCalibration");
        EXPECT_EQ(blockOfLogger("accCalTest.accCal.threeAxesOffset.dftLog"), "vnx_core_ThreeAxesOffset");
    }
    EXPECT_EQ(nodes.getNode("accCalTest.accCal.threeAxesOffset"), nullptr);
    EXPECT_EQ(nodes.getNode("accCalTest.accCal.dftLog"), nullptr);
    nodes.removeNode(static_cast<const void*>(&engine));
}

} // namespace
} // namespace vnx
