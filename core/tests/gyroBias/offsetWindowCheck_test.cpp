// Whether a window of samples may set or move the zero-rate offset: the
// accelerometer must show no turn, and the rate must be a plausible offset.

#include <gtest/gtest.h>

#include <cmath>

#include "biasCorrectRig.h"
#include "gyroBias/OffsetWindowCheck.h"
#include "support/GaussianNoise.h"
#include "support/motionMath.h"

namespace vnx::biastest {
namespace {

using testsupport::GaussianNoise;
using testsupport::Vec3d;

constexpr double kGravity = 9.80665;
constexpr double kPeriodS = 0.008;

/// A calibration that declares realistic noise: accelerometer 0.02 m/s^2
/// (33.4 counts), and a nominal initial offset uncertainty of 0.02 rad/s
/// (a per-unit calibration falls back to a far larger one).
FixedPointCal::Output realisticCal()
{
    return presenterScd()
        .accelNoise(33.4f, 33.4f, 33.4f)
        .nominalMarker(-0.01f)
        .zroInitSigma(0.02f)
        .calibration();
}

/// Feeds `samples` accelerations of a device that starts flat and turns at
/// `rate` rad/s about `axis`, with white noise of `noise` m/s^2.
void feedTurn(OffsetWindowCheck& check, const Vec3d& axis, double rate, int samples, double noise,
              std::uint64_t seed = 1)
{
    GaussianNoise gauss(seed);
    for (int n = 1; n <= samples; ++n) {
        const testsupport::Quatd q = testsupport::axisAngle(axis, rate * kPeriodS * n);
        const Vec3d g = testsupport::worldToBody(q, {0.0, 0.0, -kGravity});
        check.process({Fp32(static_cast<float>(g[0] + noise * gauss.next())),
                       Fp32(static_cast<float>(g[1] + noise * gauss.next())),
                       Fp32(static_cast<float>(g[2] + noise * gauss.next()))});
    }
}

TEST(OffsetWindowCheck, TurnsAwayFromGravityShowInTheAccelerometer)
{
    struct Case
    {
        const char* name;
        Vec3d axis;
        double rate;  ///< rad/s
        double noise; ///< m/s^2, as simulated
        bool turning;
    };
    const Case cases[] = {
        {"at rest", {1, 0, 0}, 0.0, 0.02, false},
        // The test devices declare less noise than they have: the measured
        // noise counts, so rest still reads as rest.
        {"at rest, noisier than declared", {1, 0, 0}, 0.0, 0.1, false},
        {"20 deg/s about a horizontal axis", {1, 0, 0}, 0.349, 0.02, true},
        {"5 deg/s about a horizontal axis", {0, 1, 0}, 0.0873, 0.02, true},
        {"90 deg/s about a tilted axis", {0.6, 0, 0.8}, 1.571, 0.02, true},
        // Gravity stays where it is: only the plausibility test can tell.
        {"180 deg/s about the vertical", {0, 0, 1}, 3.142, 0.02, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OffsetWindowCheck check;
        check.init(realisticCal());
        int turningWindows = 0;
        for (int window = 0; window < 20; ++window) {
            feedTurn(check, c.axis, c.rate, 20, c.noise, static_cast<std::uint64_t>(window + 1));
            turningWindows += check.turning() ? 1 : 0;
        }
        EXPECT_EQ(turningWindows, c.turning ? 20 : 0);
    }
}

TEST(OffsetWindowCheck, RateMustBeAPlausibleOffset)
{
    const FixedPointCal::Output cal = realisticCal();
    ASSERT_FLOAT_EQ(cal.zroInitSigma, 0.02f);
    OffsetWindowCheck check;
    check.init(cal);
    feedTurn(check, {1, 0, 0}, 0.0, 20, 0.02);
    ASSERT_FALSE(check.turning());
    ASSERT_NEAR(check.gravity()[2].value(), -1.0f, 1e-3f);
    EXPECT_FLOAT_EQ(check.calibrationBound().value(), 0.06f); // three sigmas

    const qdVectorFixed::Vector3 estimate = v3(0.01f, -0.02f, 0.015f);
    const Fp32 bound(0.03f);
    struct Case
    {
        const char* name;
        qdVectorFixed::Vector3 rate;
        const qdVectorFixed::Vector3* reference;
        bool plausible;
    };
    const Case cases[] = {
        {"no estimate yet, small rate", v3(0.02f, -0.03f, 0.05f), nullptr, true},
        {"no estimate yet, beyond the calibration bound", v3(0.0f, 0.0f, 0.087f), nullptr, false},
        {"the estimate itself", estimate, &estimate, true},
        // Across gravity the accelerometer vouches for a device at rest.
        {"far from the estimate across gravity", v3(0.05f, -0.05f, 0.015f), &estimate, true},
        {"along gravity within the bound", v3(0.01f, -0.02f, 0.04f), &estimate, true},
        {"along gravity beyond the bound", v3(0.01f, -0.02f, 0.05f), &estimate, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(check.plausible(c.rate, c.reference, bound), c.plausible);
    }

    // A turning device offers no offset, unless only plausibility is asked.
    feedTurn(check, {1, 0, 0}, 0.349, 20, 0.02);
    ASSERT_TRUE(check.turning());
    EXPECT_FALSE(check.plausible(estimate, &estimate, bound));
    EXPECT_TRUE(check.plausible(estimate, &estimate, bound, false));
}

TEST(OffsetWindowCheck, ResetForgetsTheWindow)
{
    OffsetWindowCheck check;
    check.init(realisticCal());
    feedTurn(check, {1, 0, 0}, 0.349, 20, 0.02);
    ASSERT_TRUE(check.turning());
    check.reset();
    EXPECT_FALSE(check.turning());
    EXPECT_EQ(check.gravity()[2].value(), 0.0f);
    // Three samples tell nothing yet; the fourth gives a direction.
    feedTurn(check, {1, 0, 0}, 0.0, 3, 0.02);
    EXPECT_EQ(check.gravity()[2].value(), 0.0f);
    feedTurn(check, {1, 0, 0}, 0.0, 1, 0.02);
    EXPECT_NEAR(check.gravity()[2].value(), -1.0f, 1e-3f);
}

} // namespace
} // namespace vnx::biastest
