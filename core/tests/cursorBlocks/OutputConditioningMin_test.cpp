#include "cursorBlocks/OutputConditioningMin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vnx {
namespace {

constexpr float kCountsPerRadian = 1994.1073f;

struct Conditioner
{
    OutputConditioningMin conditioning;
    Conditioner() { conditioning.init(Fp32(1.0f)); }

    // One sample of rate (x, y) at the given gain parameter and sample count.
    OutputConditioningMin::Output run(float x, float y, float gainParameter, std::uint32_t count = 1,
                                      std::uint16_t flags = 0, float spread0 = 0.0f, float spread1 = 0.0f)
    {
        const Fp32 rate[2] = {Fp32(x), Fp32(y)};
        const Fp32 spread[2] = {Fp32(spread0), Fp32(spread1)};
        OutputConditioningMin::Output out{};
        conditioning.process(flags, Fp32(gainParameter), count, rate, spread, out);
        return out;
    }
};

// Gain parameter that turns a rate of 0.1 rad/s into `scaled` counts.
float gainFor(float scaled)
{
    return scaled / (0.1f * kCountsPerRadian);
}

TEST(OutputConditioningMin, CarriesFractionsToLaterSamples)
{
    Conditioner c;
    const float g = gainFor(0.4f);
    EXPECT_EQ(c.run(0.1f, 0.0f, g).countX, 0);
    EXPECT_EQ(c.run(0.1f, 0.0f, g).countX, 0);
    const auto third = c.run(0.1f, 0.0f, g);
    EXPECT_NEAR(third.scaledX, 0.4f, 1e-6f);
    EXPECT_EQ(third.countX, 1);
    EXPECT_NEAR(c.conditioning.residualX(), 0.2f, 1e-5f);
}

TEST(OutputConditioningMin, LimitsEachAxisTo127AndDropsTheExcess)
{
    struct Case
    {
        float scaled;
        std::int16_t count;
    };
    for (const Case& k : {Case{300.0f, 127}, Case{-300.0f, -127}, Case{127.5f, 127}}) {
        Conditioner c;
        const auto out = c.run(0.1f, 0.1f, gainFor(k.scaled));
        EXPECT_EQ(out.countX, k.count) << k.scaled;
        EXPECT_EQ(out.countY, k.count) << k.scaled;
        EXPECT_EQ(c.conditioning.residualX(), 0.0f) << k.scaled;
        EXPECT_EQ(c.conditioning.residualY(), 0.0f) << k.scaled;
    }
}

TEST(OutputConditioningMin, NegativeValuesCountTowardZero)
{
    struct Case
    {
        float scaled;
        std::int16_t count;
        float residual;
    };
    // floor plus one below zero: a negative whole number keeps one count back.
    const Case cases[] = {{-2.5f, -2, -0.5f}, {-2.0f, -1, -1.0f}, {-0.25f, 0, -0.25f}, {2.75f, 2, 0.75f}};
    for (const Case& k : cases) {
        Conditioner c;
        // Rate (0.1, 0): the y axis has no motion and keeps no fraction.
        const auto out = c.run(0.1f, 0.0f, gainFor(k.scaled));
        EXPECT_EQ(out.countX, k.count) << k.scaled;
        EXPECT_NEAR(c.conditioning.residualX(), k.residual, 1e-5f) << k.scaled;
        EXPECT_EQ(out.countY, 0);
    }
}

TEST(OutputConditioningMin, StillRatesGiveOnlyTheCarriedFraction)
{
    Conditioner c;
    const float g = gainFor(0.9f);
    EXPECT_EQ(c.run(0.1f, 0.0f, g).countX, 0); // 0.9 carried
    // |rate| of 0.02 rad/s or less is still without the nonlinear gain.
    const auto still = c.run(0.012f, 0.0155f, 10.0f);
    EXPECT_EQ(still.scaledX, 0.0f);
    EXPECT_EQ(still.scaledY, 0.0f);
    EXPECT_EQ(still.countX, 0);
    EXPECT_NEAR(c.conditioning.residualX(), 0.9f, 1e-5f);
    // Just above the threshold the gain is linear.
    const auto moving = c.run(0.0201f, 0.0f, 1.0f);
    EXPECT_NEAR(moving.scaledX, 0.0201f * kCountsPerRadian, 1e-3f);
}

TEST(OutputConditioningMin, SampleCountZeroMovesNothingAndLargeCountsActAsOne)
{
    Conditioner a;
    const auto none = a.run(0.5f, -0.5f, 0.01f, 0);
    EXPECT_EQ(none.scaledX, 0.0f);
    EXPECT_EQ(none.countX, 0);
    EXPECT_EQ(none.countY, 0);

    Conditioner one, five;
    for (int i = 0; i < 10; ++i) {
        const auto o1 = one.run(0.3f, -0.2f, 0.008f, 1);
        const auto o5 = five.run(0.3f, -0.2f, 0.008f, 5);
        EXPECT_EQ(o1.countX, o5.countX);
        EXPECT_EQ(o1.countY, o5.countY);
    }
}

TEST(OutputConditioningMin, PointerScaleAndSpreadScaleWithTheGain)
{
    Conditioner c;
    c.conditioning.setPointerScaleFactor(Fp32(2.0f));
    const auto out = c.run(0.1f, -0.2f, 0.01f, 1, 0, 0.03f, 0.04f);
    const float k = 0.01f * kCountsPerRadian * 2.0f;
    EXPECT_NEAR(out.scaledX, 0.1f * k, 1e-4f);
    EXPECT_NEAR(out.scaledY, -0.2f * k, 1e-4f);
    EXPECT_NEAR(out.scaledSpread0, 0.03f * k, 1e-4f);
    EXPECT_NEAR(out.scaledSpread1, 0.04f * k, 1e-4f);
    EXPECT_EQ(out.countX, 3);  // 3.988
    EXPECT_EQ(out.countY, -7); // -7.976
}

TEST(OutputConditioningMin, NonlinearGainRisesSmoothlyFromStillToFull)
{
    EXPECT_EQ(OutputConditioningMin::nonlinearFactor(0.0004f), 0.0f);
    EXPECT_EQ(OutputConditioningMin::nonlinearFactor(0.0f), 0.0f);
    // The three pieces meet at 0.1392 and 0.1457 rad/s.
    for (float r : {0.1392f, 0.1457f}) {
        const float below = OutputConditioningMin::nonlinearFactor((r - 1e-5f) * (r - 1e-5f));
        const float above = OutputConditioningMin::nonlinearFactor((r + 1e-5f) * (r + 1e-5f));
        EXPECT_NEAR(below, above, 1e-3f) << r;
    }
    float previous = 0.0f;
    for (float r = 0.0201f; r < 3.0f; r += 0.0005f) {
        const float n = OutputConditioningMin::nonlinearFactor(r * r);
        EXPECT_GE(n, previous) << r;
        EXPECT_LT(n, 1.0f) << r;
        previous = n;
    }
    EXPECT_NEAR(OutputConditioningMin::nonlinearFactor(4.0f), 1.0f - 0.02f / 2.0f, 1e-6f);

    // With the flag, the gain is G x N(r).
    Conditioner c;
    const auto out = c.run(0.3f, 0.4f, 0.01f, 1, OutputConditioningMin::kNonlinearGain);
    const float k = 0.01f * kCountsPerRadian * (1.0f - 0.02f / 0.5f);
    EXPECT_NEAR(out.scaledX, 0.3f * k, 1e-4f);
    // ... and a slow rate that the linear gain would move is held back.
    Conditioner slow;
    const auto held = slow.run(0.021f, 0.0f, 0.01f, 1, OutputConditioningMin::kNonlinearGain);
    EXPECT_LT(held.scaledX, 0.021f * 0.01f * kCountsPerRadian * 0.05f);
}

TEST(OutputConditioningMin, ANaNSampleDoesNotFreezeTheAxis)
{
    Conditioner c;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Fp32 rate[2] = {Fp32::raw(nan), Fp32(0.1f)};
    const Fp32 spread[2] = {Fp32(0.0f), Fp32(0.0f)};
    OutputConditioningMin::Output out{};
    c.conditioning.process(0, Fp32(0.01f), 1, rate, spread, out);
    EXPECT_EQ(out.countX, 0);
    EXPECT_EQ(c.conditioning.residualX(), 0.0f);
    const auto next = c.run(0.3f, 0.0f, 0.01f);
    EXPECT_EQ(next.countX, 5); // 5.98: the axis moves again
}

TEST(OutputConditioningMin, InitClearsTheResiduals)
{
    Conditioner c;
    c.run(0.1f, 0.1f, gainFor(0.7f));
    EXPECT_GT(c.conditioning.residualX(), 0.5f);
    c.conditioning.init(Fp32(3.0f));
    EXPECT_EQ(c.conditioning.residualX(), 0.0f);
    EXPECT_EQ(c.conditioning.residualY(), 0.0f);
    EXPECT_EQ(c.conditioning.pointerScaleFactor().value(), 3.0f);
}

} // namespace
} // namespace vnx
