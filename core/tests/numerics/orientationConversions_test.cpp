#include "numerics/orientationConversions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "numerics/qdVectorFixed.h"

namespace vnx {
namespace {

using qdVectorFixed::Quaternion;

Quaternion axisAngle(double angleRad, double ax, double ay, double az)
{
    const double n = std::sqrt(ax * ax + ay * ay + az * az);
    const double s = std::sin(angleRad / 2) / n;
    return {static_cast<float>(std::cos(angleRad / 2)), static_cast<float>(ax * s),
            static_cast<float>(ay * s), static_cast<float>(az * s)};
}

void toFloats(const Quaternion& q, float out[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = q[i].value();
}

constexpr float kIdentityDcm[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

TEST(Q2Euler, RollAndSquaredPitchSineOfTheConjugate)
{
    Fp32 angle, sineSquared;
    q2Euler(Quaternion::identity().e, angle, sineSquared);
    EXPECT_EQ(angle.value(), 0.0f);
    EXPECT_EQ(sineSquared.value(), 0.0f);

    q2Euler(axisAngle(M_PI / 4, 1, 0, 0).e, angle, sineSquared);
    EXPECT_NEAR(angle.value(), -M_PI / 4, 1e-4);
    EXPECT_NEAR(sineSquared.value(), 0.0, 1e-12);

    q2Euler(axisAngle(0.6, 0, 1, 0).e, angle, sineSquared);
    EXPECT_NEAR(sineSquared.value(), std::pow(std::sin(0.6), 2), 1e-6);
}

TEST(EulerFull, IdentityIsExact)
{
    Fp32 e[3];
    q2EulerFull(Quaternion::identity().e, e);
    for (const Fp32& v : e)
        EXPECT_EQ(v.value(), 0.0f);
    const Fp32 zeros[3] = {0.0f, 0.0f, 0.0f};
    Fp32 q[4];
    eulerFull2Q(zeros, q);
    EXPECT_EQ(q[0].value(), 1.0f);
    EXPECT_EQ(q[1].value(), 0.0f);
    EXPECT_EQ(q[2].value(), 0.0f);
    EXPECT_EQ(q[3].value(), 0.0f);
}

TEST(EulerFull, RoundTripAndAgreementWithQuaternionProducts)
{
    const float angles[][3] = {
        {0.2f, -0.3f, 0.5f}, {-2.8f, 1.4f, 3.0f}, {1.0f, -1.49f, -2.0f}, {3.1f, 0.0f, -3.1f}};
    for (const auto& a : angles) {
        const Fp32 e[3] = {a[0], a[1], a[2]};
        Fp32 q[4];
        eulerFull2Q(e, q);
        // Applied in the order z, y, x.
        const Quaternion expected =
            axisAngle(a[2], 0, 0, 1) * axisAngle(a[1], 0, 1, 0) * axisAngle(a[0], 1, 0, 0);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(q[i].value(), expected[i].value(), 1e-5);

        Fp32 back[3];
        q2EulerFull(q, back);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(back[i].value(), a[i], 1e-4) << "angle " << i;
    }
}

TEST(EulerFull, PitchSineJustAboveOneGivesHalfPiNotNaN)
{
    const Fp32 q[4] = {0.70710683f, 0.0f, 0.70710683f, 0.0f};
    Fp32 e[3];
    q2EulerFull(q, e);
    EXPECT_EQ(e[1].value(), std::asin(1.0f));
}

TEST(Dcm, IdentityBothWays)
{
    const float identity[4] = {1, 0, 0, 0};
    float m[9];
    q2DCM(identity, m);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(m[i], kIdentityDcm[i]);
    float q[4];
    dcm2q(kIdentityDcm, q);
    EXPECT_EQ(q[0], 1.0f);
    EXPECT_EQ(q[1], 0.0f);
    EXPECT_EQ(q[2], 0.0f);
    EXPECT_EQ(q[3], 0.0f);
}

TEST(Dcm, StoredColumnByColumnAsTheTransposeOfAsDcm)
{
    const Quaternion qq = axisAngle(1.2, 0.3, -0.7, 0.2);
    float q[4], m[9];
    toFloats(qq, q);
    q2DCM(q, m);
    qdVectorFixed::Matrix3 rowMajor;
    qq.asDcm(rowMajor);
    // asDcm stores row r, column c at 3r + c; q2DCM stores it at r + 3c.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(m[r + 3 * c], rowMajor(r, c).value());
}

TEST(Dcm, RoundTripGivesTheQuaternionWithNonNegativeW)
{
    const Quaternion cases[] = {axisAngle(0.4, 1, 2, 3), axisAngle(2.9, -1, 0.2, 0.1),
                                axisAngle(3.0, 0.1, 1, -0.2), axisAngle(3.1, 0.1, 0.2, 1),
                                -axisAngle(0.8, 0, 1, 1)};
    for (const Quaternion& c : cases) {
        float q[4], m[9], back[4];
        toFloats(c, q);
        q2DCM(q, m);
        dcm2q(m, back);
        const float sign = q[0] >= 0.0f ? 1.0f : -1.0f;
        EXPECT_GE(back[0], 0.0f);
        // A component near zero comes through the root of a difference near zero,
        // so it carries about the square root of the float epsilon.
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(back[i], sign * q[i], 5e-4) << i;
    }
}

TEST(Dcm, RotateAngle)
{
    EXPECT_EQ(dcm2RotateAngle(kIdentityDcm), 0.0f);
    const float halfTurnAboutZ[9] = {-1, 0, 0, 0, -1, 0, 0, 0, 1};
    EXPECT_EQ(dcm2RotateAngle(halfTurnAboutZ), 3.1415927f);
    const float beyond[9] = {-1, 0, 0, 0, -1.5f, 0, 0, 0, 1}; // trace term below 0 from noise
    EXPECT_EQ(dcm2RotateAngle(beyond), 3.1415927f);
    float q[4], m[9];
    toFloats(axisAngle(0.75, 1, -1, 2), q);
    q2DCM(q, m);
    EXPECT_NEAR(dcm2RotateAngle(m), 0.75, 1e-5);
}

TEST(Dcm, YawAngleInDegrees)
{
    EXPECT_EQ(dcm2YawAngle(kIdentityDcm), 0.0f);
    float q[4], m[9];
    toFloats(axisAngle(0.5, 0, 0, 1), q);
    q2DCM(q, m);
    // m3 and m0 are row 0 of the matrix: the yaw read is that of the inverse turn.
    EXPECT_NEAR(dcm2YawAngle(m), -0.5 * 180.0 / M_PI, 1e-4);
    // With m6 = 1 the angle comes from m1 and m2.
    const float gimbal[9] = {0, 0.6f, 0.8f, 0, 0, 0, 1, 0, 0};
    EXPECT_EQ(dcm2YawAngle(gimbal), std::atan2(0.6f, 0.8f) * 180.0f / 3.1415927f);
}

TEST(Dcm, DifferenceOfARotationWithItselfIsIdentity)
{
    float q[4], a[9], d[9];
    toFloats(axisAngle(2.2, 0.5, 1, -0.3), q);
    q2DCM(q, a);
    computeDiffDCM(a, a, d);
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(d[i], kIdentityDcm[i], 1e-6);
}

TEST(Dcm, DifferenceIsProductWithTransposeEvenInPlace)
{
    const float a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const float b[9] = {0, 1, 0, -1, 0, 2, 3, 0, 1};
    float expected[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            expected[i + 3 * j] = a[i] * b[j] + a[i + 3] * b[j + 3] + a[i + 6] * b[j + 6];
    float d[9];
    computeDiffDCM(a, b, d);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(d[i], expected[i]);
    float inA[9], inB[9];
    std::copy(a, a + 9, inA);
    std::copy(b, b + 9, inB);
    computeDiffDCM(inA, b, inA);
    computeDiffDCM(a, inB, inB);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(inA[i], expected[i]);
        EXPECT_EQ(inB[i], expected[i]);
    }
}

} // namespace
} // namespace vnx
