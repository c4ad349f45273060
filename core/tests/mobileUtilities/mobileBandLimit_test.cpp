#include "mobileUtilities/mobileBandLimit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "common/statusCode.h"

namespace {

using Section = void (*)(float, float*, float*);

struct Filter
{
    int factor;
    Section section;
    float g, a1, a2, c;
};

const Filter kFilters[] = {
    {2, vnx::mobile::dec2_iirBiquad, 0.6819022f, 0.462938f, 0.20971535f, 0.2737846f},
    {5, vnx::mobile::dec5_iirBiquad, 0.1647409f, 1.3489678f, 0.5139819f, 0.25041467f},
    {10, vnx::mobile::dec10_iirBiquad, 0.047426082f, 1.6692032f, 0.71663386f, 0.2500245f},
    {20, vnx::mobile::dec20_iirBiquad, 0.0127992425f, 1.8337326f, 0.846532f, 0.25000143f},
};

TEST(MobileBandLimit, ImpulseResponseStartsAsTheSectionEquationSays)
{
    for (const Filter& f : kFilters) {
        float state[2] = {0, 0};
        float y[3];
        f.section(1.0f, &y[0], state);
        f.section(0.0f, &y[1], state);
        f.section(0.0f, &y[2], state);
        // w0 = g, w1 = a1 g, w2 = (a1^2 - a2) g; y = c (w + 2 w[t-1] + w[t-2]).
        const double w0 = f.g, w1 = f.a1 * w0, w2 = f.a1 * w1 - f.a2 * w0;
        EXPECT_NEAR(y[0], f.c * w0, 1e-6) << f.factor;
        EXPECT_NEAR(y[1], f.c * (w1 + 2 * w0), 1e-6) << f.factor;
        EXPECT_NEAR(y[2], f.c * (w2 + 2 * w1 + w0), 1e-6) << f.factor;
        EXPECT_NEAR(state[0], w2, 1e-6) << f.factor;
        EXPECT_NEAR(state[1], w1, 1e-6) << f.factor;
    }
}

TEST(MobileBandLimit, StepSettlesOnTheInputWithinOnePartInTenThousand)
{
    for (const Filter& f : kFilters) {
        for (const float level : {1.0f, -250.0f, 12345.0f}) {
            float state[2] = {0, 0};
            float y = 0;
            for (int n = 0; n < 50 * f.factor; ++n)
                f.section(level, &y, state);
            EXPECT_NEAR(y, level, std::fabs(level) * 1e-4f) << "factor " << f.factor << " level " << level;
        }
    }
}

TEST(MobileBandLimit, NyquistRateInputIsRemoved)
{
    // The numerator (1 + z^-1)^2 cancels a sample-to-sample alternation.
    for (const Filter& f : kFilters) {
        float state[2] = {0, 0};
        float y = 0;
        float largest = 0;
        for (int n = 0; n < 400; ++n) {
            f.section(n % 2 == 0 ? 1000.0f : -1000.0f, &y, state);
            if (n >= 200)
                largest = std::fmax(largest, std::fabs(y));
        }
        EXPECT_LT(largest, 0.05f) << f.factor;
    }
}

TEST(MobileBandLimit, StateAdvancesOnSamplesWithoutOutput)
{
    // Decimating by keeping every 5th output gives the same values as
    // filtering every sample with an output.
    float everyState[2] = {0, 0}, keptState[2] = {0, 0};
    for (int n = 0; n < 60; ++n) {
        const float x = std::sin(0.3f * n) * 100.0f;
        float every = 0, kept = -1;
        vnx::mobile::dec5_iirBiquad(x, &every, everyState);
        vnx::mobile::dec5_iirBiquad(x, n % 5 == 4 ? &kept : nullptr, keptState);
        if (n % 5 == 4) {
            EXPECT_EQ(kept, every) << n;
        }
    }
    EXPECT_EQ(keptState[0], everyState[0]);
    EXPECT_EQ(keptState[1], everyState[1]);
}

TEST(MobileBandLimit, SensorFormFiltersEachAxisAndFloorsTheResult)
{
    for (const Filter& f : kFilters) {
        float state[6] = {};
        float reference[3][2] = {};
        for (int n = 0; n < 40; ++n) {
            const std::int16_t in[3] = {static_cast<std::int16_t>(n % 7 * 300 - 900),
                                        static_cast<std::int16_t>(-n),
                                        static_cast<std::int16_t>(n % 2 ? 5000 : -5000)};
            std::int16_t out[3] = {};
            ASSERT_EQ(vnx_Mobile_bandlimitSensor(state, in, f.factor, out), VNX_STATUS_SUCCESS);
            for (int i = 0; i < 3; ++i) {
                float y = 0;
                f.section(in[i], &y, reference[i]);
                EXPECT_EQ(out[i], static_cast<std::int16_t>(std::floor(y)))
                    << f.factor << " axis " << i << " n " << n;
            }
        }
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(state[2 * i], reference[i][0]);
            EXPECT_EQ(state[2 * i + 1], reference[i][1]);
        }
    }
}

