#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/NodeManager.h"
#include "log/LogManager.h"
#include "orientationFilters/QuaternionSmoothing.h"

namespace vnx {
namespace {

using Vector3 = QuaternionSmoothing::Vector3;
using Quaternion = QuaternionSmoothing::Quaternion;

constexpr std::uint32_t kPeriodUs = 10000; // 100 Hz
constexpr float kDt = 0.01f;

Quaternion axisAngle(double angleRad, double ax, double ay, double az)
{
    const double n = std::sqrt(ax * ax + ay * ay + az * az);
    const double s = std::sin(angleRad / 2) / n;
    return {Fp32(static_cast<float>(std::cos(angleRad / 2))), Fp32(static_cast<float>(ax * s)),
            Fp32(static_cast<float>(ay * s)), Fp32(static_cast<float>(az * s))};
}

Vector3 vec(float x, float y, float z)
{
    return {Fp32(x), Fp32(y), Fp32(z)};
}

void expectNear(const Quaternion& a, const Quaternion& b, float tol)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(a[i].value(), b[i].value(), tol) << "element " << i;
}

void expectNear(const Vector3& a, const Vector3& b, float tol)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(a[i].value(), b[i].value(), tol) << "element " << i;
}

float angleBetween(const Vector3& a, const Vector3& b)
{
    return std::acos(std::clamp((dot(a, b) / (a.norm() * b.norm())).value(), -1.0f, 1.0f));
}

TEST(QuaternionSmoothing, ZeroJumpThresholdPassesTheInputThrough)
{
    QuaternionSmoothing smoothing;
    smoothing.init(0.1f, 0.2f, 0.0f, 0.0f);
    const Quaternion inputs[] = {axisAngle(0.3, 1, 0, 0), axisAngle(2.5, 0, 1, 1), axisAngle(-1.0, 1, 2, 3)};
    for (const Quaternion& q : inputs) {
        smoothing.process(kPeriodUs, kPeriodUs, vec(5.0f, 0.0f, 0.0f), q);
        EXPECT_EQ(smoothing.smoothed(), q);
    }
}

TEST(QuaternionSmoothing, GapOfMoreThanTwentyFivePeriodsOrNoTimeSnapsToTheInput)
{
    struct Case
    {
        std::uint32_t elapsedUs;
        bool snaps;
    };
    const Case cases[] = {
        {0, true}, {1, false}, {25 * kPeriodUs, false}, {25 * kPeriodUs + 1, true}, {0xFFFFFFFFu, true},
    };
    // A small turn that is no jump for a long step but differs from the state.
    const Quaternion input = axisAngle(0.05, 0, 0, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsedUs);
        QuaternionSmoothing smoothing;
        smoothing.init(0.0f, 0.0f, 1.0f, 0.0f);
        smoothing.process(kPeriodUs, c.elapsedUs, vec(0.0f, 0.0f, 0.0f), input);
        EXPECT_EQ(smoothing.smoothed() == input, c.snaps);
    }
}

TEST(QuaternionSmoothing, WithoutToleranceTheGyroRateIsIntegratedAsMeasured)
{
    // m = 0 and a = 0: the input only decides jumps; the rate is integrated
    // with its own direction and magnitude.
    QuaternionSmoothing smoothing;
    smoothing.init(0.0f, 0.0f, 0.5f, 0.0f);
    const Vector3 rate = vec(0.0f, 0.0f, 1.0f);
    const Quaternion input = axisAngle(0.012, 0.2, 0.1, 1.0); // near, but not on, the gyro's path
    smoothing.process(kPeriodUs, kPeriodUs, rate, input);
    Quaternion expected = Quaternion::identity();
    expected.integrate(rate, Fp32(kDt));
    EXPECT_EQ(smoothing.smoothed(), expected);
}

TEST(QuaternionSmoothing, InitResetsTheOrientationAndSetConfigKeepsIt)
{
    QuaternionSmoothing smoothing;
    smoothing.init(0.0f, 0.0f, 1.0f, 0.0f);
    const Quaternion q = axisAngle(1.0, 0, 1, 0);
    smoothing.reset(q);
    EXPECT_EQ(smoothing.smoothed(), q);
    smoothing.setConfig(0.1f, 0.1f, 1.0f, 7.0f);
    EXPECT_EQ(smoothing.smoothed(), q);
    smoothing.init(0.1f, 0.1f, 1.0f, 7.0f);
    EXPECT_EQ(smoothing.smoothed(), Quaternion::identity());
}

