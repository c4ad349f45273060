#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "numerics/qdVectorFixed.h"

namespace vnx::qdVectorFixed {
namespace {

Quaternion axisAngle(double angleRad, double ax, double ay, double az)
{
    const double n = std::sqrt(ax * ax + ay * ay + az * az);
    const double s = std::sin(angleRad / 2) / n;
    return {static_cast<float>(std::cos(angleRad / 2)), static_cast<float>(ax * s),
            static_cast<float>(ay * s), static_cast<float>(az * s)};
}

void expectNear(const Quaternion& a, const Quaternion& b, float tol)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(a[i].value(), b[i].value(), tol) << "element " << i;
}

TEST(QuaternionIntegrate, ZeroRateLeavesAUnitQuaternionBitIdentical)
{
    const Quaternion starts[] = {Quaternion::identity(), axisAngle(0.7, 1, -2, 0.5), axisAngle(3.0, 0, 1, 0)};
    for (const Quaternion& start : starts) {
        Quaternion q = start;
        q.integrate(Vector3{}, Fp32(0.01f));
        EXPECT_EQ(std::memcmp(&q, &start, sizeof q), 0);
        q.integrateTrapz(Vector3{}, Vector3{}, Fp32(0.01f));
        EXPECT_EQ(std::memcmp(&q, &start, sizeof q), 0);
    }
}

TEST(QuaternionIntegrate, ConstantRateTurnsByRateTimesTime)
{
    Quaternion q = Quaternion::identity();
    const Vector3 rate{0.0f, 0.0f, 1.0f}; // rad/s about z
    for (int i = 0; i < 1000; ++i)
        q.integrate(rate, Fp32(0.001f));
    expectNear(q, axisAngle(1.0, 0, 0, 1), 1e-3f);
    EXPECT_NEAR(q.normSquared().value(), 1.0f, 2e-7f);
}

TEST(QuaternionIntegrate, RateIsInTheBodyFrame)
{
    // Turn 90 degrees about z, then integrate a body x rate: the world sees a turn about y.
    Quaternion q = axisAngle(M_PI / 2, 0, 0, 1);
    for (int i = 0; i < 100; ++i)
        q.integrate(Vector3{0.5f, 0.0f, 0.0f}, Fp32(0.01f));
    expectNear(q, axisAngle(M_PI / 2, 0, 0, 1) * axisAngle(0.5, 1, 0, 0), 1e-4f);
}

TEST(QuaternionIntegrate, TrapezoidWithEqualRatesEqualsSingleRate)
{
    const Vector3 rate{0.3f, -1.2f, 2.5f};
    Quaternion a = axisAngle(0.4, 1, 1, 0);
    Quaternion b = a;
    a.integrate(rate, Fp32(0.02f));
    b.integrateTrapz(rate, rate, Fp32(0.02f));
    EXPECT_EQ(a, b);
}

TEST(QuaternionSLerp, EndpointsAndShortWay)
{
    const Quaternion a = axisAngle(0.3, 0, 0, 1);
    const Quaternion b = axisAngle(1.3, 0, 0, 1);
    EXPECT_EQ(Quaternion::sLerp(a, b, Fp32(0.0f)), a);
    EXPECT_EQ(Quaternion::sLerp(a, a, Fp32(0.5f)), a);
    EXPECT_EQ(Quaternion::sLerp(a, -a, Fp32(0.5f)), a);
    expectNear(Quaternion::sLerp(a, b, Fp32(0.5f)), axisAngle(0.8, 0, 0, 1), 1e-4f);
    expectNear(Quaternion::sLerp(a, b, Fp32(1.0f)), b, 1e-4f);
    // -b is the same rotation: interpolation still goes the short way.
    expectNear(Quaternion::sLerp(a, -b, Fp32(0.5f)), axisAngle(0.8, 0, 0, 1), 1e-4f);
}

TEST(QuaternionAngularDistance, AngleBetweenRotations)
{
    const Quaternion q = axisAngle(0.9, 1, 2, 3);
    EXPECT_EQ(q.getAngularDistance(q).value(), 0.0f);
    EXPECT_EQ(q.getAngularDistance(-q).value(), 0.0f);
    EXPECT_NEAR(axisAngle(M_PI / 2, 0, 0, 1).getAngularDistance(Quaternion::identity()).value(), M_PI / 2,
                1e-4);
    EXPECT_NEAR(Quaternion::identity().getAngularDistance(axisAngle(M_PI / 2, 0, 0, 1)).value(), M_PI / 2,
                1e-4);
    EXPECT_NEAR(q.getAngularDistance(q * axisAngle(2.5, -1, 0, 1)).value(), 2.5, 1e-4);
    const float d = Quaternion::identity().getAngularDistance(axisAngle(M_PI, 0, 1, 0)).value();
    EXPECT_NEAR(d, M_PI, 1e-4);
    EXPECT_LE(d, 3.1415927f);
}

TEST(QuaternionEuler, AnglesOfKnownRotations)
{
    Vector3 e;
    Quaternion{static_cast<float>(std::cos(M_PI / 8)), 0.0f, 0.0f, static_cast<float>(std::sin(M_PI / 8))}
        .getEulerZYX(e);
    EXPECT_NEAR(e[0].value(), 0.0, 1e-4);
    EXPECT_NEAR(e[1].value(), 0.0, 1e-4);
    EXPECT_NEAR(e[2].value(), M_PI / 4, 1e-4);

    // yaw 0.5, pitch -0.3, roll 0.2 applied z, y, x.
    const Quaternion q = axisAngle(0.5, 0, 0, 1) * axisAngle(-0.3, 0, 1, 0) * axisAngle(0.2, 1, 0, 0);
    q.getEulerZYX(e);
    EXPECT_NEAR(e[0].value(), 0.2, 1e-4);
    EXPECT_NEAR(e[1].value(), -0.3, 1e-4);
    EXPECT_NEAR(e[2].value(), 0.5, 1e-4);
}

TEST(QuaternionEuler, PitchSineJustAboveOneGivesHalfPiNotNaN)
{
    // 2(wy - xz) rounds to slightly above 1.
    const Quaternion q{0.70710683f, 0.0f, 0.70710683f, 0.0f};
    ASSERT_GT(2.0f * (0.70710683f * 0.70710683f), 1.0f);
    Vector3 e;
    q.getEulerZYX(e);
    EXPECT_EQ(e[1].value(), std::asin(1.0f));
}

TEST(QuaternionDcm, IdentityAndRoundTripGivesTheConjugate)
{
    Matrix3 m;
    Quaternion::identity().asDcm(m);
    EXPECT_EQ(m, Matrix3::identity());
    Quaternion q;
    q.fromDcm(Matrix3::identity());
    EXPECT_EQ(q, Quaternion::identity());

    // Every branch of fromDcm: rotations of about 0, and of pi about x, y and z.
    const Quaternion cases[] = {axisAngle(0.3, 1, 2, 3), axisAngle(3.0, 1, 0.1, 0.1),
                                axisAngle(3.0, 0.1, 1, 0.1), axisAngle(3.0, 0.1, 0.1, 1),
                                axisAngle(2.0, -1, 0.5, 0.2)};
    for (const Quaternion& c : cases) {
        c.asDcm(m);
        q.fromDcm(m);
        const Quaternion conj = c.conj();
        const float sign = (dot(q, conj) < Fp32(0.0f)) ? -1.0f : 1.0f;
        expectNear(q * Fp32(sign), conj, 1e-5f);
    }
}

TEST(QuaternionDcm, MatrixRotatesVectorsAsTheQuaternion)
{
    // asDcm writes the rotation row by row: m * v equals q (0, v) q*.
    const Quaternion q = axisAngle(1.1, 0.3, -0.4, 0.8);
    Matrix3 m;
    q.asDcm(m);
    const Vector3 v{0.2f, -1.0f, 0.7f};
    const Vector3 rotated = m * v;
    const Quaternion expected = q * Quaternion{0.0f, v[0], v[1], v[2]} * q.conj();
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(rotated[i].value(), expected[i + 1].value(), 1e-6f);
}

} // namespace
} // namespace vnx::qdVectorFixed