TEST(MobileBandLimit, SensorFormSettlesOnAConstantInput)
{
    for (const Filter& f : kFilters) {
        float state[6] = {};
        const std::int16_t in[3] = {10000, -10000, 1};
        std::int16_t out[3] = {};
        for (int n = 0; n < 50 * f.factor; ++n)
            vnx_Mobile_bandlimitSensor(state, in, f.factor, out);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(out[i], in[i], std::abs(in[i]) * 1e-4 + 1) << f.factor;
    }
}

TEST(MobileBandLimit, FullScaleStepOvershootClampsInsteadOfWrapping)
{
    // The sections overshoot a step by 4 to 8 %: a full-scale step would pass
    // 32767 and, cut to 16 bits, read as a large negative sample.
    for (const Filter& f : kFilters) {
        float state[6] = {};
        const std::int16_t in[3] = {INT16_MAX, INT16_MIN, 0};
        std::int16_t out[3] = {};
        bool reachedTop = false;
        for (int n = 0; n < 50 * f.factor; ++n) {
            vnx_Mobile_bandlimitSensor(state, in, f.factor, out);
            EXPECT_GE(out[0], 0) << f.factor << " n " << n;
            EXPECT_LE(out[1], 0) << f.factor << " n " << n;
            reachedTop = reachedTop || out[0] == INT16_MAX;
        }
        EXPECT_TRUE(reachedTop) << f.factor;
    }
}

TEST(MobileBandLimit, OtherFactorsCopyTheSamples)
{
    for (const std::int32_t factor : {0, 1, 3, 4, -2, 100}) {
        float state[6] = {1, 2, 3, 4, 5, 6};
        const std::int16_t in[3] = {-7, 8, 32000};
        std::int16_t out[3] = {};
        ASSERT_EQ(vnx_Mobile_bandlimitSensor(state, in, factor, out), VNX_STATUS_SUCCESS) << factor;
        EXPECT_EQ(out[0], -7);
        EXPECT_EQ(out[1], 8);
        EXPECT_EQ(out[2], 32000);
        EXPECT_EQ(state[0], 1.0f); // the state is not touched
        EXPECT_EQ(state[5], 6.0f);
        // Without an output there is nothing to do, not even a state to read.
        EXPECT_EQ(vnx_Mobile_bandlimitSensor(nullptr, nullptr, factor, nullptr), VNX_STATUS_SUCCESS);
    }
}

TEST(MobileBandLimit, NullPointersAreRefused)
{
    float state[6] = {};
    const std::int16_t in[3] = {1, 2, 3};
    std::int16_t out[3] = {9, 9, 9};
    EXPECT_EQ(vnx_Mobile_bandlimitSensor(nullptr, in, 2, out), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_bandlimitSensor(state, nullptr, 2, out), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_bandlimitSensor(state, nullptr, 3, out), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(state[0], 0.0f);
    // A filtering factor without an output still advances the state.
    EXPECT_EQ(vnx_Mobile_bandlimitSensor(state, in, 2, nullptr), VNX_STATUS_SUCCESS);
    EXPECT_NE(state[0], 0.0f);
}

} // namespace
