// Reorientation and tare, the adaptive group delay, the geomagnetic
// pre-filter, the stability class and the integration error scale.

#include <gtest/gtest.h>

#include <cmath>

#include "numerics/numericConstants.h"
#include "sensorFusion/frameRotation.h"
#include "sensorFusionMobile/IIR_DoubleAlphaFilterClass.h"
#include "sensorFusionMobile/mobileGroupDelay.h"
#include "sensorFusionMobile/mobileIntegrationScale.h"
#include "sensorFusionMobile/mobileReorientation.h"
#include "sensorFusionMobile/mobileStability.h"

namespace {

using vnx::Fp32;
using vnx::qdVectorFixed::Quaternion;
using vnx::qdVectorFixed::Vector3;
namespace mobile = vnx::mobile;

Quaternion quat(float w, float x, float y, float z)
{
    return {Fp32(w), Fp32(x), Fp32(y), Fp32(z)};
}
Vector3 v3(float x, float y, float z)
{
    return {Fp32(x), Fp32(y), Fp32(z)};
}

Quaternion axisAngle(float x, float y, float z, float angle)
{
    const float s = std::sin(angle / 2);
    return quat(std::cos(angle / 2), x * s, y * s, z * s);
}

void expectSameRotation(const Quaternion& a, const Quaternion& b, float tolerance)
{
    const float d = std::fabs(dot(a, b).value());
    EXPECT_NEAR(d, 1.0f, tolerance);
}

TEST(MobileReorientation, SetAndGetRoundTripThroughConfiguredReorientation)
{
    const Quaternion configured = axisAngle(1, 0, 0, 0.7f);
    // A quaternion of length 2 is normalised.
    const vnx_Mobile_Quaternion_s wanted{0.0f, 0.0f, 2.0f * std::sin(0.3f), 2.0f * std::cos(0.3f)};
    const Quaternion r = mobile::outputReorientation(configured, wanted);
    const vnx_Mobile_Quaternion_s got = mobile::reportedReorientation(configured, r);
    EXPECT_NEAR(got.x, 0.0f, 1e-6f);
    EXPECT_NEAR(got.y, 0.0f, 1e-6f);
    EXPECT_NEAR(got.z, std::sin(0.3f), 1e-6f);
    EXPECT_NEAR(got.w, std::cos(0.3f), 1e-6f);
}

TEST(MobileReorientation, NoneUndoesTheConfiguredReorientation)
{
    const Quaternion configured = axisAngle(0, 1, 0, 1.1f);
    const Quaternion r = mobile::outputReorientation(configured, {0.0f, 0.0f, 0.0f, 1.0f});
    expectSameRotation(r, configured.conj(), 1e-6f);
    const vnx_Mobile_Quaternion_s got = mobile::reportedReorientation(configured, r);
    EXPECT_NEAR(got.w, 1.0f, 1e-6f);
    EXPECT_NEAR(got.x, 0.0f, 1e-6f);
    EXPECT_NEAR(got.y, 0.0f, 1e-6f);
    EXPECT_NEAR(got.z, 0.0f, 1e-6f);

    Quaternion none;
    EXPECT_FALSE(mobile::reorientationFromClient({0.0f, 0.0f, 0.0f, 10000.0f}, none));
    EXPECT_EQ(none, Quaternion::identity());
}

TEST(MobileReorientation, TareAllAxesMakesTheSensorReadIdentity)
{
    const Quaternion q = axisAngle(0.6f, 0.0f, 0.8f, 2.0f);
    const Quaternion out = q * mobile::tareAllAxes(q);
    expectSameRotation(out, Quaternion::identity(), 1e-6f);
}

TEST(MobileReorientation, TareHeadingKeepsTiltAndZeroesHeading)
{
    // Heading 1.2 rad, then a tilt.
    const Quaternion q = axisAngle(0, 0, 1, 1.2f) * axisAngle(1, 0, 0, 0.3f) * axisAngle(0, 1, 0, -0.2f);
    const Quaternion r = mobile::tareHeading(q, Quaternion::identity());
    const Quaternion out = q * r;
    Vector3 euler;
    out.getEulerZYX(euler);
    EXPECT_NEAR(euler[2].value(), 0.0f, 1e-3f);
    // The tilt (gravity seen in the device frame) is unchanged.
    const Vector3 down = v3(0, 0, -1);
    const Vector3 before = vnx::sensorFusion::rotateByConjugate(q, down);
    const Vector3 after = vnx::sensorFusion::rotateByConjugate(out, down);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(after[i].value(), before[i].value(), 1e-4f);
}

mobile::GroupDelayStep quietStep(float stepS)
{
    return {8000, Fp32(stepS), false, Fp32(-0.24f), Fp32(2.0f), false, false};
}

TEST(MobileGroupDelay, GapRestartsShortAndGrowsToTheLimit)
{
    mobile::GroupDelay g;
    g.delayS = Fp32(1.5f);
    g.settledS = Fp32(0.25f);
    g.state = mobile::GroupDelay::kAtLimit;
    auto step = quietStep(0.008f);
    step.intervalUs = 300000;
    EXPECT_EQ(mobile::updateGroupDelay(g, step), mobile::GroupDelayInput_e::kRestartCurrent);
    // -T/2, then + T/2 in the same update: 0.
    EXPECT_EQ(g.state, mobile::GroupDelay::kGrowingAfterGap);
    EXPECT_EQ(g.delayS, Fp32(0.0f));
    EXPECT_EQ(g.coefficient, Fp32(0.0f));

    step.intervalUs = 8000;
    int steps = 0;
    Fp32 previous = g.delayS;
    while (g.state != mobile::GroupDelay::kAtLimit && steps < 10000) {
        mobile::updateGroupDelay(g, step);
        EXPECT_GT(g.delayS, previous);
        previous = g.delayS;
        ++steps;
    }
    EXPECT_EQ(g.delayS, Fp32(2.0f));
    EXPECT_LT(steps, 1000);
    // Coefficient of the limit: -(d/2) / (T + d/2).
    EXPECT_FLOAT_EQ(g.coefficient.value(), -1.0f / 1.008f);
}

TEST(MobileGroupDelay, StillWindowJumpsToSettledDelayWithTheMean)
{
    mobile::GroupDelay g;
    g.settledS = Fp32(0.25f);
    g.state = mobile::GroupDelay::kGrowingAfterDisturbance;
    auto step = quietStep(0.008f);
    step.still = true;
    EXPECT_EQ(mobile::updateGroupDelay(g, step), mobile::GroupDelayInput_e::kStillMean);
    EXPECT_EQ(g.state, mobile::GroupDelay::kStill);
    EXPECT_TRUE(g.isSettled());
    EXPECT_EQ(g.coefficient, Fp32(0.0f));

    // Settled: the delay stays at the settled value until motion.
    step.still = false;
    mobile::updateGroupDelay(g, step);
    EXPECT_EQ(g.delayS, Fp32(0.25f));
    step.motion = true;
    mobile::updateGroupDelay(g, step);
    EXPECT_EQ(g.state, mobile::GroupDelay::kAtLimit);
    EXPECT_EQ(g.delayS, Fp32(2.0f));
}

TEST(MobileGroupDelay, DisturbanceRestartsFromItsDelay)
{
    mobile::GroupDelay g;
    g.delayS = Fp32(2.0f);
    g.state = mobile::GroupDelay::kAtLimit;
    auto step = quietStep(0.008f);
    step.disturbed = true;
    EXPECT_EQ(mobile::updateGroupDelay(g, step), mobile::GroupDelayInput_e::kRestartCurrent);
    EXPECT_EQ(g.state, mobile::GroupDelay::kGrowingAfterDisturbance);
    EXPECT_FLOAT_EQ(g.delayS.value(), -0.24f + 0.004f);
}

TEST(MobileGroupDelay, LimitsShrinkWithTheGyroscopeError)
{
    EXPECT_EQ(mobile::accelerometerDelayLimit(Fp32(0.1f)), Fp32(2.0f));
    EXPECT_FLOAT_EQ(mobile::accelerometerDelayLimit(Fp32(0.4f)).value(), 1.1f);
    // A saturated rate adds 2.618 rad/s: the limit falls to 1 s.
    EXPECT_EQ(mobile::accelerometerDelayLimit(Fp32(2.7f)), Fp32(1.0f));
    EXPECT_EQ(mobile::magnetometerDelayLimit(Fp32(0.22f)), Fp32(1.0f));
    EXPECT_FLOAT_EQ(mobile::magnetometerDelayLimit(Fp32(0.44f)).value(), 0.5f);
}

TEST(MobileGeomagneticPrefilter, ReloadsAfterResetAndLongGapsAndLowPassesOtherwise)
{
    vnx::IIR_DoubleAlphaFilterClass filter;
    const Fp32 alpha = vnx::IIR_DoubleAlphaFilterClass::alphaFor(Fp32(0.02f), Fp32(0.125f));
    Vector3 out;
    filter.process(20000, 20000, alpha, v3(1, 2, 3), out);
    EXPECT_EQ(out, v3(1, 2, 3));
    // A step is followed slowly: two stages of 0.125 s.
    filter.process(20000, 20000, alpha, v3(0, 0, 0), out);
    EXPECT_GT(out[0].value(), 0.9f);
    for (int i = 0; i < 50; ++i)
        filter.process(20000, 20000, alpha, v3(0, 0, 0), out);
    EXPECT_LT(out[0].value(), 0.01f);
    // A gap of more than 30 periods reloads.
    filter.process(20000 * 31, 20000, alpha, v3(5, 5, 5), out);
    EXPECT_EQ(out, v3(5, 5, 5));
    filter.process(20000 * 30, 20000, alpha, v3(0, 0, 0), out);
    EXPECT_GT(out[0].value(), 4.0f);
    filter.reset();
    filter.process(20000, 20000, alpha, v3(-1, 0, 1), out);
    EXPECT_EQ(out, v3(-1, 0, 1));
}

TEST(MobileStability, ClassTransitions)
{
    struct Case
    {
        const char* name;
        std::uint8_t previous;
        mobile::StabilityInputs in;
        std::uint8_t expected;
    };
    const Fp32 w0(0.0f), w1(0.5f);
    const Case cases[] = {
        {"stationary wins", 4, {true, true, true, true, w1}, 1},
        {"stable after rest stays at rest", 1, {false, true, false, false, w0}, 1},
        {"stable otherwise held still", 2, {false, true, true, false, w0}, 3},
        {"motion", 3, {false, false, true, false, w0}, 4},
        {"at rest stays", 1, {false, false, false, false, w0}, 1},
        {"steady stays", 2, {false, false, false, true, w1}, 2},
        {"held still becomes motion", 3, {false, false, false, false, w0}, 4},
        {"weighty still window from motion", 4, {false, false, false, true, w1}, 2},
        {"weighty still window from unknown", 0, {false, false, false, true, w1}, 2},
        {"light window keeps motion", 4, {false, false, false, true, Fp32(0.01f)}, 4},
        {"no window keeps unknown", 0, {false, false, false, false, w1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(mobile::updateStabilityClassification(c.previous, c.in), c.expected);
    }
}

TEST(MobileIntegrationScale, LearnsFromLargeDriftAndRelaxesOtherwise)
{
    const Fp32 base(30.0f);
    // Drift ratio 0.008: 30 * (1 + 2 * 4) = 270.
    EXPECT_FLOAT_EQ(mobile::updateIntegrationErrorScale(base, Fp32(0.16f), Fp32(20.0f)).value(), 270.0f);
    // A smaller candidate never lowers k.
    EXPECT_EQ(mobile::updateIntegrationErrorScale(Fp32(500.0f), Fp32(0.16f), Fp32(20.0f)), Fp32(500.0f));
    // Never above the cap.
    EXPECT_EQ(mobile::updateIntegrationErrorScale(base, Fp32(3.0f), Fp32(4.0f)), Fp32(4095.9f));
    // Small deviation or short rotation: relax toward 30.
    const Fp32 relaxed = mobile::updateIntegrationErrorScale(Fp32(1000.0f), Fp32(0.05f), Fp32(62.8f));
    EXPECT_FLOAT_EQ(relaxed.value(), 30.0f + 0.5f * 970.0f);
    EXPECT_EQ(mobile::updateIntegrationErrorScale(Fp32(1000.0f), Fp32(0.5f), Fp32(3.9f)) < Fp32(1000.0f),
              true);
    EXPECT_EQ(mobile::updateIntegrationErrorScale(base, Fp32(0.0f), Fp32(0.0f)), base);
}

} // namespace
