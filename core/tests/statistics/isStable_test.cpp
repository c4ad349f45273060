#include "statistics/IsStable.h"

#include <gtest/gtest.h>

#include "statistics/IsStableMultiRate.h"

namespace vnx {
namespace {

using Fp = FloatingPoint<float>;
using Vec3 = qdVectorFixed::vector<Fp, 3>;

TEST(IsStable, SixtySecondsAt125HzNeed7500StillSamples)
{
    IsStable s;
    s.init(Fp(125.0f), 60);
    EXPECT_EQ(s.requiredCount(), 7500u);
    EXPECT_EQ(s.maximumGap(), 375u);
    bool stable = true;
    for (int k = 1; k < 7500; ++k) {
        s.process(1, 1, 0, 0, &stable);
        ASSERT_FALSE(stable) << k;
    }
    s.process(1, 1, 0, 0, &stable);
    EXPECT_TRUE(stable);
    EXPECT_TRUE(s.getIsStable());
}

TEST(IsStable, EitherMovingFlagRestartsTheCount)
{
    for (const auto& flags : {std::pair<std::int16_t, std::int16_t>{1, 0}, {0, 1}, {-1, -1}}) {
        IsStable s;
        s.init(Fp(125.0f), 1);
        bool stable = false;
        for (int k = 0; k < 200; ++k)
            s.process(1, 1, 0, 0, &stable);
        ASSERT_TRUE(stable);
        s.process(1, 1, flags.first, flags.second, &stable);
        EXPECT_FALSE(stable);
        EXPECT_EQ(s.counter(), 0u);
    }
}

TEST(IsStable, SampleStepsAddOneForNeighboursAndNothingForLongerGaps)
{
    struct Case
    {
        std::uint32_t step;
        std::uint32_t counterAfter; // from 10
    };
    for (const Case& c : {Case{1, 11}, Case{2, 11}, Case{3, 10}, Case{375, 10}, Case{0, 0}}) {
        IsStable s;
        s.init(Fp(125.0f), 60);
        bool stable = false;
        for (int k = 0; k < 10; ++k)
            s.process(1, 1, 0, 0, &stable);
        s.process(c.step, 1, 0, 0, &stable);
        EXPECT_EQ(s.counter(), c.counterAfter) << c.step;
    }
}

// A zero step with a zero unit would divide by zero; it restarts instead.
TEST(IsStable, ZeroStepWithZeroUnitRestarts)
{
    IsStable s;
    s.init(Fp(125.0f), 60);
    bool stable = true;
    s.process(1, 1, 0, 0, &stable);
    s.process(0, 0, 0, 0, &stable);
    EXPECT_EQ(s.counter(), 0u);
    EXPECT_FALSE(stable);
}

TEST(IsStable, InitAgainRestartsTheCount)
{
    IsStable s;
    s.init(Fp(125.0f), 60);
    bool stable = false;
    for (int k = 0; k < 100; ++k)
        s.process(1, 1, 0, 0, &stable);
    s.init(Fp(50.0f), 2);
    EXPECT_EQ(s.counter(), 0u);
    EXPECT_EQ(s.requiredCount(), 100u);
    EXPECT_EQ(s.maximumGap(), 5u);
}

TEST(IsStable, UnknownRateDoesNotOverflowTheRequiredCount)
{
    IsStable s;
    s.init(Fp(2147483648.0f), 60);
    EXPECT_EQ(s.requiredCount(), 0xFFFFFFFFu);
}

TEST(IsStableMultiRate, FifteenSecondsOf8msStepsRaiseTheEventAtStep1875)
{
    IsStableMultiRate s;
    s.init(15, Fp(0.02f));
    const Vec3 quiet{Fp(0.0199f), Fp(-0.0199f), Fp(0.0f)};
    bool event = true;
    for (int k = 1; k < 1875; ++k) {
        s.process(8000, quiet, &event);
        ASSERT_FALSE(event) << k;
    }
    s.process(8000, quiet, &event);
    EXPECT_TRUE(event);
    // The accumulated time stops at the required time.
    for (int k = 0; k < 100; ++k)
        s.process(8000, quiet, &event);
    EXPECT_EQ(s.accumulatedS(), 15.0f);
    EXPECT_TRUE(event);
}

TEST(IsStableMultiRate, MotionLongGapsAndMissingValuesRestart)
{
    const float unknown = -2147483648.0f;
    struct Case
    {
        const char* what;
        std::uint32_t elapsedUs;
        Vec3 v;
        bool restarts;
    };
    const Case cases[] = {
        {"quiet", 8000, {Fp(0.01f), Fp(0.01f), Fp(0.01f)}, false},
        {"longest gap", 250000, {Fp(0.0f), Fp(0.0f), Fp(0.0f)}, false},
        {"gap too long", 250001, {Fp(0.0f), Fp(0.0f), Fp(0.0f)}, true},
        {"at threshold", 8000, {Fp(0.0f), Fp(-0.02f), Fp(0.0f)}, true},
        {"missing value", 8000, {Fp(0.0f), Fp(unknown), Fp(0.0f)}, true},
    };
    for (const Case& c : cases) {
        IsStableMultiRate s;
        s.init(15, Fp(0.02f));
        bool event = false;
        s.process(8000, Vec3{}, &event);
        s.process(c.elapsedUs, c.v, &event);
        EXPECT_EQ(s.accumulatedS() == 0.0f, c.restarts) << c.what;
        EXPECT_FALSE(event) << c.what;
    }
}

TEST(IsStableMultiRate, ZeroRequiredTimeIsStableEvenWhileMoving)
{
    IsStableMultiRate s;
    s.init(0, Fp(0.02f));
    bool event = false;
    s.process(8000, Vec3{Fp(5.0f), Fp(5.0f), Fp(5.0f)}, &event);
    EXPECT_TRUE(event);
    EXPECT_TRUE(s.getIsStable());
}

} // namespace
} // namespace vnx
