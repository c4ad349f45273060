#include "sensorFusion/WahbaSolvers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fusionTestSupport.h"

namespace vnx {
namespace {

using namespace fusionTest;

const Quaternion kOrientations[] = {
    Quaternion::identity(),    axisAngle(0, 0, 1, 1.2f),     axisAngle(1, 0, 0, 0.5f),
    axisAngle(0, 1, 0, -0.8f), axisAngle(1, -2, 0.5f, 2.0f), axisAngle(-0.3f, 0.4f, 1, 2.9f),
};

TEST(TwoRotationsAcc, LevelDeviceHeadsOnTheSignOfU)
{
    Quaternion q;
    WahbaSolvers::TwoRotationsAcc(vec(1, 0, 0), kDown, vec(1, 0, 0), q);
    EXPECT_EQ(q, Quaternion::identity());

    // A negative u.x turns the heading by half a turn about z.
    WahbaSolvers::TwoRotationsAcc(vec(-1, 0, 0), kDown, vec(1, 0, 0), q);
    EXPECT_EQ(q.w().value(), 0.0f);
    EXPECT_EQ(q.x().value(), 0.0f);
    EXPECT_EQ(q.y().value(), 0.0f);
    EXPECT_EQ(std::fabs(q.z().value()), 1.0f);
}

TEST(TwoRotationsAcc, RecoversTheOrientationFromGravityAndField)
{
    const Vector3 field = worldField(-0.76f);
    for (const Quaternion& truth : kOrientations) {
        Quaternion q;
        WahbaSolvers::TwoRotationsAcc(field, deviceVector(truth, kDown), deviceVector(truth, field), q);
        EXPECT_TRUE(isFiniteUnit(q));
        EXPECT_LT(angleBetween(q, truth), 1e-3);
    }
}

TEST(TwoRotationsAcc, DegenerateDirections)
{
    Quaternion q;
    // Upside down with no horizontal component: the defined half turn.
    WahbaSolvers::TwoRotationsAcc(vec(1, 0, 0), vec(0, 0, 1), vec(1, 0, 0), q);
    EXPECT_EQ(q, quat(0, 1, 0, 0));

    // v along g has no heading: no heading rotation at all.
    WahbaSolvers::TwoRotationsAcc(vec(1, 0, 0), kDown, vec(0, 0, -3), q);
    EXPECT_EQ(q, Quaternion::identity());

    // g without horizontal part but shorter than 1: zero tilt axis, and the
    // result is renormalised.
    WahbaSolvers::TwoRotationsAcc(vec(1, 0, 0), vec(0, 0, -0.5f), vec(1, 0, 0), q);
    EXPECT_TRUE(isFiniteUnit(q));
    EXPECT_LT(angleBetween(q, Quaternion::identity()), 1e-6);
}

TEST(TwoRotationsMag, RecoversTheSameOrientationLevellingOnTheField)
{
    const float d = -0.76f;
    const Vector3 field = worldField(d);
    for (const Quaternion& truth : kOrientations) {
        Quaternion q;
        // Called as the magnetometer-led fusion does: heading vector m is the
        // gravity direction, levelling vector g the field direction.
        WahbaSolvers::TwoRotationsMag(field, deviceVector(truth, kDown), deviceVector(truth, field), q);
        EXPECT_TRUE(isFiniteUnit(q));
        EXPECT_GE(q.w().value(), 0.0f);
        EXPECT_LT(angleBetween(q, truth), 1e-3);
    }
}

TEST(TwoRotationsMag, FieldAlongGravityKeepsTheOrdinaryHeadingSign)
{
    // Just outside and just inside 5 degrees of parallel: the heading must
    // not jump by half a turn between the two.
    const Vector3 f = worldField(-0.76f);
    const auto solve = [&](float degrees) {
        const float a = degrees * float(M_PI) / 180.0f;
        Quaternion q;
        WahbaSolvers::TwoRotationsMag(f, vec(std::sin(a), 0, -std::cos(a)), kDown, q);
        return q;
    };
    const Quaternion outside = solve(5.5f);
    const Quaternion inside = solve(4.5f);
    EXPECT_TRUE(isFiniteUnit(inside));
    EXPECT_LT(angleBetween(outside, inside), 0.05);
}

TEST(TwoRotationsMag, InclinationTurnAboutY)
{
    // f.z = -1 turns by nothing; f.z = 1 by half a turn about -y.
    Quaternion acc;
    WahbaSolvers::TwoRotationsAcc(vec(-1, 0, 0), kDown, vec(1, 0, 0), acc);
    Quaternion q;
    WahbaSolvers::TwoRotationsMag(vec(0, 0, -1), vec(1, 0, 0), kDown, q);
    EXPECT_LT(angleBetween(q, acc), 1e-6);
    WahbaSolvers::TwoRotationsMag(vec(0, 0, 1), vec(1, 0, 0), kDown, q);
    EXPECT_LT(angleBetween(q, quat(0, 0, -1, 0) * acc), 1e-6);
    EXPECT_GE(q.w().value(), 0.0f);
}

TEST(GaussNewton, ExactSolutionStaysPut)
{
    struct Case
    {
        Quaternion q;
        Vector3 a, b;
    };
    const Case cases[] = {
        {Quaternion::identity(), vec(1, 0, 0), vec(0, 1, 0)},
        {quat(0, 0, 0, 1), vec(1, 0, 0), vec(0, 0, 1)},
        {quat(0, 1, 0, 0), vec(2, 1, 0), vec(0, 1, 1)},
    };
    for (const Case& c : cases) {
        Quaternion q;
        WahbaSolvers::GaussNewton(c.q, c.a, c.b, deviceVector(c.q, c.a), deviceVector(c.q, c.b), q);
        EXPECT_EQ(q, c.q);
    }
}

TEST(GaussNewton, ConvergesFromANearbyStart)
{
    const Vector3 a = vec(0, 0, -1);
    const Vector3 b = worldField(-0.6f);
    for (const Quaternion& truth : kOrientations) {
        const Quaternion start = truth + quat(0.05f, -0.04f, 0.03f, 0.02f);
        Quaternion q;
        WahbaSolvers::GaussNewton(start, a, b, deviceVector(truth, a), deviceVector(truth, b), q);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(q[i].value(), truth[i].value(), 1e-4f);
    }
}

TEST(WahbaSvd, RecoversTheRotationOfTwoWeightedPairs)
{
    const Vector3 field = worldField(-0.5f);
    for (const Quaternion& truth : kOrientations) {
        // c is the device field, a its world direction; b the device gravity.
        Quaternion q;
        WahbaSolvers::WahbaSvd(field, deviceVector(truth, kDown), deviceVector(truth, field), Fp32(1.0f),
                               Fp32(0.5f), q);
        EXPECT_LT(angleBetween(q, truth), 1e-3);
        EXPECT_TRUE(isFiniteUnit(q, 1e-4));
    }
}

TEST(WahbaSvd, WeightsDecideBetweenInconsistentPairs)
{
    // The field says "no turn", gravity says "tilted by 0.2 rad about x":
    // the heavier pair wins.
    const Vector3 field = vec(1, 0, 0);
    const Quaternion tilt = axisAngle(1, 0, 0, 0.2f);
    const Vector3 gravity = deviceVector(tilt, kDown);
    Quaternion q;
    WahbaSolvers::WahbaSvd(field, gravity, field, Fp32(1000.0f), Fp32(1.0f), q);
    EXPECT_LT(angleBetween(q, tilt), 0.01);
}

} // namespace
} // namespace vnx