TEST(QuaternionSmoothing, NoisyInputIsSmoothedTowardsTheTrueRotation)
{
    // The device turns at 0.5 rad/s about a tilted axis; the gyro is right but
    // the input orientation carries noise of about 1 degree. The smoothed
    // output stays much closer to the truth than the input does.
    QuaternionSmoothing smoothing;
    smoothing.init(0.1f, 0.05f, 0.2f, 0.0f);
    const double rateRadPerS = 0.5;
    const double axis[3] = {0.3, -0.4, 0.866};
    std::uint32_t seed = 12345;
    auto noise = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.035; // +-1 degree
    };
    double inputError = 0.0;
    double smoothedError = 0.0;
    for (int t = 0; t <= 400; ++t) {
        const Quaternion truth = axisAngle(rateRadPerS * t * kDt, axis[0], axis[1], axis[2]);
        const Quaternion noisy =
            truth * axisAngle(std::fabs(noise()) + 0.001, noise(), noise(), noise() + 1e-3);
        if (t == 0) {
            smoothing.reset(truth);
            continue;
        }
        const Vector3 rate =
            vec(static_cast<float>(rateRadPerS * axis[0]), static_cast<float>(rateRadPerS * axis[1]),
                static_cast<float>(rateRadPerS * axis[2]));
        smoothing.process(kPeriodUs, kPeriodUs, rate, noisy);
        if (t > 100) {
            inputError += noisy.getAngularDistance(truth).value();
            smoothedError += smoothing.smoothed().getAngularDistance(truth).value();
        }
    }
    EXPECT_LT(smoothedError, inputError * 0.5);
}

TEST(OmegaAlignment, SlowRatesAreLeftAsTheyAre)
{
    QuaternionSmoothing smoothing;
    smoothing.init(0.1f, 0.2f, 1.0f, 0.0f);
    Vector3 aligned;
    const Vector3 slow = vec(0.02f, 0.02f, 0.02f); // |w|^2 = 0.0012
    smoothing.omegaAlignment(slow, vec(1.0f, 0.0f, 0.0f), aligned);
    EXPECT_EQ(aligned, slow);
    const Vector3 fast = vec(1.0f, 0.0f, 0.0f);
    smoothing.omegaAlignment(fast, vec(0.0f, 0.03f, 0.03f), aligned); // |wq|^2 = 0.0018
    EXPECT_EQ(aligned, fast);
}

TEST(OmegaAlignment, RateTakesTheInputDirectionInsideTheToleranceAndTurnsByItOutside)
{
    const float tolerance = 0.2f;
    QuaternionSmoothing smoothing;
    smoothing.init(0.0f, tolerance, 1.0f, 0.0f);
    const Vector3 rate = vec(2.0f, 0.0f, 0.0f);
    Vector3 aligned;

    // 0.1 rad away: inside the cone, the input's direction with the rate's
    // magnitude (m = 0 keeps the magnitude).
    const Vector3 near = vec(std::cos(0.1f), std::sin(0.1f), 0.0f);
    smoothing.omegaAlignment(rate, near, aligned);
    expectNear(aligned, near * Fp32(2.0f), 1e-5f);

    // 1 rad away: turned by exactly the tolerance, towards the input, in the
    // plane of the two.
    const Vector3 far =
        vec(3.0f * std::cos(1.0f), 3.0f * std::sin(1.0f) * 0.6f, 3.0f * std::sin(1.0f) * 0.8f);
    smoothing.omegaAlignment(rate, far, aligned);
    EXPECT_NEAR(angleBetween(aligned, rate), tolerance, 1e-5f);
    EXPECT_NEAR(angleBetween(aligned, far), angleBetween(rate, far) - tolerance, 1e-5f);
    EXPECT_NEAR(dot(aligned, cross(rate, far)).value(), 0.0f, 1e-5f);
    EXPECT_NEAR(aligned.norm().value(), 2.0f, 1e-5f);
}

TEST(OmegaAlignment, OppositeInputKeepsTheRateFinite)
{
    QuaternionSmoothing smoothing;
    smoothing.init(0.5f, 0.2f, 1.0f, 0.0f);
    const Vector3 rate = vec(0.0f, 1.0f, 0.0f);
    Vector3 aligned;
    smoothing.omegaAlignment(rate, vec(0.0f, -1.0f, 0.0f), aligned);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(std::isfinite(aligned[i].value()));
    // Direction kept, magnitude scaled by the lower end of the band.
    expectNear(aligned, rate * Fp32(0.5f), 1e-6f);
}

