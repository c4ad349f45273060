#include "sensorFusion/SensorFusionWeightedFusion.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fusionTestSupport.h"

namespace vnx {
namespace {

using namespace fusionTest;

constexpr std::uint32_t kStepUs = 8000;
constexpr std::uint32_t kRestart = 0xFFFFFFFFu;
constexpr float kIncl = -0.76f;

MagnetometerAmplitudeCal::Output magCal(float headingErrorRad)
{
    MagnetometerAmplitudeCal::Output out{};
    out.fieldStrength = Fp32(45.0f);
    out.externalAccuracy = Fp32(headingErrorRad);
    out.internalAccuracy = Fp32(headingErrorRad);
    return out;
}

struct Scene
{
    Vector3 acc; // m/s^2, gravity as measured
    Vector3 mag;
};

Scene sceneAt(const Quaternion& truth)
{
    return {deviceVector(truth, kDown) * Fp32(9.8f), deviceVector(truth, worldField(kIncl)) * Fp32(45.0f)};
}

class WeightedFusion : public ::testing::Test
{
  protected:
    void SetUp() override { fusion.init(); }

    void correct(const Scene& s, std::uint32_t intervalUs = kStepUs, float accNoise = 0.01f,
                 float headingErrorRad = 0.005f)
    {
        Fp32 b(accNoise);
        fusion.processDirect(intervalUs, s.mag, s.acc, vec(0.001f, 0.001f, 0.001f), b, Fp32(0.0f),
                             magCal(headingErrorRad));
        accNoiseOut = b;
    }

    Fp32 accuracy() const { return fusion.getAccuracy(magCal(0.005f)); }

    float yaw() const
    {
        Vector3 e;
        fusion.quaternion().getEulerZYX(e);
        return e[2].value();
    }

