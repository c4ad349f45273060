#include "cursorBlocks/ButtonSuppression.h"

#include <gtest/gtest.h>

namespace vnx {
namespace {

constexpr std::uint32_t kPress = 1, kRelease = 2, kWheelUp = 4, kForce = 16;

ButtonSuppression::Config config(ButtonSuppression::ConfigPerEvent press,
                                 ButtonSuppression::ConfigPerEvent release = {16, 8},
                                 ButtonSuppression::ConfigPerEvent wheel = {37, 45})
{
    return ButtonSuppression::Config{{press, release, wheel, wheel}};
}

bool step(ButtonSuppression& b, std::uint32_t events, std::int16_t dx, std::int16_t dy,
          std::uint32_t elapsed = 1)
{
    const std::int16_t motion[2] = {dx, dy};
    bool suppress = true;
    b.process(elapsed, events, motion, suppress);
    return suppress;
}

// Calls (the event's call included) that stay suppressed with a constant
// motion per sample.
int suppressedCalls(ButtonSuppression& b, std::uint32_t event, std::int16_t dx, std::int16_t dy)
{
    int calls = 0;
    std::uint32_t events = event;
    while (calls < 1000 && step(b, events, dx, dy)) {
        ++calls;
        events = 0;
    }
    return calls;
}

TEST(ButtonSuppression, HoldsUntilTheTimeRunsOutOrTheHandLeavesTheRadius)
{
    struct Case
    {
        std::int16_t dx, dy;
        int calls;
    };
    // (47 samples, radius 35): still hand -> 47 calls; one count a sample
    // reaches 35 counts at the 35th; (3, 4) a sample reaches 35 at the 7th.
    const Case cases[] = {{0, 0, 47}, {1, 0, 34}, {0, -1, 34}, {3, 4, 6}, {40, 0, 0}};
    for (const Case& c : cases) {
        ButtonSuppression b;
        b.init(config({47, 35}));
        EXPECT_EQ(suppressedCalls(b, kPress, c.dx, c.dy), c.calls) << c.dx << "," << c.dy;
        EXPECT_EQ(b.remaining(), 0);
        EXPECT_FALSE(step(b, 0, 0, 0));
    }
}

TEST(ButtonSuppression, AccumulatedMotionRestartsWithEveryEvent)
{
    ButtonSuppression b;
    b.init(config({47, 35}));
    EXPECT_EQ(suppressedCalls(b, kPress, 1, 0), 34);
    // After the window ended, a new press starts from 0 again.
    EXPECT_EQ(suppressedCalls(b, kPress, 1, 0), 34);
    // A release inside an open window restarts the motion but keeps the
    // longer hold and the larger radius.
    ButtonSuppression c;
    c.init(config({47, 35}, {5, 8}));
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(step(c, i == 0 ? kPress : 0, 1, 0));
    EXPECT_EQ(suppressedCalls(c, kRelease, 1, 0), 27); // 28 - 1 left of the press, not 5 or 7
}

TEST(ButtonSuppression, TakesOnlyTheFirstEventOfACall)
{
    ButtonSuppression b;
    b.init(config({47, 35}, {10, 100}, {40, 100}));
    EXPECT_EQ(suppressedCalls(b, kRelease | kWheelUp, 0, 0), 10);
}

TEST(ButtonSuppression, ForcedSuppressionActsOnlyInItsOwnCall)
{
    ButtonSuppression b;
    b.init(config({47, 35}));
    EXPECT_TRUE(step(b, kForce, 100, 100));
    EXPECT_TRUE(step(b, kForce, -100, 50));
    EXPECT_FALSE(step(b, 0, 1, 1));
    EXPECT_EQ(b.remaining(), 0);
}

TEST(ButtonSuppression, ElapsedSamplesCountDownTheWindow)
{
    ButtonSuppression b;
    b.init(config({47, 35}));
    EXPECT_TRUE(step(b, kPress, 0, 0));
    EXPECT_TRUE(step(b, 0, 0, 0, 40));    // 7 left
    EXPECT_FALSE(step(b, 0, 0, 0, 1000)); // no wrap below zero
    EXPECT_FALSE(step(b, 0, 0, 0, 0));
    // Zero elapsed samples do not shorten the window.
    EXPECT_TRUE(step(b, kPress, 0, 0));
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(step(b, 0, 0, 0, 0));
}

TEST(ButtonSuppression, FastMotionEndsALargeRadiusWindow)
{
    // Radius 255: two samples of (127, 127) are 359 counts away, far outside.
    ButtonSuppression b;
    b.init(config({200, 255}));
    EXPECT_TRUE(step(b, kPress, 127, 127));
    EXPECT_FALSE(step(b, 0, 127, 127));
    EXPECT_FALSE(step(b, 0, 0, 0));
}

TEST(ButtonSuppression, InitClosesAnOpenWindow)
{
    ButtonSuppression b;
    b.init(config({47, 35}));
    EXPECT_TRUE(step(b, kPress, 0, 0));
    b.init(config({47, 35}));
    EXPECT_FALSE(step(b, 0, 0, 0));
}

} // namespace
} // namespace vnx
