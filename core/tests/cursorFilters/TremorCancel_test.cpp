#include "cursorFilters/TremorCancel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace vnx {
namespace {

constexpr float kPeriod = 0.008f;
constexpr double kTwoPi = 6.283185307179586;

struct Pair
{
    float x, y;
};

Pair step(TremorCancel& t, float x, float y, std::uint32_t sampleStep = 1)
{
    const Fp32 in[2] = {Fp32(x), Fp32(y)};
    Fp32 out[2];
    t.process(in, sampleStep, out);
    return {out[0].value(), out[1].value()};
}

// Slow voluntary motion on x, a different one on y, with tremor on both.
Pair handRate(int i)
{
    const double t = i * kPeriod;
    return {static_cast<float>(0.4 * std::sin(kTwoPi * 0.3 * t) + 0.15 * std::sin(kTwoPi * 9.0 * t)),
            static_cast<float>(-0.2 + 0.1 * std::sin(kTwoPi * 9.0 * t + 1.0))};
}

bool sameState(const TremorCancel::State& a, const TremorCancel::State& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(TremorCancel, GapLimitIsTheSamplesInFiftyMilliseconds)
{
    struct Case
    {
        float period;
        std::int32_t gapLimit;
    };
    const Case cases[] = {{0.008f, 6},  {0.01f, 5}, {0.004f, 13},
                          {0.001f, 50}, {0.2f, 0},  {0.0f, std::numeric_limits<std::int32_t>::max()}};
    for (const Case& c : cases) {
        TremorCancel t;
        t.init(Fp32(c.period));
        EXPECT_EQ(t.gapLimit(), c.gapLimit) << c.period;
        EXPECT_EQ(t.period(), c.period);
    }
}

TEST(TremorCancel, TremorModelIsADampedNineHertzOscillation)
{
    for (float period : {0.004f, 0.008f, 0.016f}) {
        TremorCancel::Constants k;
        k.update(Fp32(period));
        // Poles of z^2 - a1 z - a2: radius e^(-4T), angle 2 pi 9 Hz T.
        const double radius = std::sqrt(-k.c[1]);
        EXPECT_NEAR(radius, std::exp(-4.0 * period), 1e-6) << period;
        EXPECT_NEAR(std::acos(k.c[0] / (2.0 * radius)), kTwoPi * 9.0 * period, 1e-4) << period;
        EXPECT_NEAR(k.c[39], 4.0f * period, 1e-7f);
        EXPECT_EQ(k.c[37], 5.23598f);
        EXPECT_EQ(k.c[3], 1.0f);  // P0[0][0]
        EXPECT_EQ(k.c[27], 0.1f); // P0[4][4]
    }
}

TEST(TremorCancel, RemovesTremorAndKeepsTheVoluntaryMotion)
{
    TremorCancel t;
    t.init(Fp32(kPeriod));
    double tremorIn = 0.0, tremorOut = 0.0, trackingError = 0.0;
    int counted = 0;
    for (int i = 0; i < 2500; ++i) { // 20 s
        const Pair in = handRate(i);
        const Pair out = step(t, in.x, in.y);
        if (i < 500)
            continue; // let the filter settle
        const double time = i * kPeriod;
        const double voluntaryX = 0.4 * std::sin(kTwoPi * 0.3 * time);
        tremorIn += (in.x - voluntaryX) * (in.x - voluntaryX);
        tremorOut += (out.x - voluntaryX) * (out.x - voluntaryX);
        trackingError = std::fmax(trackingError, std::fabs(out.y + 0.2));
        ++counted;
    }
    const double rmsIn = std::sqrt(tremorIn / counted), rmsOut = std::sqrt(tremorOut / counted);
    EXPECT_NEAR(rmsIn, 0.15 / std::sqrt(2.0), 1e-3);
    EXPECT_LT(rmsOut, 0.5 * rmsIn);
    EXPECT_LT(trackingError, 0.1);
}

TEST(TremorCancel, SteadyRateWithoutTremorPassesUnchanged)
{
    TremorCancel t;
    t.init(Fp32(kPeriod));
    Pair out{};
    for (int i = 0; i < 1000; ++i)
        out = step(t, 0.8f, -1.5f);
    EXPECT_NEAR(out.x, 0.8f, 1e-3f);
    EXPECT_NEAR(out.y, -1.5f, 1e-3f);
}

TEST(TremorCancel, AGapLongerThanFiftyMillisecondsRestartsBothFilters)
{
    TremorCancel warmed, fresh, shortGap;
    warmed.init(Fp32(kPeriod));
    fresh.init(Fp32(kPeriod));
    shortGap.init(Fp32(kPeriod));
    for (int i = 0; i < 300; ++i) {
        const Pair in = handRate(i);
        step(warmed, in.x, in.y);
        step(shortGap, in.x, in.y);
    }
    const Pair afterGap = step(warmed, 0.3f, 0.2f, 7);
    const Pair restarted = step(fresh, 0.3f, 0.2f, 1);
    EXPECT_EQ(afterGap.x, restarted.x);
    EXPECT_EQ(afterGap.y, restarted.y);
    EXPECT_TRUE(sameState(warmed.stateX(), fresh.stateX()));
    EXPECT_TRUE(sameState(warmed.stateY(), fresh.stateY()));

    // Six samples (48 ms) is no gap: the filter goes on.
    step(shortGap, 0.3f, 0.2f, 6);
    EXPECT_FALSE(sameState(shortGap.stateX(), fresh.stateX()));
    // The sample counter's restart value counts as a gap.
    step(shortGap, 0.3f, 0.2f, 0xFFFFFFFFu);
    TremorCancel again;
    again.init(Fp32(kPeriod));
    step(again, 0.3f, 0.2f, 1);
    EXPECT_TRUE(sameState(shortGap.stateX(), again.stateX()));
}

TEST(TremorCancel, SampleStepZeroRunsANormalStep)
{
    TremorCancel a, b;
    a.init(Fp32(kPeriod));
    b.init(Fp32(kPeriod));
    for (int i = 0; i < 100; ++i) {
        const Pair in = handRate(i);
        const Pair oa = step(a, in.x, in.y, 0);
        const Pair ob = step(b, in.x, in.y, 1);
        ASSERT_EQ(oa.x, ob.x);
        ASSERT_EQ(oa.y, ob.y);
    }
}

TEST(TremorCancel, LargeRatesBypassTheFilterAndRestartIt)
{
    for (float big : {5.23598f, 6.0f, -5.23598f, -12.0f}) {
        TremorCancel t;
        t.init(Fp32(kPeriod));
        for (int i = 0; i < 100; ++i)
            step(t, handRate(i).x, 0.1f);
        const Pair out = step(t, big, 0.1f);
        EXPECT_EQ(out.x, big);
        EXPECT_EQ(t.stateX().x[0], big);
        EXPECT_NEAR(out.y, 0.1f, 0.05f); // the other axis is filtered as usual
        TremorCancel::Constants k;
        k.update(Fp32(kPeriod));
        EXPECT_EQ(std::memcmp(t.stateX().P, &k.c[3], sizeof t.stateX().P), 0) << big;
        // The next sample starts from the bypassed rate.
        const float next = big > 0 ? 5.0f : -5.0f;
        const Pair after = step(t, next, 0.1f);
        EXPECT_LE(std::fabs(after.x), std::fabs(big)) << big;
        EXPECT_GE(std::fabs(after.x), 4.5f) << big;
    }
}

TEST(TremorCancel, MotionVarianceStaysWithinItsBounds)
{
    TremorCancel t;
    t.init(Fp32(kPeriod));
    EXPECT_EQ(t.motionVarianceX(), 0.1f);
    step(t, 100.0f, 2.0f);
    EXPECT_EQ(t.motionVarianceX(), 50.0f); // (2 x 100)^2 capped
    EXPECT_EQ(t.motionVarianceY(), 16.0f); // (2 x 2)^2
    float previous = t.motionVarianceX();
    for (int i = 0; i < 5000; ++i) {
        step(t, 0.0f, 0.0f);
        ASSERT_LE(t.motionVarianceX(), previous);
        ASSERT_GE(t.motionVarianceX(), 0.01f);
        previous = t.motionVarianceX();
    }
    EXPECT_NEAR(t.motionVarianceX(), 0.01f, 1e-4f);

    // estVarB applies the same rule and reports both variances.
    TremorCancel::Constants k;
    k.update(Fp32(kPeriod));
    const Fp32 in[2] = {Fp32(1.0f), Fp32(0.0f)};
    float out[2];
    t.estVarB(k, in, true, out);
    EXPECT_EQ(out[0], 4.0f);
    EXPECT_EQ(out[0], t.motionVarianceX());
    EXPECT_EQ(out[1], t.motionVarianceY());
}

TEST(TremorCancel, UnstableCoefficientsAreResetToTheNominalModel)
{
    TremorCancel::Constants k;
    k.update(Fp32(kPeriod));
    TremorCancel::State s{};
    TremorCancel t;
    t.init(Fp32(kPeriod));
    s = t.stateX();
    s.x[1] = 0.05f;
    s.x[3] = 1.0f; // a1 far outside the stable region
    s.x[4] = 0.5f;
    TremorCancel::AR2BTempSpace scratch;
    Fp32 out;
    AR2B(&s, &out, Fp32(0.2f), 0.1f, &k, &scratch);
    EXPECT_TRUE(std::isfinite(out.value()));
    EXPECT_LT(std::fabs(s.x[3]), 0.1f);
    EXPECT_LT(std::fabs(s.x[4]), 0.1f);

    // Inside the region the corrections only decay and adapt.
    TremorCancel::State inside = t.stateX();
    inside.x[3] = 0.001f;
    AR2B(&inside, &out, Fp32(0.2f), 0.1f, &k, &scratch);
    EXPECT_GT(inside.x[3], 0.0f);
}

TEST(TremorCancel, ResetKeepsThePeriod)
{
    TremorCancel t;
    t.init(Fp32(0.01f));
    for (int i = 0; i < 50; ++i)
        step(t, 1.0f, 1.0f);
    t.reset();
    EXPECT_EQ(t.period(), 0.01f);
    EXPECT_EQ(t.gapLimit(), 5);
    EXPECT_EQ(t.motionVarianceX(), 0.1f);
    EXPECT_EQ(t.stateX().x[0], 0.01f);
    EXPECT_EQ(t.stateY().Q[0], 0.1f);
}

} // namespace
} // namespace vnx
