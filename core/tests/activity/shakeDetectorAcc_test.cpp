// Accelerometer shake detector: square waves along one axis of a device
// whose gravity lies on z, with sensor noise, at several input periods.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "activity/shakeDetectorAccApi.h"
#include "common/statusCode.h"
#include "detectorRig.h"
#include "numerics/fixedPoint.h"
#include "support/GaussianNoise.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activitytest::DetectorRig;
using vnx::activitytest::ShakeAccApi;
using vnx::activitytest::Step;
using vnx::testsupport::Acc;
using vnx::testsupport::accelerometerRecords;

constexpr float kGravity = 9.81f;
constexpr float kNoiseMs2 = 0.05f;

/// A square wave of +-amplitude on one axis, starting positive, changing
/// sign every halfPeriodUs, for durationUs; gravity on z, noise on all axes.
std::vector<vnx_Mobile_Output_s> squareWave(std::int32_t periodUs, int axis, float amplitude,
                                            std::int64_t halfPeriodUs, std::int64_t durationUs)
{
    vnx::testsupport::GaussianNoise noise(7);
    const auto count = static_cast<std::size_t>(durationUs / periodUs);
    return accelerometerRecords(count, static_cast<std::uint32_t>(periodUs), [&](std::size_t i, double) {
        Acc a{0.0f, 0.0f, kGravity};
        const std::int64_t t = static_cast<std::int64_t>(i) * periodUs;
        a[static_cast<std::size_t>(axis)] += (t / halfPeriodUs) % 2 == 0 ? amplitude : -amplitude;
        for (float& v : a)
            v += kNoiseMs2 * static_cast<float>(noise.next());
        return a;
    });
}

TEST(ShakeDetectorAcc, DefaultsAreWordsOfTheirQFormats)
{
    vnx_ShakeDetectorAccConfig_s c{};
    ASSERT_EQ(vnx_ShakeDetectorAcc_getShakeDefaults(&c), VNX_STATUS_SUCCESS);
    EXPECT_EQ(c.minHalfPeriodUs, 50000u);
    EXPECT_EQ(c.maxHalfPeriodUs, 400000u);
    EXPECT_EQ(c.thresholdQ26, 536870912); // 8.0 in Q26
    EXPECT_FLOAT_EQ(vnx::fptToFloat32(c.thresholdQ26, 26), 8.0f);
    EXPECT_EQ(c.reversals, 3u);
    EXPECT_EQ(c.axisMask, 7u);
    EXPECT_EQ(vnx_ShakeDetectorAcc_getVersion(), 1);
}

TEST(ShakeDetectorAcc, ThirdCountedReversalIsTheShake)
{
    // At 10 ms a sample is a block. Half-periods of 150 ms: the first block
    // sets the direction (+), the flips at samples 15, 30 and 45 are
    // reversals 1-3; the axis then starts over and the flip at 60 only sets
    // its direction again, so the next shake comes at 105.
    DetectorRig<ShakeAccApi> rig(10000);
    const auto records = squareWave(10000, 0, 12.0f, 150000, 1200000);
    const std::vector<Step> steps = rig.run(records);
    std::vector<std::size_t> shakes;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].status, VNX_STATUS_SUCCESS);
        if (steps[i].event != 0) {
            EXPECT_EQ(steps[i].event, 1u) << "only x shakes";
            shakes.push_back(i);
        }
    }
    EXPECT_EQ(shakes, (std::vector<std::size_t>{45, 105}));
}

TEST(ShakeDetectorAcc, ReversalSoonerThanTheMinimumHalfPeriodDoesNotCount)
{
    // Half-periods of 30 ms: the flip at 3 comes 30 ms after the direction
    // was set and does not count; the direction stays + and the time runs
    // on, so the flip at 9 (90 ms of +) counts, then 18 and 27 the same way.
    DetectorRig<ShakeAccApi> rig(10000);
    const auto records = squareWave(10000, 0, 12.0f, 30000, 300000);
    EXPECT_EQ(rig.eventsOf(records), (std::vector<std::size_t>{27}));
}

TEST(ShakeDetectorAcc, SlowSwingsStartOverAndNeverShake)
{
    // Half-periods beyond the 400 ms maximum.
    DetectorRig<ShakeAccApi> rig(10000);
    EXPECT_TRUE(rig.eventsOf(squareWave(10000, 0, 12.0f, 450000, 5000000)).empty());
}

TEST(ShakeDetectorAcc, AxisMaskSelectsTheAxesThatShake)
{
    const struct
    {
        std::uint32_t mask;
        int axis;
        bool shakes;
    } cases[] = {{6, 0, false}, {6, 1, true}, {1, 0, true}, {1, 2, false}, {0x100 | 2, 1, true}};
    for (const auto& c : cases) {
        DetectorRig<ShakeAccApi> rig(10000,
                                     [&](vnx_ShakeDetectorAccConfig_s& cfg) { cfg.axisMask = c.mask; });
        const std::vector<std::size_t> shakes =
            rig.eventsOf(squareWave(10000, c.axis, 12.0f, 150000, 700000));
        EXPECT_EQ(!shakes.empty(), c.shakes) << "mask " << c.mask << " axis " << c.axis;
        for (const Step& s : rig.run(squareWave(10000, c.axis, 12.0f, 150000, 700000)))
            EXPECT_EQ(s.event & ~(1u << c.axis), 0u);
    }
}

TEST(ShakeDetectorAcc, BlocksSpanTenMillisecondsWhateverThePeriod)
{
    // Blocks of one sample at 10 ms and slower (the threshold scaled by the
    // block's share of 10 ms: doubled at 20 ms), of 4 samples at 2.5 ms and 2
    // at 5 ms (threshold unchanged). A wave of +-a changes the block average
    // by 2a at each flip.
    const struct
    {
        std::int32_t periodUs;
        float amplitude;
        bool shakes;
        std::size_t blockSamples;
    } cases[] = {
        {10000, 4.5f, true, 1}, {10000, 3.5f, false, 1}, {2500, 4.5f, true, 4},  {2500, 3.5f, false, 4},
        {5000, 4.5f, true, 2},  {20000, 4.5f, false, 1}, {20000, 8.5f, true, 1}, {32000, 12.0f, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.periodUs << " us, +-" << c.amplitude);
        DetectorRig<ShakeAccApi> rig(c.periodUs);
        const std::vector<std::size_t> shakes =
            rig.eventsOf(squareWave(c.periodUs, 0, c.amplitude, 160000, 800000));
        EXPECT_EQ(!shakes.empty(), c.shakes);
        for (std::size_t at : shakes)
            EXPECT_EQ((at + 1) % c.blockSamples, 0u) << "a shake ends a block";
    }
}

} // namespace
