// Sleep detector: windows of zero crossings of the dead-banded acceleration,
// scored as active, awake or asleep.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "activity/sleepDetectorApi.h"
#include "common/statusCode.h"
#include "detectorRig.h"
#include "numerics/fixedPoint.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activitytest::DetectorRig;
using vnx::activitytest::SleepApi;
using vnx::activitytest::Step;
using vnx::testsupport::Acc;
using vnx::testsupport::accelerometerRecords;

constexpr float kGravity = 9.81f;
constexpr std::int32_t kPeriodUs = 200000;
/// Samples in one window of six 10-second epochs at kPeriodUs.
constexpr std::size_t kWindowSamples = 300;

/// Windows of a device lying with gravity on z and a small x component
/// (0.1 m/s^2, above the dead band) that changes sign crossings[w] times in
/// window w, each change a crossing. The very first sample is a crossing too
/// (from the zero state), so window 0 counts one more.
std::vector<Acc> windowsWithCrossings(const std::vector<int>& crossings)
{
    std::vector<Acc> samples;
    float x = 0.1f;
    for (int count : crossings) {
        std::set<std::size_t> flips;
        for (int i = 0; i < count; ++i)
            flips.insert(10 + static_cast<std::size_t>(i * (280 / count))); // spread over the window
        for (std::size_t i = 0; i < kWindowSamples; ++i) {
            if (flips.count(i) != 0)
                x = -x;
            samples.push_back({x, 0.0f, kGravity});
        }
    }
    return samples;
}

/// The codes of the calls that ended a window, in order.
std::vector<std::uint32_t> windowCodes(const std::vector<Step>& steps)
{
    std::vector<std::uint32_t> codes;
    for (const Step& s : steps) {
        if (s.status == VNX_STATUS_SUCCESS)
            codes.push_back(s.event);
        else
            EXPECT_EQ(s.event, 4u) << "a call that ends no window writes code 4";
    }
    return codes;
}

TEST(SleepDetector, DefaultsAreWordsOfTheirQFormats)
{
    vnx_SleepDetectorConfig_s c{};
    ASSERT_EQ(vnx_SleepDetector_getDefaults(&c), VNX_STATUS_SUCCESS);
    EXPECT_FLOAT_EQ(vnx::fptToFloat32(c.deadBandQ29, 29), 0.035f);
    EXPECT_EQ(c.epochLengthS, 10);
    EXPECT_EQ(c.epochsPerWindow, 6);
    EXPECT_FLOAT_EQ(vnx::fptToFloat32(c.scoreScaleQ29, 29), 0.45f);
    EXPECT_EQ(vnx_SleepDetector_getVersion(), 1);
}

TEST(SleepDetector, StillDeviceIsAwakeForSixWindowsThenAsleep)
{
    DetectorRig<SleepApi> rig(kPeriodUs);
    // Exact zeros on x and y: no crossing after the first sample.
    const auto records =
        accelerometerRecords(std::vector<Acc>(7 * kWindowSamples, {0.0f, 0.0f, kGravity}), kPeriodUs);
    const std::vector<Step> steps = rig.run(records);
    EXPECT_EQ(windowCodes(steps), (std::vector<std::uint32_t>{1, 1, 1, 1, 1, 1, 2}));
    for (std::size_t w = 0; w < 7; ++w)
        EXPECT_EQ(steps[(w + 1) * kWindowSamples - 1].status, VNX_STATUS_SUCCESS) << "window " << w;
}

TEST(SleepDetector, WindowLengthFollowsTheInputPeriod)
{
    const struct
    {
        std::int32_t periodUs;
        std::size_t windowSamples;
    } cases[] = {{200000, 300}, {100000, 600}, {50000, 1200}, {222222, 276}};
    for (const auto& c : cases) {
        DetectorRig<SleepApi> rig(c.periodUs);
        const auto records =
            accelerometerRecords(std::vector<Acc>(c.windowSamples, {0.0f, 0.0f, kGravity}), c.periodUs);
        const std::vector<Step> steps = rig.run(records);
        for (std::size_t i = 0; i + 1 < steps.size(); ++i)
            ASSERT_EQ(steps[i].status, VNX_STATUS_ASYNC_PENDING) << c.periodUs << " sample " << i;
        EXPECT_EQ(steps.back().status, VNX_STATUS_SUCCESS) << c.periodUs;
        EXPECT_EQ(steps.back().event, 1u);
    }
}

