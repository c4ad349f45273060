// Whole-run scenarios of the bias corrector on simulated devices: raw counts
// through an SCD and Interpret, one sample every 8 ms.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "biasCorrectRig.h"

namespace vnx::biastest {
namespace {

constexpr int kSamplesPerSecond = 125;

struct StillCase
{
    const char* name;
    ScdBuilder scd;
    float gyroNoiseCounts;
    float offsetCounts[3]; // gyroscope offset, 0.001 rad/s per count
    int handledSeconds;    // turned in the hand before it is put down
};

ScdBuilder nominalScd()
{
    return presenterScd().nominalMarker(-0.02f).zroNominalSigma(0.05f).zroInitSigma(0.05f);
}

class StillDevice : public ::testing::TestWithParam<StillCase>
{
};

TEST_P(StillDevice, LearnsTheOffsetWithinAMinuteAndRestoresIt)
{
    const StillCase& c = GetParam();
    BiasRig rig(c.scd, nullptr, 3);

    // Optionally turned about all axes first (up to 1 rad/s), then still.
    for (int n = 0; n < c.handledSeconds * kSamplesPerSecond; ++n) {
        const float phase = 2.0f * 3.14159265f * 0.5f * float(n) / kSamplesPerSecond;
        const float turn[3] = {c.offsetCounts[0] + 1000.0f * std::sin(phase),
                               c.offsetCounts[1] + 700.0f * std::cos(phase),
                               c.offsetCounts[2] - 500.0f * std::sin(phase)};
        rig.step(turn, c.gyroNoiseCounts);
    }

    int firstGoodSecond = -1;
    int badSecondsAfter = 0;
    bool convergedAtEnd = false;
    for (int second = c.handledSeconds; second < 60; ++second) {
        double sum[3] = {0, 0, 0};
        bool converged = true;
        for (int i = 0; i < kSamplesPerSecond; ++i) {
            const BiasCorrectMin::Output& out = rig.step(c.offsetCounts, c.gyroNoiseCounts);
            // The corrected rate without this sample's sensor noise: the
            // offset the correction leaves in.
            for (int a = 0; a < 3; ++a) {
                const float noise = rig.sample.rs[a].value() - kRadPerCount * c.offsetCounts[a];
                sum[a] += out.rate[a].value() - noise;
            }
            converged = converged && out.converged;
        }
        const bool good = std::fabs(sum[0]) < 1e-3 * kSamplesPerSecond &&
                          std::fabs(sum[1]) < 1e-3 * kSamplesPerSecond &&
                          std::fabs(sum[2]) < 1e-3 * kSamplesPerSecond;
        if (good && firstGoodSecond < 0)
            firstGoodSecond = second;
        if (!good && firstGoodSecond >= 0)
            ++badSecondsAfter;
        convergedAtEnd = converged;
    }
    ASSERT_GE(firstGoodSecond, 0) << "the mean corrected rate never fell below 1e-3 rad/s";
    EXPECT_EQ(badSecondsAfter, 0);
    EXPECT_TRUE(convergedAtEnd);

    const dcdAlg4MinFixedInnards_s learned = rig.dcd();
    EXPECT_GE(learned.state, 5u);
    EXPECT_LE(learned.state, 28u);
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(learned.zro[a], 0.001f * c.offsetCounts[a], 1e-3f) << a;

    // A fresh corrector restored from the learned state corrects from its
    // first sample on.
    BiasRig restored(c.scd, &learned, 4);
    const BiasCorrectMin::Output& first = restored.step(c.offsetCounts, 0.0f);
    EXPECT_EQ(restored.bias.mainEstimator().phase(), ZroKfMin::KF_PHASE_RESTORED);
    for (int a = 0; a < 3; ++a)
        EXPECT_LT(std::fabs(first.rate[a].value()), 1e-3f) << a;
}

INSTANTIATE_TEST_SUITE_P(
    BiasCorrectMin, StillDevice,
    ::testing::Values(StillCase{"noiseFree", presenterScd(), 0.0f, {10, 10, 10}, 0},
                      StillCase{"noisy", presenterScd(), 2.0f, {10, 10, 10}, 0},
                      StillCase{"perAxisOffsets", presenterScd(), 2.0f, {10, -10, 4}, 0},
                      StillCase{"noTemperatureInput", presenterScd().tempScale(0.0f), 2.0f, {10, 10, 10}, 0},
                      StillCase{"nominalCalibration", nominalScd(), 2.0f, {10, 10, 10}, 0},
                      // A gyroscope this noisy judges table offsets by the
                      // nominal level, which a nominal calibration has.
                      StillCase{"noisyGyroscope", nominalScd().gyroNoise(8, 8, 8), 8.0f, {10, 10, 10}, 0},
                      StillCase{"handledFirst", presenterScd(), 2.0f, {10, 10, 10}, 10}),
    [](const ::testing::TestParamInfo<StillCase>& info) { return std::string(info.param.name); });

TEST(BiasCorrectMin, SecondDeviceDoesNotChangeARunningOne)
{
    // The same device alone and beside a two-channel device with another
    // calibration: sample for sample the same results.
    const float rate[3] = {10, -6, 3};
    const float other[3] = {0, 25, -25};
    BiasRig alone(presenterScd(), nullptr, 21);
    BiasRig beside(presenterScd(), nullptr, 21);
    BiasRig second(presenterScd().gyroNoise(1, 3, 3).period(0.01), nullptr, 5, 2);
    for (int n = 0; n < 3000; ++n) {
        const BiasCorrectMin::Output a = alone.step(rate);
        const BiasCorrectMin::Output b = beside.step(rate);
        second.step(other);
        ASSERT_EQ(a.rate, b.rate) << n;
        ASSERT_EQ(a.variance, b.variance) << n;
        ASSERT_EQ(a.converged, b.converged) << n;
        ASSERT_EQ(a.onTable, b.onTable) << n;
    }
    EXPECT_EQ(beside.bias.getState(), alone.bias.getState());
    EXPECT_EQ(second.out.rate[0].value(), second.sample.rs[0].value())
        << "the second device keeps its x axis";
}

} // namespace
} // namespace vnx::biastest