TEST(OmegaAlignment, MagnitudeFollowsTheInputWithinItsBand)
{
    struct Case
    {
        float inputScale;
        float expectedScale;
    };
    const Case cases[] = {{2.0f, 1.1f}, {0.5f, 0.9f}, {1.05f, 1.05f}, {1.0f, 1.0f}};
    QuaternionSmoothing smoothing;
    smoothing.init(0.1f, 0.0f, 1.0f, 0.0f);
    const Vector3 rate = vec(0.3f, -0.4f, 1.2f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inputScale);
        Vector3 aligned;
        smoothing.omegaAlignment(rate, rate * Fp32(c.inputScale), aligned);
        expectNear(aligned, rate * Fp32(c.expectedScale), 1e-6f);
    }
}

TEST(QuaternionAlignment, StepGrowsWithTheRateAndReachesTheTargetWhenItCoversTheAngle)
{
    QuaternionSmoothing smoothing;
    smoothing.init(0.01f, 0.05f, 1.0f, 0.0f); // step = (sin 0.05 + 0.01) * |w| * scale
    const Quaternion current = axisAngle(0.2, 1, 0, 0);
    const Quaternion target = axisAngle(0.2, 1, 0, 0) * axisAngle(0.3, 0, 0, 1);
    const float k = std::sin(0.05f) + 0.01f;
    struct Case
    {
        const char* name;
        Vector3 rate;
        float scale;
        float angle;
        float expectedStep; // < 0: the current orientation; > angle: the target
    };
    const Case cases[] = {
        {"slow rate keeps the current orientation", vec(0.02f, 0.02f, 0.02f), 1.0f, 0.3f, -1.0f},
        {"step from the rate", vec(2.0f, 0.0f, 0.0f), 1.0f, 0.3f, k * 2.0f},
        {"small step follows the squared rate", vec(0.05f, 0.0f, 0.0f), 0.1f, 0.3f,
         0.0066f * 0.0025f + 0.000264f},
        {"step at most 0.12", vec(50.0f, 0.0f, 0.0f), 1.0f, 0.3f, 0.12f},
        {"step beyond the angle reaches the target", vec(50.0f, 0.0f, 0.0f), 1.0f, 0.1f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Quaternion result;
        smoothing.quaternionAlignment(c.rate, target, current, c.scale, c.angle, result);
        if (c.expectedStep < 0.0f) {
            EXPECT_EQ(result, current);
        } else if (c.expectedStep > c.angle) {
            EXPECT_EQ(result, target);
        } else {
            expectNear(result, Quaternion::sLerp(current, target, Fp32(c.expectedStep / c.angle)), 1e-6f);
            EXPECT_NEAR(result.getAngularDistance(current).value(), c.expectedStep, 2e-4f);
        }
    }
}

class QuaternionSmoothingLog : public ::testing::Test
{
  protected:
    void SetUp() override { log::LogManager::getInstance(); }
    void TearDown() override
    {
        NodeManager::getInstance().reset();
        log::LogManager::getInstance().reset();
    }
};

TEST_F(QuaternionSmoothingLog, JumpSnapsToTheInputAndIsLoggedAtInfo)
{
    QuaternionSmoothing smoothing;
    NodeManager::getInstance().addNode(nullptr, &smoothing, NodeInterface::NODE_SUBNODE, "S");
    smoothing.init(0.0f, 0.0f, 0.1f, 0.0f); // jump threshold 0.1 rad = 5.73 deg
    const Quaternion jumped = axisAngle(1.0, 0, 1, 0);

    ::testing::internal::CaptureStderr();
    smoothing.process(kPeriodUs, kPeriodUs, vec(0.0f, 0.0f, 0.0f), jumped);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "WARN by default: jumps are not printed";
    EXPECT_EQ(smoothing.smoothed(), jumped);

    ASSERT_TRUE(log::LogManager::getInstance().setLevel("S", log::INFO));
    smoothing.reset(Quaternion::identity());
    ::testing::internal::CaptureStderr();
    smoothing.process(kPeriodUs, kPeriodUs, vec(0.0f, 0.0f, 0.0f), jumped);
    const std::string line = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(smoothing.smoothed(), jumped);
    EXPECT_EQ(line.rfind("INFO   S(", 0), 0u) << line;
    // 1 rad in one step reads as 2 sin(0.5) rad through the quaternion difference.
    EXPECT_NE(line.find("): Quaternion Jump: 54.94 deg > 5.73 deg\n"), std::string::npos) << line;
}

} // namespace
} // namespace vnx
