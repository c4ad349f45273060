#include "sensorFusion/InclAngFromStable.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "fusionTestSupport.h"

namespace vnx {
namespace {

using namespace fusionTest;

FixedPointCal::Output calibration(float rateHz = 125.0f, float accNoise = 0.01f, float magNoise = 0.05f)
{
    FixedPointCal::Output cal{};
    cal.rate = rateHz;
    cal.period = 1.0f / rateHz;
    cal.accNoise = vec(accNoise, -accNoise, accNoise / 2);
    cal.rsStableParam = vec(magNoise, magNoise, magNoise);
    return cal;
}

const Vector3 kAcc = vec(0, 0, -9.8f);
const Vector3 kMag = vec(20, 0, -30);

float cosineOf(const Vector3& a, const Vector3& m)
{
    return (dot(a, m) / (a.norm() * m.norm())).value();
}

// Feeds one report interval of samples (the first window the detector
// reports); the jitters alternate in sign on z.
InclAngFromStable::Output runFirstWindow(InclAngFromStable& incl, float accJitter, float magJitter = 0.0f)
{
    InclAngFromStable::Output out{};
    const std::uint32_t samples = incl.detector().reportInterval;
    for (std::uint32_t n = 0; n < samples; ++n) {
        const float sign = n % 2 == 0 ? 1.0f : -1.0f;
        out = {};
        incl.process(kMag + vec(0, 0, sign * magJitter), kAcc + vec(0, 0, sign * accJitter), &out);
        if (n + 1 < samples) {
            EXPECT_EQ(out.estimateUpdated + out.restarted, 0) << "sample " << n;
        }
    }
    return out;
}

TEST(InclAngFromStable, FreshObjectReportsTheDefaultInclination)
{
    InclAngFromStable incl;
    EXPECT_EQ(incl.getEstimate().value(), -0.76f);
    incl.init(calibration(), nullptr, true);
    InclAngFromStable::Output out{};
    incl.process(vec(0, 0, 0), kAcc, &out);
    EXPECT_EQ(out.estimate, -0.76f);
}

TEST(InclAngFromStable, WindowLengthFollowsTheSampleRate)
{
    struct Case
    {
        float rateHz;
        std::uint32_t minStable;
    };
    for (const Case& c : {Case{37.5f, 16}, Case{50, 32}, Case{100, 64}, Case{125, 64}, Case{200, 128}}) {
        InclAngFromStable incl;
        incl.init(calibration(c.rateHz), nullptr, true);
        EXPECT_EQ(incl.getMinStableCount(), c.minStable) << c.rateHz;
        EXPECT_EQ(incl.detector().reportInterval, c.minStable / 2) << c.rateHz;
        EXPECT_EQ(incl.detector().maxCount, c.minStable * 4) << c.rateHz;
    }
}

TEST(InclAngFromStable, FieldWithNoPositiveComponentRestartsTheWindowEveryCall)
{
    InclAngFromStable incl;
    incl.init(calibration(), nullptr, true);
    for (const Vector3& mag : {vec(0, 0, 0), vec(-20, -1, -30), vec(1e-7f, 0, -5)}) {
        for (int n = 0; n < 40; ++n) {
            InclAngFromStable::Output out{};
            incl.process(mag, kAcc, &out);
            ASSERT_EQ(out.restarted, 1);
            ASSERT_EQ(out.estimateUpdated, 0);
            ASSERT_EQ(incl.detector().stats.count, 1u);
        }
    }
}

TEST(InclAngFromStable, CalmWindowReplacesTheEstimateWithItsCosine)
{
    InclAngFromStable incl;
    incl.init(calibration(), nullptr, true);
    const InclAngFromStable::Output out = runFirstWindow(incl, 0.0f);
    EXPECT_EQ(out.quietUpdate, 1);
    EXPECT_EQ(out.estimateUpdated, 1);
    EXPECT_EQ(out.restarted, 1);
    EXPECT_EQ(out.still, 1);
    EXPECT_NEAR(out.estimate, cosineOf(kAcc, kMag), 1e-6f);
    EXPECT_EQ(out.estimate, incl.getEstimate().value());
}

TEST(InclAngFromStable, InHandWindowsAreGradedAgainstExpectedNoise)
{
    struct Case
    {
        float accJitter; // m/s^2, alternating
        bool learns;
    };
    // Noise level 0.01 m/s^2: a table-calm window spans less than 0.1; the
    // expected in-hand deviation is 1.2 * sqrt(0.01^2 + 0.01) = 0.12.
    for (const Case& c : {Case{0.1f, true}, Case{0.2f, false}}) {
        SCOPED_TRACE(c.accJitter);
        InclAngFromStable incl;
        incl.init(calibration(), nullptr, true);
        const InclAngFromStable::Output out = runFirstWindow(incl, c.accJitter);
        EXPECT_EQ(out.quietUpdate, 0);
        EXPECT_EQ(out.restarted, 0);
        EXPECT_EQ(out.estimateUpdated, c.learns ? 1 : 0);
        if (c.learns) {
            EXPECT_GT(out.windowWeight, 0.15f);
            EXPECT_LT(out.windowWeight, 1.0f);
        } else {
            EXPECT_LE(out.windowWeight, 0.15f);
        }
        // Against the full weight of the default, an in-hand window barely
        // moves the estimate.
        EXPECT_NEAR(out.estimate, -0.76f, 1e-6f);
    }
}

TEST(InclAngFromStable, CalmWindowLearnsTheNoiseLevels)
{
    InclAngFromStable incl;
    incl.init(calibration(), nullptr, true);
    // Alternating +-0.001 m/s^2 and +-0.02 field units over 32 samples.
    runFirstWindow(incl, 0.001f, 0.02f);

    dcdAlg4MinFixedInnards_s dcd;
    ASSERT_TRUE(incl.getDcd(&dcd));
    const float accNoise = dcd.algSpecific[1];
    const float magNoise = dcd.algSpecific[2];
    EXPECT_NEAR(accNoise, 0.001f * std::sqrt(32.0f / 31.0f), 1e-6f);
    EXPECT_NEAR(magNoise, 0.02f * std::sqrt(32.0f / 31.0f), 1e-5f);

    // The thresholds follow: 8 (n_a^2 + 0.01) and 8 (1.2 n_m)^2.
    EXPECT_NEAR(incl.detector().threshold[3].value(), 8.0f * (accNoise * accNoise + 0.010000001f), 1e-6f);
    EXPECT_NEAR(incl.detector().threshold[8].value(), 8.0f * 1.44f * magNoise * magNoise, 1e-6f);
    EXPECT_EQ(incl.detector().threshold[0].value(), 0.5f);
}

TEST(InclAngFromStable, DcdCarriesNoiseLevelsInAnEmptyGyroscopeBlock)
{
    dcdAlg4MinFixedInnards_s stored;
    dcdAlg4MinFixedInnardsSetEmpty(&stored);
    stored.zro[0] = 0.5f; // another estimator's word, not ours
    stored.algSpecific[1] = 0.004f;
    stored.algSpecific[2] = 0.0f; // not learned: the calibration value stays

    InclAngFromStable incl;
    incl.init(calibration(125, 0.01f, 0.05f), &stored, false);
    EXPECT_FALSE(incl.dcdPending());
    // In-hand thresholds use min(1.2 * stored, calibration).
    const float x = 0.0048f * 0.0048f + 0.010000001f;
    EXPECT_NEAR(incl.detector().threshold[4].value(), 8.0f * x, 1e-7f);

    dcdAlg4MinFixedInnards_s out;
    std::memset(&out, 0xA5, sizeof out);
    ASSERT_TRUE(incl.getDcd(&out));
    EXPECT_EQ(out.zro[0], 0.0f);
    EXPECT_EQ(out.temperature, 0.0f);
    EXPECT_EQ(out.state, 1u);
    EXPECT_EQ(out.algSpecific[0], 0.0f);
    EXPECT_EQ(out.algSpecific[1], 0.004f);
    EXPECT_EQ(out.algSpecific[2], 0.05f);
    EXPECT_EQ(out.zroTemperatureFit[24], 0u);
    EXPECT_EQ(std::bit_cast<float>(out.zroTemperatureFit[25]), 2147483648.0f);
    EXPECT_EQ(std::bit_cast<float>(out.zroTemperatureFit[28]), -2147483648.0f);
}

TEST(InclAngFromStable, UpperTailOfTheNormalDistribution)
{
    struct Case
    {
        float z, q;
    };
    const Case cases[] = {
        {0.0f, 0.500823f}, {1.0f, 0.1583667f},         {2.0f, 0.0226757f}, {3.2f, 0.0f},
        {10.0f, 0.0f},     {-1.0f, 1.0f - 0.1583667f}, {-3.2f, 1.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(InclAngFromStable::QFunction(Fp32(c.z)).value(), c.q, 1e-6f) << c.z;
}

} // namespace
} // namespace vnx
