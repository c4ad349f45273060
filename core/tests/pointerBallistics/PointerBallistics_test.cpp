#include "pointerBallistics/PointerBallistics.h"
#include "pointerBallistics/PointerBallisticsTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace vnx {
namespace {

std::vector<int> runBase(PointerBallistics& b, float dx, int samples, unsigned sampleStep = 1)
{
    std::vector<int> xs;
    const Fp32 delta[2] = {Fp32(dx), Fp32(0.0f)};
    const Fp32 reference[2] = {};
    for (int i = 0; i < samples; ++i) {
        int out[2] = {-99, -99};
        float gainOut = -7.0f;
        EXPECT_EQ(b.process(Fp32(0.008f), sampleStep, delta, reference, out, &gainOut), 0);
        EXPECT_EQ(gainOut, -7.0f); // the base does not report a gain
        EXPECT_EQ(out[1], 0);
        xs.push_back(out[0]);
    }
    return xs;
}

TEST(PointerBallistics, GainIsScreenTimesBaselineTimesPointerScale)
{
    PointerBallistics b;
    EXPECT_EQ(b.getGain(), 1.0f);
    b.setScreenHeight(1440);
    EXPECT_FLOAT_EQ(b.getScreenSizeGain(), 2.0f);
    EXPECT_FLOAT_EQ(b.getGain(), 2.0f);
    b.setBaselineGain(1.5f);
    b.setPointerScaleFactor(Fp32(0.5f));
    EXPECT_FLOAT_EQ(b.getGain(), 1.5f);
    b.init();
    EXPECT_EQ(b.getGain(), 1.0f);
    EXPECT_EQ(b.getPointerScaleFactor().value(), 1.0f);
    EXPECT_EQ(b.getScreenSizeGain(), 1.0f);
}

TEST(PointerBallistics, FractionsCarryOverTowardZero)
{
    PointerBallistics up, down;
    EXPECT_EQ(runBase(up, 0.5f, 6), (std::vector<int>{0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(runBase(down, -0.5f, 6), (std::vector<int>{0, -1, 0, -1, 0, -1}));
    PointerBallistics third;
    third.setScreenHeight(240); // gain 1/3
    EXPECT_EQ(runBase(third, 1.0f, 6), (std::vector<int>{0, 0, 1, 0, 0, 1}));
}

TEST(PointerBallistics, SampleStepZeroMovesNothingAndKeepsTheFraction)
{
    PointerBallistics b;
    EXPECT_EQ(runBase(b, 0.75f, 1), (std::vector<int>{0}));
    EXPECT_EQ(runBase(b, 0.75f, 3, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_FLOAT_EQ(b.residualX(), 0.75f);
    EXPECT_EQ(runBase(b, 0.75f, 1, 5), (std::vector<int>{1})); // 5 acts as 1
}

TEST(PointerBallistics, QuantisationSaturatesAndDropsUnusableFractions)
{
    struct Case
    {
        float value;
        int expected;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {1e10f, std::numeric_limits<int>::max()},
        {-1e10f, std::numeric_limits<int>::min()},
        {nan, 0},
        {inf, std::numeric_limits<int>::max()},
        {-2.75f, -2},
    };
    for (const Case& c : cases) {
        PointerBallistics b;
        const float v[2] = {c.value, 0.25f};
        int out[2];
        b.quantizeWithGain(v, out);
        EXPECT_EQ(out[0], c.expected) << c.value;
        EXPECT_EQ(out[1], 0);
        const bool small = c.value == -2.75f;
        EXPECT_FLOAT_EQ(b.residualX(), small ? -0.75f : 0.0f) << c.value;
        EXPECT_FLOAT_EQ(b.residualY(), 0.25f);
    }
}

TEST(PointerBallistics, SpeedIsTheLengthOfTheMotion)
{
    const Fp32 v[2] = {Fp32(3.0f), Fp32(-4.0f)};
    EXPECT_EQ(PointerBallistics::computeSpeed(v), 5.0f);
}

struct TableRun
{
    int out[2];
    float gainOut;
};

TableRun runTable(PointerBallisticsTable& t, float dx, float dy, unsigned sampleStep, float dt = 0.01f)
{
    const Fp32 delta[2] = {Fp32(dx), Fp32(dy)};
    const Fp32 reference[2] = {Fp32(100.0f), Fp32(100.0f)};
    TableRun r{{-99, -99}, -1.0f};
    EXPECT_EQ(t.process(Fp32(dt), sampleStep, delta, reference, r.out, &r.gainOut), 0);
    return r;
}

TEST(PointerBallisticsTable, MovesByTheCurveGainTimesTheOverallGain)
{
    PointerBallisticsTable t;
    t.setToCurve(PointerBallisticsCurve::Linear);
    t.setScreenHeight(1440);
    // g = 0.01 x 1994.1073; counts = 0.3 x g x 2 = 11.96.
    const TableRun r = runTable(t, 0.3f, -0.1f, 1);
    EXPECT_EQ(r.out[0], 11);
    EXPECT_EQ(r.out[1], -3); // -3.99
    EXPECT_FLOAT_EQ(r.gainOut, 2.0f * 19.941073f);
    EXPECT_NEAR(t.residualX(), 0.9646f, 1e-3f);
}

TEST(PointerBallisticsTable, SampleStepScalesOnlyBelowTwo)
{
    PointerBallisticsTable t;
    const TableRun none = runTable(t, 0.3f, 0.4f, 0);
    EXPECT_EQ(none.out[0], 0);
    EXPECT_EQ(none.out[1], 0);
    EXPECT_EQ(none.gainOut, 0.0f);

    PointerBallisticsTable one, five;
    for (int i = 0; i < 20; ++i) {
        const TableRun a = runTable(one, 0.03f * i, -0.02f * i, 1);
        const TableRun b = runTable(five, 0.03f * i, -0.02f * i, 5);
        EXPECT_EQ(a.out[0], b.out[0]);
        EXPECT_EQ(a.out[1], b.out[1]);
        EXPECT_EQ(a.gainOut, b.gainOut);
    }
}

TEST(PointerBallisticsTable, SlowMotionBelowTheDeadZoneDoesNotMove)
{
    PointerBallisticsTable t; // Approved, dead zone 0.02 rad/s
    for (int i = 0; i < 500; ++i) {
        const TableRun r = runTable(t, 0.012f, 0.015f, 1);
        ASSERT_EQ(r.out[0], 0);
        ASSERT_EQ(r.out[1], 0);
    }
}

TEST(PointerBallisticsTable, CurveAndFactorsChangeWithoutClearingTheFraction)
{
    PointerBallisticsTable t;
    t.setToCurve(PointerBallisticsCurve::Linear);
    runTable(t, 0.02f, 0.0f, 1); // 0.398 counts
    const float residual = t.residualX();
    EXPECT_GT(residual, 0.3f);
    t.setToCurve(PointerBallisticsCurve::Experimental);
    t.setPointerScaleFactor(Fp32(2.0f));
    EXPECT_EQ(t.residualX(), residual);
    t.init();
    EXPECT_EQ(t.residualX(), 0.0f);
    EXPECT_STREQ(t.curve().getName(), "Experimental"); // init keeps the curve
}

} // namespace
} // namespace vnx
