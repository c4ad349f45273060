#include "cursorFilters/circularBacklash.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Backlash
{
    circularBacklash_state_s state{};
    Backlash(float magnitude, float period) { circularBacklash_init(&state, magnitude, period); }

    std::pair<float, float> step(float x, float y)
    {
        const float in[2] = {x, y};
        float out[2] = {-99.0f, -99.0f};
        circularBacklash_process(&state, in, out);
        return {out[0], out[1]};
    }
    float distance() const { return std::hypot(state.positionX, state.positionY); }
};

TEST(CircularBacklash, ASweepPassesOnceTheCircleIsTakenUp)
{
    Backlash b(0.005f, 0.01f);
    auto first = b.step(1.0f, 0.0f);
    EXPECT_NEAR(first.first, 0.5f, 1e-5f);
    EXPECT_EQ(first.second, 0.0f);
    EXPECT_NEAR(b.state.positionX, 0.005f, 1e-7f);
    for (int i = 0; i < 200; ++i) {
        auto out = b.step(1.0f, 0.0f);
        ASSERT_NEAR(out.first, 1.0f, 1e-4f) << i;
        ASSERT_EQ(out.second, 0.0f);
    }
}

TEST(CircularBacklash, JitterInsideTheCircleGivesNoOutput)
{
    Backlash b(0.005f, 0.01f);
    // +-0.2 rad/s alternating moves 2 mrad back and forth: inside 5 mrad.
    for (int i = 0; i < 5000; ++i) {
        const float x = (i % 2 == 0) ? 0.2f : -0.2f;
        const float y = (i % 4 < 2) ? 0.15f : -0.15f;
        auto out = b.step(x, y);
        ASSERT_EQ(out.first, 0.0f) << i;
        ASSERT_EQ(out.second, 0.0f) << i;
    }
}

TEST(CircularBacklash, AReversalCrossesTheCircleBeforeMoving)
{
    Backlash b(0.005f, 0.01f);
    for (int i = 0; i < 10; ++i)
        b.step(1.0f, 0.0f);
    // Back the other way at 0.1 rad/s (1 mrad a sample): 10 mrad of travel,
    // twice the magnitude, before anything passes.
    int silent = 0;
    for (int i = 0; i < 30; ++i) {
        auto out = b.step(-0.1f, 0.0f);
        if (out.first == 0.0f)
            ++silent;
        else
            EXPECT_LT(out.first, 0.0f);
    }
    EXPECT_GE(silent, 9);
    EXPECT_LE(silent, 10);
}

TEST(CircularBacklash, DiagonalMotionPassesAlongItsDirection)
{
    Backlash b(0.01f, 0.008f);
    std::pair<float, float> out{};
    for (int i = 0; i < 100; ++i)
        out = b.step(0.3f, -0.4f);
    EXPECT_NEAR(out.first, 0.3f, 1e-4f);
    EXPECT_NEAR(out.second, -0.4f, 1e-4f);
    EXPECT_NEAR(b.distance(), 0.01f, 1e-6f);
}

TEST(CircularBacklash, ZeroMagnitudePassesTheInputAndStillnessAsZero)
{
    Backlash b(0.0f, 0.01f);
    auto still = b.step(0.0f, 0.0f);
    EXPECT_EQ(still.first, 0.0f); // not 0 / 0
    EXPECT_EQ(still.second, 0.0f);
    auto moving = b.step(0.7f, -0.2f);
    EXPECT_NEAR(moving.first, 0.7f, 1e-5f);
    EXPECT_NEAR(moving.second, -0.2f, 1e-5f);
    EXPECT_EQ(b.distance(), 0.0f);
    auto stillAgain = b.step(0.0f, 0.0f);
    EXPECT_EQ(stillAgain.first, 0.0f);
    EXPECT_EQ(stillAgain.second, 0.0f);
}

TEST(CircularBacklash, LeakMovesThePositionTowardsTheCentre)
{
    struct Case
    {
        float amount;
        float distanceAfter;
    };
    for (const Case c : {Case{0.001f, 0.004f}, Case{0.005f, 0.0f}, Case{1.0f, 0.0f}, Case{0.0f, 0.005f},
                         Case{-0.01f, 0.005f}}) {
        Backlash b(0.005f, 0.01f);
        b.step(0.3f, 0.4f); // position (3, 4) mrad: on the circle
        circularBacklash_leak(&b.state, c.amount);
        EXPECT_NEAR(b.distance(), c.distanceAfter, 1e-7f) << c.amount;
        if (c.distanceAfter > 0.0f)
            EXPECT_NEAR(b.state.positionY / b.state.positionX, 4.0f / 3.0f, 1e-4f); // same direction
        else
            EXPECT_EQ(b.state.positionX, 0.0f);
    }
}

TEST(CircularBacklash, ShrinkingTheCircleKeepsThePositionInside)
{
    Backlash b(0.005f, 0.01f);
    b.step(0.5f, 0.0f); // on the edge, 5 mrad out
    circularBacklash_setMagnitudeTowardsPoint(&b.state, 0.002f);
    EXPECT_EQ(b.state.magnitude, 0.002f);
    EXPECT_NEAR(b.state.positionX, 0.002f, 1e-7f);
    // Growing it leaves the position where it is.
    circularBacklash_setMagnitudeTowardsPoint(&b.state, 0.008f);
    EXPECT_NEAR(b.state.positionX, 0.002f, 1e-7f);
    // Shrinking by more than the distance recentres.
    circularBacklash_setMagnitudeTowardsPoint(&b.state, 0.001f);
    EXPECT_EQ(b.state.positionX, 0.0f);
    circularBacklash_setMagnitude(&b.state, 0.004f);
    EXPECT_EQ(b.state.magnitude, 0.004f);
    b.step(0.3f, 0.0f);
    circularBacklash_reset(&b.state);
    EXPECT_EQ(b.distance(), 0.0f);
    EXPECT_EQ(b.state.magnitude, 0.004f);
    EXPECT_EQ(b.state.period, 0.01f);
}

} // namespace