    SensorFusionWeightedFusion fusion;
    Fp32 accNoiseOut;
};

TEST_F(WeightedFusion, FreshFusionKnowsNothing)
{
    EXPECT_EQ(accuracy().value(), 3.1415927f);
    EXPECT_EQ(fusion.quaternion(), Quaternion::identity());
    EXPECT_EQ(fusion.mode(), SensorFusionWeightedFusion::kNormal);
    EXPECT_EQ(fusion.headingVariance().value(), 1.999f);
    EXPECT_EQ(fusion.tiltVariance().value(), 1.999f);
    EXPECT_EQ(fusion.integrationErrorScale().value(), 30.0f);
}

TEST_F(WeightedFusion, StillDeviceWithConsistentMagnetometerSettles)
{
    const Quaternion truth = axisAngle(0.2f, -0.4f, 1, 1.1f);
    const Scene s = sceneAt(truth);
    float previous = accuracy().value();
    for (int n = 0; n < 50; ++n) {
        fusion.integrateGyro(kStepUs, vec(0, 0, 0));
        correct(s);
        ASSERT_EQ(fusion.mode(), SensorFusionWeightedFusion::kNormal);
        ASSERT_LE(accuracy().value(), previous) << "sample " << n;
        previous = accuracy().value();
    }
    EXPECT_LT(accuracy().value(), 0.1f);
    EXPECT_LT(fusion.tiltVariance().value(), 0.01f);
    // From identity towards an orientation 1.1 rad away: the gain shrinks
    // with the variances, so the last few milliradians come in slowly.
    EXPECT_LT(angleBetween(fusion.quaternion(), truth), 0.01);
    EXPECT_LT(angleBetween(fusion.measuredQuaternion(), truth), 1e-3);
}

TEST_F(WeightedFusion, CorrectionPullsTheGyroscopeOrientationToTheMeasurement)
{
    const Quaternion start = axisAngle(1, 0, 0, 0.3f);
    correct(sceneAt(start), kRestart);
    EXPECT_LT(angleBetween(fusion.quaternion(), start), 1e-3);

    // The device turns by 0.4 rad about world z while the gyroscope reports
    // nothing: the measurement brings the fused orientation there, at the
    // pace of a settled (confident) estimate.
    const Quaternion turned = axisAngle(0, 0, 1, 0.4f) * start;
    for (int n = 0; n < 1500; ++n) {
        fusion.integrateGyro(kStepUs, vec(0, 0, 0));
        correct(sceneAt(turned));
    }
    EXPECT_LT(angleBetween(fusion.quaternion(), turned), 0.01);
}

TEST_F(WeightedFusion, RestartTakesTheMeasurementAndSeedsVariancesFromGravity)
{
    struct Case
    {
        float gravity; // measured |a|, m/s^2
        bool known;
    };
    for (const Case& c : {Case{9.8f, true}, Case{12.0f, true}, Case{14.7f, true}, Case{20.0f, false}}) {
        SCOPED_TRACE(c.gravity);
        fusion.init();
        const Quaternion truth = axisAngle(0, 1, 0, 0.5f);
        Scene s = sceneAt(truth);
        s.acc = deviceVector(truth, kDown) * Fp32(c.gravity);
        correct(s, kRestart, 0.01f, 0.1f);
        EXPECT_LT(angleBetween(fusion.quaternion(), truth), 1e-3);
        if (c.known) {
            const float g = std::atan2(std::fabs(c.gravity - 9.8f), 9.8f);
            EXPECT_NEAR(fusion.tiltVariance().value(), g * g / 4, 1e-4f);
            EXPECT_NEAR(fusion.headingVariance().value(), (0.1f + g) * (0.1f + g) / 4, 1e-4f);
        } else {
            EXPECT_EQ(fusion.tiltVariance().value(), 1.999f);
            EXPECT_EQ(fusion.headingVariance().value(), 1.999f);
        }
    }
}

TEST_F(WeightedFusion, DisturbedAccelerometerSuspendsTheCorrection)
{
    const Quaternion truth = axisAngle(1, 1, 0, 0.4f);
    correct(sceneAt(truth), kRestart);
    for (int n = 0; n < 20; ++n)
        correct(sceneAt(truth));

    // A large accelerometer noise level, then no accelerometer at all.
    fusion.integrateGyro(kStepUs, vec(0, 0, 0.5f));
    fusion.integrateGyro(kStepUs, vec(0, 0, 0.5f));
    const Quaternion integrated = fusion.quaternion();
    const Fp32 heading = fusion.headingVariance();
    correct(sceneAt(truth), kStepUs, 20.0f);
    EXPECT_EQ(fusion.mode(), SensorFusionWeightedFusion::kAccelerometerRejected);
    EXPECT_LT(angleBetween(fusion.quaternion(), integrated), 1e-6);
    EXPECT_GT(fusion.headingVariance().value(), heading.value());

    Scene noAcc = sceneAt(truth);
    noAcc.acc = vec(0, 0, 0);
    correct(noAcc);
    EXPECT_EQ(accNoiseOut.value(), 127.0f); // the caller learns the vector had no direction
    EXPECT_EQ(fusion.mode(), SensorFusionWeightedFusion::kAccelerometerRejected);
    EXPECT_LT(angleBetween(fusion.quaternion(), integrated), 1e-6);
}

TEST_F(WeightedFusion, FieldAlongGravityLeavesTheHeadingToTheGyroscope)
{
    const Quaternion start = axisAngle(0, 0, 1, 0.5f);
    correct(sceneAt(start), kRestart);
    for (int n = 0; n < 20; ++n)
        correct(sceneAt(start));

    // Field within 3 degrees of gravity; the gyroscope turns the device by
    // 0.2 rad about z, which the corrections must not undo.
    const Quaternion turned = axisAngle(0, 0, 1, 0.7f);
    for (int n = 0; n < 25; ++n) {
        const Quaternion now = axisAngle(0, 0, 1, 0.5f + 0.2f * float(n + 1) / 25.0f);
        fusion.integrateGyro(kStepUs, vec(0, 0, 1.0f));
        Scene s = sceneAt(now);
        s.mag = deviceVector(now, vec(std::sin(0.05f), 0, -std::cos(0.05f))) * Fp32(45.0f);
        correct(s);
        ASSERT_EQ(fusion.mode(), SensorFusionWeightedFusion::kMagnetometerRejected);
    }
    EXPECT_NEAR(yaw(), 0.7f, 0.01f);
    EXPECT_LT(angleBetween(fusion.quaternion(), turned), 0.01);
}

TEST_F(WeightedFusion, ZeroMagnetometerGivesAFiniteUnitQuaternionOnEverySample)
{
    // A presenter without magnetometer reports (0, 0, 0) on every sample,
    // restart included, through turns, a free-fall sample and a shaken one.
    float angle = 0.0f;
    for (int n = 0; n < 300; ++n) {
        const float rate = n < 100 ? 0.0f : 2.0f;
        angle += rate * 0.008f;
        const Quaternion truth = axisAngle(1, 0, 0, 0.2f) * axisAngle(0, 0, 1, angle);
        Scene s = sceneAt(truth);
        s.mag = vec(0, 0, 0);
        if (n == 150)
            s.acc = vec(0, 0, 0);
        const float accNoise = n == 200 ? 30.0f : 0.01f;
        fusion.integrateGyro(kStepUs, vec(0, 0, rate)); // about the body z axis
        correct(s, n == 0 ? kRestart : kStepUs, accNoise, 3.1415927f);
        ASSERT_TRUE(isFiniteUnit(fusion.quaternion())) << "sample " << n;
        ASSERT_TRUE(isFiniteUnit(fusion.measuredQuaternion())) << "sample " << n;
        ASSERT_TRUE(std::isfinite(fusion.headingVariance().value()));
        ASSERT_TRUE(std::isfinite(accuracy().value()));
    }
    // Tilt from gravity, heading from the gyroscope.
    const Quaternion truth = axisAngle(1, 0, 0, 0.2f) * axisAngle(0, 0, 1, angle);
    EXPECT_LT(angleBetween(fusion.quaternion(), truth), 0.02);
}

TEST_F(WeightedFusion, ZeroMagnetometerKeepsThePredictedHeadingWhileTheAccelerometerIsRejected)
{
    const Quaternion truth = axisAngle(0, 0, 1, 1.3f);
    correct(sceneAt(truth), kRestart);
    Scene s = sceneAt(truth);
    s.mag = vec(0, 0, 0);
    correct(s, kStepUs, 30.0f);
    ASSERT_EQ(fusion.mode(), SensorFusionWeightedFusion::kAccelerometerRejected);
    // The measured orientation carries the current heading, not one made up
    // from an undefined field direction.
    EXPECT_LT(angleBetween(fusion.measuredQuaternion(), truth), 1e-3);
}

TEST_F(WeightedFusion, GyroscopeIntegrationSkipsRestartIntervals)
{
    struct Case
    {
        std::uint32_t intervalUs;
        bool integrates;
    };
    for (const Case& c : {Case{249999, true}, Case{250000, false}}) {
        SCOPED_TRACE(c.intervalUs);
        fusion.init();
        fusion.integrateGyro(kStepUs, vec(0, 0, 1));
        const Quaternion before = fusion.quaternion();
        fusion.integrateGyro(c.intervalUs, vec(0, 0, 1));
        EXPECT_EQ(fusion.quaternion() == before, !c.integrates);
    }
    // The rate is kept across a skipped interval: the next step averages it.
    fusion.init();
    fusion.integrateGyro(kRestart, vec(0, 0, 2));
    fusion.integrateGyro(kStepUs, vec(0, 0, 0));
    EXPECT_NEAR(angleBetween(fusion.quaternion(), Quaternion::identity()), 0.008, 1e-6);
}

TEST_F(WeightedFusion, TareRemovesTheHeadingAndKeepsRollAndPitch)
{
    const Quaternion truth = axisAngle(0, 0, 1, 1.0f) * axisAngle(0, 1, 0, 0.2f) * axisAngle(1, 0, 0, 0.3f);
    correct(sceneAt(truth), kRestart);
    fusion.tareAngPosZ();
    Vector3 e;
    fusion.quaternion().getEulerZYX(e);
    EXPECT_NEAR(e[0].value(), 0.3f, 1e-3f);
    EXPECT_NEAR(e[1].value(), 0.2f, 1e-3f);
    EXPECT_NEAR(e[2].value(), 0.0f, 1e-3f);
    fusion.measuredQuaternion().getEulerZYX(e);
    EXPECT_NEAR(e[2].value(), 0.0f, 1e-3f);
}

TEST(SensorFusionWeightedFusionHu, ReferenceUnlessNearlyParallel)
{
    Vector3 h = vec(7, 7, 7);
    EXPECT_EQ(SensorFusionWeightedFusion::computeHu(vec(0, 0, -1), vec(0, 0, -1), h), 0);
    EXPECT_EQ(h, vec(7, 7, 7));
    const float c5 = std::cos(4.9f * float(M_PI) / 180.0f);
    EXPECT_EQ(SensorFusionWeightedFusion::computeHu(vec(std::sqrt(1 - c5 * c5), 0, -c5), kDown, h), 0);
    ASSERT_EQ(SensorFusionWeightedFusion::computeHu(worldField(kIncl), kDown, h), 1);
    expectVectorNear(h, worldField(kIncl), 1e-6f);
}

} // namespace
} // namespace vnx
