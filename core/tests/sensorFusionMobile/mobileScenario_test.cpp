// The engine end to end on generated motion: known truth in, measured error
// out.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "mobileRig.h"

namespace {

using namespace vnx::mobiletest;
using vnx::Fp32;

TEST(MobileScenario, StillDeviceKeepsIdentityAndBecomesStable)
{
    MobileRig rig(deviceScd().build());
    ASSERT_EQ(rig.initStatus, VNX_STATUS_SUCCESS);
    const auto sensors = rig.enable(periods({{VNX_MOBILE_ROTATION_VECTOR, 8000},
                                             {VNX_MOBILE_STABILITY, 8000},
                                             {VNX_MOBILE_GRAVITY, 8000},
                                             {VNX_MOBILE_ACCELEROMETER, 8000}}));
    ASSERT_EQ(sensors.gyroscopeUs, 8000);
    ASSERT_EQ(sensors.magnetometerUs, 20000);

    int rotationVectors = 0;
    std::uint32_t firstStableUs = 0;
    std::uint32_t now = 0;
    const int samples = 10 * 125;
    for (int i = 1; i <= samples; ++i) {
        now = 8000u * static_cast<std::uint32_t>(i);
        rig.sample(now, {0, 0, -16384}, {0, 0, 0}, {0, 0, 0}, [&](const vnx_Mobile_Output_s& out) {
            if ((out.validBits & VNX_MOBILE_BIT_ROTATION_VECTOR) != 0) {
                ++rotationVectors;
                const float* q = out.rotationVector;
                for (int k = 0; k < 4; ++k)
                    ASSERT_TRUE(std::isfinite(q[k]));
                const float norm = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
                EXPECT_NEAR(norm, 1.0f, 1e-6f);
                const float angle = 2.0f * std::acos(std::fmin(1.0f, std::fabs(q[3])));
                EXPECT_LT(angle, 1e-3f) << "at " << out.timeUs;
            }
            if ((out.validBits & VNX_MOBILE_BIT_STABILITY) != 0 &&
                (out.stabilityFlags & VNX_MOBILE_STABILITY_EVENT) != 0 && firstStableUs == 0) {
                firstStableUs = out.timeUs;
            }
            if ((out.validBits & VNX_MOBILE_BIT_GRAVITY) != 0) {
                // Gravity in the output frame: z negated.
                EXPECT_NEAR(out.gravity[2], 9.8f, 0.02f);
            }
            if ((out.validBits & VNX_MOBILE_BIT_ACCELEROMETER) != 0) {
                EXPECT_NEAR(out.accelerometer[2], kGravity, 1e-3f);
            }
        });
    }
    EXPECT_GE(rotationVectors, samples - 1);
    EXPECT_GT(firstStableUs, 2'900'000u);
    EXPECT_LT(firstStableUs, 3'200'000u);
}

// Body rate of the synthetic motion (rad/s): a still start, then smooth
// turns about all three axes.
vnx::qdVectorFixed::Vector3 trueRate(double t)
{
    if (t < 4.0)
        return {};
    const double s = t - 4.0;
    return {Fp32(static_cast<float>(1.2 * std::sin(0.9 * s))),
            Fp32(static_cast<float>(0.8 * std::sin(0.6 * s + 1.0))),
            Fp32(static_cast<float>(1.5 * std::cos(0.35 * s)))};
}

struct MotionResult
{
    float rmsDeg;
    float maxDeg;
};

// Linear acceleration of the hand in the world frame (m/s^2), scaled.
Vector3 handAcceleration(double t, float scale)
{
    if (t < 4.0)
        return {};
    return {Fp32(scale * static_cast<float>(1.5 * std::sin(1.3 * t))),
            Fp32(scale * static_cast<float>(1.0 * std::sin(0.7 * t + 0.5))),
            Fp32(scale * static_cast<float>(0.8 * std::sin(1.1 * t)))};
}

MotionResult runMovingDevice(const scdGen4Float_s& scd, const float offsetCounts[3], float handScale,
                             double seconds)
{
    MobileRig rig(scd);
    EXPECT_EQ(rig.initStatus, VNX_STATUS_SUCCESS);
    rig.enable(periods({{VNX_MOBILE_ROTATION_VECTOR, 8000}}));

    std::mt19937 random(11);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    // Truth at double precision: world-from-body, rate in the body frame.
    double q[4] = {1, 0, 0, 0};
    const double dt = 0.008;
    double sumSq = 0;
    int count = 0;
    float maxErr = 0;
    const int samples = static_cast<int>(seconds / dt);
    for (int i = 1; i <= samples; ++i) {
        const double t = i * dt;
        // Integrate the truth over the step with the midpoint rate.
        const auto w = trueRate(t - dt / 2);
        const double a[3] = {w[0].value() * dt / 2, w[1].value() * dt / 2, w[2].value() * dt / 2};
        const double n = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
        if (n > 0) {
            const double c = std::cos(n), s = std::sin(n) / n;
            const double p[4] = {c, a[0] * s, a[1] * s, a[2] * s};
            const double r[4] = {q[0] * p[0] - q[1] * p[1] - q[2] * p[2] - q[3] * p[3],
                                 q[0] * p[1] + q[1] * p[0] + q[2] * p[3] - q[3] * p[2],
                                 q[0] * p[2] - q[1] * p[3] + q[2] * p[0] + q[3] * p[1],
                                 q[0] * p[3] + q[1] * p[2] - q[2] * p[1] + q[3] * p[0]};
            for (int k = 0; k < 4; ++k)
                q[k] = r[k];
        }
        const Quaternion truth{Fp32(static_cast<float>(q[0])), Fp32(static_cast<float>(q[1])),
                               Fp32(static_cast<float>(q[2])), Fp32(static_cast<float>(q[3]))};
        const Vector3 g = vnx::sensorFusion::rotateByConjugate(
            truth, Vector3{Fp32(0.0f), Fp32(0.0f), Fp32(-kGravity)} + handAcceleration(t, handScale));
        const auto rate = trueRate(t);
        MobileRig::RawTriple acc, gyro;
        for (int k = 0; k < 3; ++k) {
            acc[k] = counts(g[k].value() / kGravity * kCountsPerG + 4.0f * gauss(random));
            gyro[k] = counts(rate[k].value() / kRadPerCount + offsetCounts[k] + 2.0f * gauss(random));
        }
        rig.sample(static_cast<std::uint32_t>(8000 * i), acc, gyro, {0, 0, 0},
                   [&](const vnx_Mobile_Output_s& out) {
                       if ((out.validBits & VNX_MOBILE_BIT_ROTATION_VECTOR) == 0)
                           return;
                       const float err = tiltError(internalOf(out.rotationVector), truth) * 57.29578f;
                       if (t > 1.0) {
                           sumSq += static_cast<double>(err) * err;
                           ++count;
                           maxErr = std::fmax(maxErr, err);
                       }
                   });
    }
    return {static_cast<float>(std::sqrt(sumSq / std::max(count, 1))), maxErr};
}

TEST(MobileScenario, MovingDeviceKeepsInclinationOfTheRotationVector)
{
    struct Case
    {
        const char* name;
        scdGen4Float_s scd;
        float offset[3];
        float handScale;
        float rmsLimitDeg;
        float maxLimitDeg;
    };
    const Case cases[] = {
        // Pure rotation: gravity tells the tilt at every sample.
        {"two-axis device, offset on y and z", deviceScd().build(), {0.0f, 20.0f, -15.0f}, 0.0f, 0.5f, 1.0f},
        {"three-axis device, offset on all axes",
         deviceScd().deviceKind(1).build(),
         {12.0f, 20.0f, -15.0f},
         0.0f,
         0.5f,
         1.0f},
        // Hand acceleration of up to 2 m/s^2 (11 degrees of apparent tilt)
        // leans on the gyroscope.
        {"two-axis device moved by hand", deviceScd().build(), {0.0f, 20.0f, -15.0f}, 1.0f, 2.0f, 3.5f},
        {"three-axis device moved by hand",
         deviceScd().deviceKind(1).build(),
         {12.0f, 20.0f, -15.0f},
         1.0f,
         2.0f,
         3.5f},
        // A two-axis device learns no x offset: that one stays in the rate.
        {"two-axis device with an x offset moved by hand",
         deviceScd().build(),
         {12.0f, 20.0f, -15.0f},
         1.0f,
         3.0f,
         5.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MotionResult r = runMovingDevice(c.scd, c.offset, c.handScale, 60.0);
        std::printf("[ %s ] inclination error: rms %.3f deg, max %.3f deg\n", c.name, r.rmsDeg, r.maxDeg);
        EXPECT_LT(r.rmsDeg, c.rmsLimitDeg);
        EXPECT_LT(r.maxDeg, c.maxLimitDeg);
    }
}

} // namespace