TEST(SleepDetector, SevenCrossingsMakeAWindowActive)
{
    // Six quiet windows fill the history; the seventh decides. With six
    // crossings it is scored (and the score of so few crossings is asleep);
    // with seven it is active without scoring.
    const struct
    {
        int crossings;
        std::uint32_t code;
    } cases[] = {{6, 2}, {7, 0}, {30, 0}};
    for (const auto& c : cases) {
        DetectorRig<SleepApi> rig(kPeriodUs);
        const auto records =
            accelerometerRecords(windowsWithCrossings({0, 0, 0, 0, 0, 0, c.crossings}), kPeriodUs);
        const std::vector<std::uint32_t> codes = windowCodes(rig.run(records));
        ASSERT_EQ(codes.size(), 7u);
        EXPECT_EQ(codes[6], c.code) << c.crossings << " crossings";
    }
}

TEST(SleepDetector, FirstSixWindowsNeverReportAsleep)
{
    // Quiet windows: window 0 holds the first sample's crossing besides its
    // own, and active windows need 7.
    for (int crossings : {0, 5}) {
        DetectorRig<SleepApi> rig(kPeriodUs);
        const auto records =
            accelerometerRecords(windowsWithCrossings(std::vector<int>(6, crossings)), kPeriodUs);
        EXPECT_EQ(windowCodes(rig.run(records)), std::vector<std::uint32_t>(6, 1)) << crossings;
    }
}

TEST(SleepDetector, LongActivityKeepsTheHistoryFilled)
{
    // 256 active windows: a window count kept in a byte would wrap to "not
    // filled" here. The quiet window after them is scored against six
    // windows of 7: 0.45 * 7 * (0.015 + 0.085 + 0.031 + 0.028 + 0.015 + 0.01)
    // = 0.58, asleep.
    std::vector<int> crossings(256, 7);
    crossings[0] = 6; // plus the first sample's crossing
    crossings.push_back(0);
    DetectorRig<SleepApi> rig(kPeriodUs);
    const std::vector<std::uint32_t> codes =
        windowCodes(rig.run(accelerometerRecords(windowsWithCrossings(crossings), kPeriodUs)));
    ASSERT_EQ(codes.size(), 257u);
    EXPECT_EQ(codes.front(), 0u);
    EXPECT_EQ(codes[255], 0u);
    EXPECT_EQ(codes.back(), 2u);
}

TEST(SleepDetector, LongSleepIsReportedOnceHalfAnHourOfWearIsCounted)
{
    // Awake windows 1-6 each take 6 off the wear time (6 * 60 - 36 = 324 s
    // after them); asleep windows add 60 s each and leave it whole. Code 3
    // needs over 1800 s of wear (25 asleep windows: 1824 s) and over 1200 s
    // since the last awake window (21 asleep windows).
    DetectorRig<SleepApi> rig(kPeriodUs);
    const auto records =
        accelerometerRecords(std::vector<Acc>(33 * kWindowSamples, {0.0f, 0.0f, kGravity}), kPeriodUs);
    const std::vector<std::uint32_t> codes = windowCodes(rig.run(records));
    std::vector<std::uint32_t> expected(6, 1);
    expected.insert(expected.end(), 24, 2);
    expected.insert(expected.end(), 3, 3);
    EXPECT_EQ(codes, expected);
}

TEST(SleepDetector, ComponentsInsideTheDeadBandCountAsZero)
{
    // A wobble of +-0.03 m/s^2 on x stays inside the dead band: no
    // crossings; +-0.04 crosses at every sample and makes each window active.
    const struct
    {
        float wobble;
        std::uint32_t code;
    } cases[] = {{0.03f, 1}, {0.04f, 0}};
    for (const auto& c : cases) {
        DetectorRig<SleepApi> rig(kPeriodUs);
        const auto records = accelerometerRecords(kWindowSamples, kPeriodUs, [&](std::size_t i, double) {
            return Acc{(i % 2 == 0) ? c.wobble : -c.wobble, 0.0f, kGravity};
        });
        EXPECT_EQ(windowCodes(rig.run(records)), std::vector<std::uint32_t>{c.code}) << c.wobble;
    }
}

TEST(SleepDetector, EveryCallWritesItsCodeEvenWithoutASample)
{
    DetectorRig<SleepApi> rig(kPeriodUs);
    vnx_Mobile_Output_s in = vnx::testsupport::accelerometerRecord(5, {0, 0, kGravity});
    in.validBits = 0;
    const Step step = rig.process(in, 0x77);
    EXPECT_EQ(step.status, VNX_STATUS_ASYNC_PENDING);
    EXPECT_EQ(step.event, 4u);
}

} // namespace
