#include "pointerEngine/PointerAlignment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vnx {
namespace {

using Quaternion = PointerAlignment::Quaternion;
constexpr float kDegree = 0.017453292f;

Quaternion yawPitch(float yaw, float pitch)
{
    const Quaternion z{std::cos(yaw / 2), 0.0f, 0.0f, std::sin(yaw / 2)};
    const Quaternion y{std::cos(pitch / 2), 0.0f, std::sin(pitch / 2), 0.0f};
    return z * y;
}

// The device orientation whose angles against the identity reference are
// (yaw, pitch): the map measures ref x conj(q).
Quaternion aimedAt(float yaw, float pitch)
{
    return yawPitch(yaw, pitch).conj();
}

PointerAlignment make(int width = 880, int height = 720)
{
    const int size[2] = {width, height};
    return PointerAlignment(size);
}

TEST(PointerAlignment, CorrectionTurnsAndScalesWithinItsLimits)
{
    const int size[2] = {880, 720};
    PointerAlignment a(size);
    const float pos[2] = {100.0f, 100.0f};
    const float vel[2] = {3.0f, 4.0f};
    float out[2];
    // Angle 0 and scale 1 leave the motion alone.
    const float target[2] = {500.0f, -200.0f};
    a.adjustVeloctiy2d(pos, vel, target, 1.0f, 0.0f, out);
    EXPECT_EQ(out[0], 3.0f);
    EXPECT_EQ(out[1], 4.0f);
    // A motion away from the target turns by at most the angle and shrinks
    // to 1 / scale of its length.
    const float behind[2] = {40.0f, 20.0f};
    a.adjustVeloctiy2d(pos, vel, behind, 1.5f, 0.05f, out);
    EXPECT_NEAR(std::hypot(out[0], out[1]), 5.0f / 1.5f, 1e-5f);
    const float turned = std::acos((out[0] * 3.0f + out[1] * 4.0f) / (5.0f * std::hypot(out[0], out[1])));
    EXPECT_NEAR(turned, 0.05f, 1e-4f);
    // Towards the target, far away: grows by at most the scale.
    const float ahead[2] = {400.0f, 500.0f};
    a.adjustVeloctiy2d(pos, vel, ahead, 1.5f, 0.0f, out);
    EXPECT_NEAR(std::hypot(out[0], out[1]), 7.5f, 1e-5f);
    // No motion, or already on the target: unchanged.
    const float still[2] = {0.0f, 0.0f};
    a.adjustVeloctiy2d(pos, still, ahead, 1.5f, 0.1f, out);
    EXPECT_EQ(out[0], 0.0f);
    a.adjustVeloctiy2d(pos, vel, pos, 1.5f, 0.1f, out);
    EXPECT_EQ(out[0], 3.0f);
}

TEST(PointerAlignment, BoundedGainsFollowTheRunningMeanOfFiniteValues)
{
    PointerAlignment a = make();
    const Quaternion q = aimedAt(0.0f, 0.0f);
    const float pos[2] = {440.0f, 360.0f};
    const float push[2] = {0.0f, 0.0f};
    const bool atBound[2] = {false, false};
    float gain[2] = {2000.0f, 2000.0f};
    for (int i = 1; i <= 100; ++i) {
        a.updateMap(q, pos, push, atBound, gain, false, 1000.0f + i, true);
        ASSERT_EQ(gain[0], 2000.0f) << i; // not trusted yet
    }
    a.updateMap(q, pos, push, atBound, gain, false, 1101.0f, true);
    EXPECT_EQ(a.filterCount(), 101u);
    EXPECT_NEAR(a.filterMean(), 1051.0f, 1e-2f);
    EXPECT_EQ(gain[0], a.filterMean());
    EXPECT_EQ(gain[1], a.filterMean());
    // An infinite value (a zero period upstream) does not reach the mean.
    const float mean = a.filterMean();
    float again[2] = {5.0f, 5.0f};
    a.updateMap(q, pos, push, atBound, again, false, std::numeric_limits<float>::infinity(), true);
    a.updateMap(q, pos, push, atBound, again, false, std::numeric_limits<float>::quiet_NaN(), true);
    EXPECT_EQ(a.filterMean(), mean);
    EXPECT_EQ(again[0], 5.0f);
    EXPECT_EQ(a.filterCount(), 101u);
    // A non-positive value is ignored as well.
    a.updateMap(q, pos, push, atBound, again, false, -3.0f, true);
    EXPECT_EQ(a.filterMean(), mean);
}

TEST(PointerAlignment, BoundedMapAnchorsAtThePointerAndMapsWithTheGains)
{
    PointerAlignment a = make();
    const float pos[2] = {300.0f, 200.0f};
    const float push[2] = {0.0f, 0.0f};
    const bool atBound[2] = {false, false};
    float gain[2] = {2000.0f, 1500.0f};
    a.updateMap(aimedAt(0.1f, 0.05f), pos, push, atBound, gain, false, 0.0f, false);
    // The anchoring orientation maps onto the pointer...
    float out[2];
    const Quaternion anchorQ = aimedAt(0.1f, 0.05f);
    ASSERT_TRUE(a.mapOrientationToScreen(anchorQ.e, out));
    EXPECT_NEAR(out[0], 300.0f, 0.05f);
    EXPECT_NEAR(out[1], 200.0f, 0.05f);
    // ... and turning by 0.01 rad moves the mapped point by the gain.
    const Quaternion turned = aimedAt(0.11f, 0.05f);
    ASSERT_TRUE(a.mapOrientationToScreen(turned.e, out));
    EXPECT_NEAR(out[0], 320.0f, 0.5f);
    EXPECT_NEAR(out[1], 200.0f, 0.5f);

    // Unset after a reset.
    a.resetAlignment();
    EXPECT_FALSE(a.mapOrientationToScreen(anchorQ.e, out));
}

TEST(PointerAlignment, BoundedMapReanchorsAfterAPushAgainstABoundAndBack)
{
    PointerAlignment a = make(800, 600);
    float gain[2] = {2000.0f, 2000.0f};
    const float pos[2] = {0.0f, 300.0f};
    const bool free[2] = {false, false};
    const bool atLeft[2] = {true, false};
    const float none[2] = {0.0f, 0.0f};
    a.updateMap(aimedAt(0.0f, 0.0f), pos, none, free, gain, false, 0.0f, true); // first call anchors
    const float anchorX = a.getState()->map[2];

    // Held at the left bound while the hand keeps turning left: 250 counts of
    // push (more than 800 / 4) re-anchor x when the pointer comes back.
    const float pushLeft[2] = {-50.0f, 0.0f};
    for (int i = 0; i < 5; ++i)
        a.updateMap(aimedAt(-0.02f * (i + 1), 0.0f), pos, pushLeft, atLeft, gain, false, 0.0f, true);
    EXPECT_EQ(a.getState()->map[2], anchorX); // still the old anchor
    // Off the bound the axis waits for the motion to turn (here back to the
    // left) and anchors there.
    const float back[2] = {10.0f, 0.0f};
    const float turn[2] = {-1.0f, 0.0f};
    a.updateMap(aimedAt(-0.1f, 0.0f), pos, back, free, gain, false, 0.0f, true);
    a.updateMap(aimedAt(-0.1f, 0.0f), pos, back, free, gain, false, 0.0f, true);
    EXPECT_EQ(a.getState()->map[2], anchorX);
    a.updateMap(aimedAt(-0.1f, 0.0f), pos, turn, free, gain, false, 0.0f, true);
    float out[2];
    const Quaternion now = aimedAt(-0.1f, 0.0f);
    ASSERT_TRUE(a.mapOrientationToScreen(now.e, out));
    EXPECT_NEAR(out[0], 0.0f, 0.5f); // the current aim is the pointer again

    // A short push (less than a quarter width) does not re-anchor.
    PointerAlignment b = make(800, 600);
    b.updateMap(aimedAt(0.0f, 0.0f), pos, none, free, gain, false, 0.0f, true);
    const float shortPush[2] = {-20.0f, 0.0f};
    for (int i = 0; i < 5; ++i)
        b.updateMap(aimedAt(-0.02f * (i + 1), 0.0f), pos, shortPush, atLeft, gain, false, 0.0f, true);
    b.updateMap(aimedAt(-0.1f, 0.0f), pos, back, free, gain, false, 0.0f, true);
    b.updateMap(aimedAt(-0.1f, 0.0f), pos, turn, free, gain, false, 0.0f, true);
    ASSERT_TRUE(b.mapOrientationToScreen(now.e, out));
    EXPECT_NEAR(out[0], -200.0f, 1.0f); // 0.1 rad x 2000 left of the old anchor
}

TEST(PointerAlignment, MaxErrorWeakensTheCorrectionNearTheTarget)
{
    PointerAlignment a = make(800, 600);
    float gain[2] = {2000.0f, 2000.0f};
    const float pos[2] = {400.0f, 300.0f};
    const float none[2] = {0.0f, 0.0f};
    const bool free[2] = {false, false};
    a.updateMap(aimedAt(0.0f, 0.0f), pos, none, free, gain, false, 0.0f, true);
    const bool noFlags[2] = {false, false};
    const float vel[2] = {10.0f, 0.0f};
    float out[2];
    // The first call has no error yet: with maxError 0.5 the correction is off.
    a.alignPointer(aimedAt(0.0f, 0.0f), pos, vel, 1.5f, 0.1f, 0.5f, noFlags, out);
    EXPECT_EQ(out[0], 10.0f);
    float error[2];
    a.getError(error);
    EXPECT_NEAR(error[0], -10.0f, 0.1f);
    // maxError 1e8 leaves scale and angle: a motion away from the aim turns
    // by the angle and shrinks by the scale.
    const float left[2] = {300.0f, 300.0f};
    const float away[2] = {-10.0f, 0.0f};
    a.alignPointer(aimedAt(0.0f, 0.0f), left, away, 1.5f, 0.1f, 1e8f, noFlags, out);
    EXPECT_NEAR(std::hypot(out[0], out[1]), 10.0f / 1.5f, 1e-3f);
    EXPECT_NEAR(std::fabs(std::atan2(out[1], out[0])), 3.14159265f - 0.1f, 1e-4f);
    // Flags pass the motion unchanged.
    const bool edge[2] = {true, false};
    a.alignPointer(aimedAt(0.0f, 0.0f), pos, vel, 1.5f, 0.1f, 1e8f, edge, out);
    EXPECT_EQ(out[0], 10.0f);
}

TEST(PointerAlignment, DirectAlignmentJumpsWhenTheErrorIsTooLarge)
{
    PointerAlignment a = make();
    const float target[3] = {500.0f, 0.0f, 400.0f};
    const float pos[2] = {100.0f, 100.0f};
    const float vel[2] = {1.0f, 1.0f};
    const bool noFlags[2] = {false, false};
    float out[2];
    a.alignPointerDirect(target, pos, vel, 1.2f, 0.1f, 50.0f, noFlags, out);
    EXPECT_EQ(out[0], 400.0f);
    EXPECT_EQ(out[1], 300.0f);
    float error[2];
    a.getError(error);
    EXPECT_EQ(error[0], 0.0f);
    a.alignPointerDirect(target, pos, vel, 1.2f, 0.1f, 1e6f, noFlags, out);
    EXPECT_LT(std::hypot(out[0], out[1]), 2.0f);
}

TEST(PointerAlignment, FirstLearnedSampleMapsThePointerWithTheFallbackGains)
{
    PointerAlignment a = make();
    const float pos[2] = {440.0f, 360.0f};
    const float zero[2] = {0.0f, 0.0f};
    const bool none[2] = {false, false};
    const float gain[2] = {2445.0f, 2445.0f};
    const Quaternion q = aimedAt(0.4f, 0.1f);
    a.updateMap(q, pos, zero, none, gain, false);
    float out[2];
    ASSERT_TRUE(a.mapOrientationToScreen(q.e, out));
    EXPECT_NEAR(out[0], 440.0f, 0.5f);
    EXPECT_NEAR(out[1], 360.0f, 0.5f);
    // 0.01 rad to the right moves the point by the fallback gain.
    const Quaternion right = aimedAt(0.41f, 0.1f);
    ASSERT_TRUE(a.mapOrientationToScreen(right.e, out));
    EXPECT_NEAR(out[0], 440.0f + 24.45f, 0.5f);
}

TEST(PointerAlignment, LearnedMapFitsSamplesAndReanchorsOntoTheTarget)
{
    PointerAlignment a = make();
    const float zero[2] = {0.0f, 0.0f};
    const bool none[2] = {false, false};
    const float gain[2] = {2445.0f, 2445.0f};
    // Level first, then steeply up: a fresh fitting episode without
    // re-centring.
    const float centre[2] = {440.0f, 360.0f};
    a.updateMap(aimedAt(0.0f, 0.0f), centre, zero, none, gain, false);
    const float pitch0 = 80.0f * kDegree;
    a.updateMap(aimedAt(0.0f, pitch0), centre, zero, none, gain, false);
    EXPECT_EQ(a.getState()->recentring, 0);
    // Samples spread over 4 degrees of yaw and pitch with a known relation.
    for (int i = 1; i <= 12; ++i) {
        const float dyaw = (i % 4 - 1.5f) * 6.0f * kDegree;
        const float dpitch = (i % 3 - 1.0f) * 2.0f * kDegree;
        const float pos[2] = {440.0f + 1000.0f * dyaw, 360.0f - 1000.0f * dpitch};
        a.updateMap(aimedAt(dyaw, pitch0 + dpitch), pos, zero, none, gain, false);
        if (a.getState()->established)
            break;
    }
    ASSERT_EQ(a.getState()->established, 1);
    EXPECT_EQ(a.getState()->spreadCheck, 0);

    // Following the pointer: the reference turns so that the orientation of
    // this call maps onto the target point.
    const Quaternion now = aimedAt(1.0f * kDegree, pitch0 + 1.0f * kDegree);
    const float pos[2] = {600.0f, 250.0f};
    const float delta[2] = {5.0f, -3.0f};
    const bool both[2] = {true, true};
    a.updateMap(now, pos, delta, both, gain, false);
    float out[2];
    ASSERT_TRUE(a.mapOrientationToScreen(now.e, out));
    EXPECT_NEAR(out[0], 605.0f, 0.5f);
    EXPECT_NEAR(out[1], 247.0f, 0.5f);
}

} // namespace
} // namespace vnx
