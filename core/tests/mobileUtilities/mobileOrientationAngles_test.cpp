#include "mobileUtilities/mobileOrientationAngles.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/statusCode.h"

namespace {

constexpr float kPi = 3.14159265f;

/// Output-frame quaternion (x, y, z, w) of a rotation by angleDeg about an axis.
vnx_Mobile_Quaternion_s rotation(float angleDeg, float ax, float ay, float az)
{
    const float half = angleDeg * kPi / 360.0f;
    return {ax * std::sin(half), ay * std::sin(half), az * std::sin(half), std::cos(half)};
}

using AngleFunction = int (*)(const vnx_Mobile_Quaternion_s*, float*);

struct AnglesCase
{
    const char* name;
    vnx_Mobile_Quaternion_s q;
    float android[3];
    float eulerZYX[3];
    float rollPitchYaw[3];
};

// Heading turns about z, roll about x, pitch about y. The orders differ in
// slot, sign and whether the heading is wrapped into [0, 360).
const AnglesCase kCases[] = {
    {"identity", rotation(0, 0, 0, 1), {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    {"z +90", rotation(90, 0, 0, 1), {270, 0, 0}, {90, 0, 0}, {90, 0, 0}},
    {"z -90", rotation(-90, 0, 0, 1), {90, 0, 0}, {270, 0, 0}, {-90, 0, 0}},
    {"z 180", rotation(180, 0, 0, 1), {180, 0, 0}, {180, 0, 0}, {180, 0, 0}},
    {"x +30", rotation(30, 1, 0, 0), {0, 0, -30}, {0, 30, 0}, {0, 30, 0}},
    {"x -50", rotation(-50, 1, 0, 0), {0, 0, 50}, {0, -50, 0}, {0, -50, 0}},
    {"y +30", rotation(30, 0, 1, 0), {0, -30, 0}, {0, 0, 30}, {0, 0, 30}},
    {"y -70", rotation(-70, 0, 1, 0), {0, 70, 0}, {0, 0, -70}, {0, 0, -70}},
};

void expectAngles(AngleFunction f, const vnx_Mobile_Quaternion_s& q, const float (&expected)[3],
                  const char* what)
{
    float out[3] = {-999, -999, -999};
    ASSERT_EQ(f(&q, out), VNX_STATUS_SUCCESS) << what;
    for (int i = 0; i < 3; ++i) {
        // 0 and 360 are the same heading; a wrapped -0.00001 reads 359.99999.
        float diff = std::fabs(out[i] - expected[i]);
        if (i == 0)
            diff = std::fmin(diff, std::fabs(diff - 360.0f));
        EXPECT_LT(diff, 1e-3f) << what << " angle " << i << ": " << out[i] << " vs " << expected[i];
    }
}

TEST(MobileOrientationAngles, EachOrderPlacesAndSignsTheAnglesOfItsOwn)
{
    for (const AnglesCase& c : kCases) {
        expectAngles(vnx_Mobile_computeAndroidOrientation, c.q, c.android, c.name);
        expectAngles(vnx_Mobile_computeEulerZYX, c.q, c.eulerZYX, c.name);
        expectAngles(vnx_Mobile_computeRollPitchYaw, c.q, c.rollPitchYaw, c.name);
    }
}

TEST(MobileOrientationAngles, WrappedHeadingsStayWithin0To360)
{
    for (float deg = -179; deg <= 180; deg += 7) {
        const vnx_Mobile_Quaternion_s q = rotation(deg, 0, 0, 1);
        float android[3], euler[3], rpy[3];
        vnx_Mobile_computeAndroidOrientation(&q, android);
        vnx_Mobile_computeEulerZYX(&q, euler);
        vnx_Mobile_computeRollPitchYaw(&q, rpy);
        EXPECT_GE(android[0], 0.0f) << deg;
        EXPECT_LT(android[0], 360.0f) << deg;
        EXPECT_GE(euler[0], 0.0f) << deg;
        EXPECT_LT(euler[0], 360.0f) << deg;
        EXPECT_GT(rpy[0], -180.001f) << deg;
        EXPECT_LE(rpy[0], 180.001f) << deg;
    }
}

TEST(MobileOrientationAngles, PitchAtNinetyDegreesSurvivesRounding)
{
    // A quarter turn about y scaled a hair above unit norm puts the sine of
    // the pitch just above 1; the angle is still 90 degrees, not NaN.
    const float s = 0.70710678f * 1.0001f;
    const vnx_Mobile_Quaternion_s q{0, -s, 0, s};
    float android[3], euler[3];
    vnx_Mobile_computeAndroidOrientation(&q, android);
    vnx_Mobile_computeEulerZYX(&q, euler);
    EXPECT_FLOAT_EQ(android[1], 90.0f);
    EXPECT_FLOAT_EQ(euler[2], -90.0f);
}

TEST(MobileOrientationAngles, GravityIsAccelerationLessLinearAcceleration)
{
    const float acceleration[3] = {1.5f, -9.0f, 3.0f};
    const float linear[3] = {0.5f, 0.8f, -6.8f};
    float gravity[3] = {};
    ASSERT_EQ(vnx_Mobile_computeGravity(acceleration, linear, gravity), VNX_STATUS_SUCCESS);
    EXPECT_FLOAT_EQ(gravity[0], 1.0f);
    EXPECT_FLOAT_EQ(gravity[1], -9.8f);
    EXPECT_FLOAT_EQ(gravity[2], 9.8f);
}

TEST(MobileOrientationAngles, NullPointersAreRefusedAndNothingIsWritten)
{
    const vnx_Mobile_Quaternion_s q = rotation(10, 0, 0, 1);
    float out[3] = {7, 7, 7};
    const AngleFunction functions[] = {vnx_Mobile_computeAndroidOrientation, vnx_Mobile_computeEulerZYX,
                                       vnx_Mobile_computeRollPitchYaw};
    for (AngleFunction f : functions) {
        EXPECT_EQ(f(nullptr, out), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(f(&q, nullptr), VNX_STATUS_INVALID_PARAMETER);
    }
    EXPECT_EQ(vnx_Mobile_computeGravity(nullptr, out, out), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_computeGravity(out, nullptr, out), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_computeGravity(out, out, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(out[0], 7);
}

} // namespace
