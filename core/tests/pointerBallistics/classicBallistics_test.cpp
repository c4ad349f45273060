#include "pointerBallistics/PointerBallisticsOrig.h"
#include "pointerBallistics/classicBallistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace vnx {
namespace {

zephraAlg_ballisticsState_s freshState(int postGain)
{
    zephraAlg_ballisticsState_s s;
    zephraAlg_initBallisticsState(&s);
    zephraAlg_setBallisticsPostgain(&s, postGain);
    return s;
}

std::vector<int> xsOf(zephraAlg_ballisticsState_s& s, int dx, int samples)
{
    std::vector<int> xs;
    for (int i = 0; i < samples; ++i) {
        int x = -99, y = -99;
        zephraAlg_applyBallistics(&s, dx, 0, &x, &y);
        EXPECT_EQ(y, 0);
        xs.push_back(x);
    }
    return xs;
}

TEST(ClassicBallistics, InitialState)
{
    zephraAlg_ballisticsState_s s{1, 2, 3};
    zephraAlg_initBallisticsState(&s);
    EXPECT_EQ(s.accumulatorX, 64);
    EXPECT_EQ(s.accumulatorY, 64);
    EXPECT_EQ(s.postGain, 138);
}

TEST(ClassicBallistics, PostGainIsLimited)
{
    struct Case
    {
        int requested, stored;
    };
    for (const Case c : {Case{1000, 650}, Case{-1000, -374}, Case{650, 650}, Case{-374, -374}, Case{0, 0},
                         Case{200, 200}, Case{2147483647, 650}, Case{-2147483647 - 1, -374}}) {
        zephraAlg_ballisticsState_s s = freshState(c.requested);
        EXPECT_EQ(s.postGain, c.stored) << c.requested;
        EXPECT_EQ(s.accumulatorX, 64); // only the post-gain changes
    }
}

TEST(ClassicBallistics, SlowMotionMovesByItsMultiplierInSteps)
{
    zephraAlg_ballisticsState_s s = freshState(128);
    // 91/128 of a count per sample: 155 >> 7, 246 >> 7, 337 >> 7.
    EXPECT_EQ(xsOf(s, 1, 3), (std::vector<int>{1, 0, 1}));
    zephraAlg_ballisticsState_s back = freshState(128);
    EXPECT_EQ(xsOf(back, -1, 1), (std::vector<int>{-1})); // -27 >> 7 rounds down
    EXPECT_EQ(back.accumulatorX, -27);
}

TEST(ClassicBallistics, NoMotionLeavesTheAccumulators)
{
    zephraAlg_ballisticsState_s s = freshState(650);
    EXPECT_EQ(xsOf(s, 0, 5), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(s.accumulatorX, 64);
    EXPECT_EQ(s.accumulatorY, 64);
}

TEST(ClassicBallistics, FastMotionUsesTheLastMultiplier)
{
    struct Case
    {
        int dx, dy;
        int multiplier;
    };
    // Integer speeds 5, 10, 50, 193 and beyond; 60000 squares past 2^31.
    const Case cases[] = {{3, 4, 132},     {6, 8, 170},          {30, 40, 362},  {200, 0, 413},
                          {0, -1000, 413}, {60000, -60000, 413}, {46341, 0, 413}};
    for (const Case& c : cases) {
        zephraAlg_ballisticsState_s s = freshState(128);
        int x, y;
        zephraAlg_applyBallistics(&s, c.dx, c.dy, &x, &y);
        EXPECT_EQ(s.accumulatorX, 64 + c.dx * c.multiplier) << c.dx << "," << c.dy;
        EXPECT_EQ(s.accumulatorY, 64 + c.dy * c.multiplier) << c.dx << "," << c.dy;
        EXPECT_EQ(x, (64 + c.dx * c.multiplier) >> 7);
        EXPECT_EQ(y, (64 + c.dy * c.multiplier) >> 7);
    }
}

TEST(ClassicBallistics, MultiplierTableRisesToItsLastEntry)
{
    EXPECT_EQ(multiplierLookupTable[0], 0);
    EXPECT_EQ(multiplierLookupTable[1], 91);
    EXPECT_EQ(multiplierLookupTable[10], 170);
    EXPECT_EQ(multiplierLookupTable[50], 362);
    EXPECT_EQ(multiplierLookupTable[193], 413);
    for (int i = 1; i <= 193; ++i)
        EXPECT_GE(multiplierLookupTable[i], multiplierLookupTable[i - 1]) << i;
    for (int i = 194; i < 256; ++i)
        EXPECT_EQ(multiplierLookupTable[i], 0) << i;
}

TEST(ClassicBallistics, OutputsAddUpToTheWholePartOfTheAccumulatedMotion)
{
    // Over a long run of mixed motion nothing is lost or invented: the sum of
    // the outputs is the change of the accumulator's whole part.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> motion(-40, 40);
    for (int postGain : {-374, -20, 90, 128, 650}) {
        zephraAlg_ballisticsState_s s = freshState(postGain);
        long long sumX = 0, sumY = 0, exactX = 64, exactY = 64;
        for (int i = 0; i < 20000; ++i) {
            const int dx = motion(rng), dy = motion(rng);
            const int speed = static_cast<int>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
            const int multiplier = (postGain * multiplierLookupTable[speed]) >> 7;
            exactX += static_cast<long long>(dx) * multiplier;
            exactY += static_cast<long long>(dy) * multiplier;
            int x, y;
            zephraAlg_applyBallistics(&s, dx, dy, &x, &y);
            sumX += x;
            sumY += y;
        }
        EXPECT_EQ(s.accumulatorX, exactX) << postGain;
        auto wholePart = [](long long v) { return v >= 0 ? v / 128 : -((-v + 127) / 128); };
        EXPECT_EQ(sumX, wholePart(exactX) - 0) << postGain;
        EXPECT_EQ(sumY, wholePart(exactY) - 0) << postGain;
    }
}

TEST(ClassicBallistics, AccumulatorsWrapWithoutLosingTheStep)
{
    zephraAlg_ballisticsState_s s = freshState(650);
    s.accumulatorX = 2147483647 - 100;
    const int before = s.accumulatorX >> 7;
    int x, y;
    zephraAlg_applyBallistics(&s, 127, 0, &x, &y);
    // The accumulator wraps to a negative value; the output is the difference
    // of the whole parts, as the wrap defines it.
    EXPECT_LT(s.accumulatorX, 0);
    EXPECT_EQ(x, (s.accumulatorX >> 7) - before);
}

TEST(PointerBallisticsOrig, InitSetsUnityPostGainAndHalfCountAccumulators)
{
    PointerBallisticsOrig b;
    b.setScreenHeight(2000);
    b.init();
    EXPECT_EQ(b.ballisticsState().postGain, 128);
    EXPECT_EQ(b.ballisticsState().accumulatorX, 64);
    EXPECT_EQ(b.ballisticsState().accumulatorY, 64);
}

TEST(PointerBallisticsOrig, GainChangesReachThePostGain)
{
    struct Case
    {
        float scale;
        int postGain;
    };
    for (const Case c :
         {Case{2.0f, 256}, Case{1.3f, 166}, Case{10.0f, 650}, Case{-5.0f, -374}, Case{1e30f, 650}}) {
        PointerBallisticsOrig b;
        b.init();
        b.setPointerScaleFactor(Fp32(c.scale));
        EXPECT_EQ(b.ballisticsState().postGain, c.postGain) << c.scale;
    }
    PointerBallisticsOrig b;
    b.init();
    b.setScreenHeight(1080); // 1.5 x 128 = 192
    EXPECT_EQ(b.ballisticsState().postGain, 192);
}

TEST(PointerBallisticsOrig, ConditionsThenAppliesTheTable)
{
    PointerBallisticsOrig b;
    b.init();
    const Fp32 delta[2] = {Fp32(0.5f), Fp32(-0.25f)};
    const Fp32 reference[2] = {Fp32(0.0f), Fp32(0.0f)};
    int sumX = 0, sumY = 0;
    for (int i = 0; i < 100; ++i) {
        int out[2];
        float gainOut = 0.0f;
        EXPECT_EQ(b.process(Fp32(0.008f), 1, delta, reference, out, &gainOut), 0);
        EXPECT_EQ(gainOut, 1.0f);
        sumX += out[0];
        sumY += out[1];
    }
    // 0.5 rad/s over 0.8 s, with the nonlinear conditioning and a table
    // multiplier above 1 at these speeds: well over the linear 797 counts.
    EXPECT_GT(sumX, 797);
    EXPECT_LT(sumY, -398);
    EXPECT_NEAR(static_cast<double>(sumX) / sumY, -2.0, 0.1);

    int out[2];
    float gainOut = 0.0f;
    b.process(Fp32(0.008f), 0, delta, reference, out, &gainOut);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(gainOut, 1.0f);
}

} // namespace
} // namespace vnx
