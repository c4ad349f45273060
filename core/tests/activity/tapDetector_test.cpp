// Tap detector: single and double taps on generated knocks over a calm,
// slightly noisy device lying flat.

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "activity/tapDetectorApi.h"
#include "common/statusCode.h"
#include "support/GaussianNoise.h"
#include "support/allocationCounter.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::testsupport::Acc;
using vnx::testsupport::accelerometerRecords;

constexpr float kGravity = 9.81f;
constexpr float kNoiseMs2 = 0.05f; // per axis, a typical phone accelerometer at rest
constexpr int kX = 0, kY = 1, kZ = 2;

/// A change of `ms2` on one axis at sample `at`, lasting `samples` samples
/// (0: for good, a step).
struct Knock
{
    std::size_t at;
    int axis;
    float ms2;
    std::size_t samples = 1;
};

/// A device lying flat (gravity on z) with sensor noise, and the knocks.
std::vector<Acc> calmWith(std::size_t count, const std::vector<Knock>& knocks, std::uint64_t seed = 1)
{
    vnx::testsupport::GaussianNoise noise(seed);
    std::vector<Acc> samples(count);
    for (Acc& a : samples) {
        a = {0.0f, 0.0f, kGravity};
        for (float& v : a)
            v += kNoiseMs2 * static_cast<float>(noise.next());
    }
    for (const Knock& k : knocks) {
        const std::size_t end = k.samples == 0 ? count : std::min(count, k.at + k.samples);
        for (std::size_t i = k.at; i < end; ++i)
            samples[i][k.axis] += k.ms2;
    }
    return samples;
}

vnx_TapDetectorConfig_s defaults()
{
    vnx_TapDetectorConfig_s config{};
    vnx_TapDetector_getTapDefaults(&config);
    return config;
}

/// A tap detector enabled and running at one period.
class TapRig
{
  public:
    explicit TapRig(const vnx_TapDetectorConfig_s& config = defaults(), std::int32_t periodUs = 2000)
        : periodUs_(periodUs)
    {
        EXPECT_EQ(vnx_TapDetector_initialize(&handle_, &config), VNX_STATUS_SUCCESS);
        setPeriod(periodUs);
    }
    ~TapRig() { vnx_TapDetector_finalize(handle_); }

    void setPeriod(std::int32_t periodUs)
    {
        periodUs_ = periodUs;
        vnx_Mobile_VirtualSensorPeriods_s periods{};
        EXPECT_EQ(vnx_TapDetector_enableOutputPeriodsAndDeriveInputPeriods(handle_, 1, &periods), 0);
        periods.periodUs[0] = periodUs; // what the fusion engine grants
        EXPECT_EQ(vnx_TapDetector_setInputPeriods(handle_, &periods), VNX_STATUS_SUCCESS);
    }

    /// The event word of every sample; each call starts from `callerWord`.
    std::vector<std::uint32_t> run(const std::vector<Acc>& samples, std::uint32_t callerWord = 0)
    {
        std::vector<std::uint32_t> events;
        for (const vnx_Mobile_Output_s& in :
             accelerometerRecords(samples, static_cast<std::uint32_t>(periodUs_))) {
            vnx_Detector_Output_s out{callerWord, 0};
            std::uint8_t flag = 1;
            EXPECT_EQ(vnx_TapDetector_process(handle_, &in, &out, &flag), VNX_STATUS_SUCCESS);
            events.push_back(out.event);
        }
        return events;
    }

    /// (sample index, event word) of every sample that reported something.
    std::vector<std::pair<std::size_t, std::uint32_t>> reports(const std::vector<Acc>& samples)
    {
        std::vector<std::pair<std::size_t, std::uint32_t>> found;
        const auto events = run(samples);
        for (std::size_t i = 0; i < events.size(); ++i)
            if (events[i] != 0)
                found.emplace_back(i, events[i]);
        return found;
    }

    vnx_TapDetector_Handle handle_ = nullptr;

  private:
    std::int32_t periodUs_;
};

using Reports = std::vector<std::pair<std::size_t, std::uint32_t>>;

TEST(TapDetector, DefaultsAreTheDocumentedWords)
{
    const vnx_TapDetectorConfig_s c = defaults();
    EXPECT_EQ(c.thresholdQ24, 134217728); // 8.0 m/s^2
    EXPECT_EQ(c.peakTimeUs, 30000);
    EXPECT_EQ(c.settleTimeUs, 45000);
    EXPECT_EQ(c.doubleTapWindowUs, 250000);
    EXPECT_EQ(c.doubleTapMinGapUs, 120000);
    EXPECT_EQ(vnx_TapDetector_getVersion(), 1);
}

TEST(TapDetector, DecodeTapFieldGivesTheDirectionOfEachAxis)
{
    const struct
    {
        std::uint32_t field;
        int x, y, z;
    } cases[] = {
        {0x00, 0, 0, 0}, {0x01, -1, 0, 0}, {0x03, 1, 0, 0},  {0x02, 0, 0, 0}, {0x04, 0, -1, 0},
        {0x0C, 0, 1, 0}, {0x10, 0, 0, -1}, {0x30, 0, 0, 1},  {0x43, 2, 0, 0}, {0x50, 0, 0, -2},
        {0x3F, 1, 1, 1}, {0x80, 0, 0, 0},  {0xC1, -2, 0, 0}, {0x40, 0, 0, 0},
    };
    for (const auto& c : cases) {
        std::int8_t x = 9, y = 9, z = 9;
        EXPECT_EQ(vnx_TapDetector_decodeTapField(c.field, &x, &y, &z), 0);
        EXPECT_EQ(x, c.x) << std::hex << c.field;
        EXPECT_EQ(y, c.y) << std::hex << c.field;
        EXPECT_EQ(z, c.z) << std::hex << c.field;
    }
    std::int8_t v = 0;
    EXPECT_EQ(vnx_TapDetector_decodeTapField(0x43, &v, &v, nullptr), VNX_STATUS_INVALID_PARAMETER);
}

TEST(TapDetector, OneKnockTapsOnceAfterItsPeakAndSettleTime)
{
    const struct
    {
        std::int32_t periodUs;
        int axis;
        float ms2;
        std::uint32_t event;
        std::size_t delay; // peak samples + settle samples
    } cases[] = {
        {2000, kX, 10.0f, 0x03, 15 + 22},    {2000, kY, -10.0f, 0x04, 37},
        {2000, kZ, 12.0f, 0x30, 37},         {2000, kZ, -30.0f, 0x10, 37},
        {2500, kX, 10.0f, 0x03, 12 + 18},    {1000, kY, 9.0f, 0x0C, 30 + 45},
        {1, kX, 10.0f, 0x03, 30000 + 45000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.periodUs << " us, axis " << c.axis << ", " << c.ms2);
        TapRig rig(defaults(), c.periodUs);
        const std::size_t at = 50;
        EXPECT_EQ(rig.reports(calmWith(at + c.delay + 200, {{at, c.axis, c.ms2}})),
                  (Reports{{at + c.delay, c.event}}));
    }
}

TEST(TapDetector, NewPeriodRederivesTheSampleCounts)
{
    TapRig rig(defaults(), 2000);
    rig.setPeriod(1000);
    EXPECT_EQ(rig.reports(calmWith(300, {{50, kX, 10.0f}})), (Reports{{50 + 75, 0x03}}));
}

TEST(TapDetector, FirstSampleNeverTaps)
{
    // Gravity alone is a change of 9.81 m/s^2 on z from "no sample": the
    // first sample must not count as a knock.
    TapRig rig;
    EXPECT_EQ(rig.reports(calmWith(200, {})), Reports{});
}

TEST(TapDetector, SmallKnocksAreNoTaps)
{
    TapRig rig;
    EXPECT_EQ(rig.reports(calmWith(300, {{50, kX, 7.5f}, {150, kZ, -7.5f}})), Reports{});
}

TEST(TapDetector, MotionDuringTheSettleTimeRejectsTheKnock)
{
    // A knock on x at 50 (peak until 65, settle 66..87, tap at 87), then a
    // step change of x: half the threshold (4 m/s^2) or more within the
    // settle time means the device is moving, not tapped.
    const struct
    {
        std::size_t stepAt;
        float stepMs2;
        bool taps;
    } cases[] = {
        {70, 4.2f, false}, {70, 3.7f, true}, {87, 4.2f, false},
        {88, 4.2f, true},  {60, 4.2f, true}, // during the peak it is part of the knock
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "step of " << c.stepMs2 << " at " << c.stepAt);
        TapRig rig;
        const auto found = rig.reports(calmWith(300, {{50, kX, 10.0f}, {c.stepAt, kX, c.stepMs2, 0}}));
        EXPECT_EQ(found, c.taps ? (Reports{{87, 0x03}}) : Reports{});
    }
}

TEST(TapDetector, SecondTapOnTheSameAxisWithinTheWindowIsADoubleTap)
{
    // At 2000 us: window 125 samples, a second tap counts from 60 samples
    // (120 ms) after the first up to 124.
    const struct
    {
        std::size_t gap; // samples between the knocks, so between the taps
        int secondAxis;
        std::uint32_t secondEvent;
    } cases[] = {
        {75, kX, 0x43},  // 150 ms
        {60, kX, 0x43},  // exactly the shortest gap
        {124, kX, 0x43}, // last sample of the window
        {59, kX, 0x03},  // too early: a single tap
        {125, kX, 0x03}, // the first has expired
        {75, kZ, 0x30},  // another axis
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "gap " << c.gap << ", axis " << c.secondAxis);
        TapRig rig;
        const std::size_t first = 40, second = first + c.gap;
        EXPECT_EQ(rig.reports(calmWith(second + 200, {{first, kX, 10.0f}, {second, c.secondAxis, 10.0f}})),
                  (Reports{{first + 37, 0x03}, {second + 37, c.secondEvent}}));
    }
}

TEST(TapDetector, EarlySecondTapLeavesTheFirstPending)
{
    // 80 ms after the first: a plain tap; the first still waits, and a third
    // tap 170 ms after the first completes the double tap.
    TapRig rig;
    EXPECT_EQ(rig.reports(calmWith(400, {{40, kX, 10.0f}, {80, kX, 10.0f}, {125, kX, 10.0f}})),
              (Reports{{77, 0x03}, {117, 0x03}, {162, 0x43}}));
}

TEST(TapDetector, DoubleTapDoesNotStartAnother)
{
    // Three knocks 75 samples apart: the second completes a double tap, the
    // third starts afresh instead of pairing with the second.
    TapRig rig;
    EXPECT_EQ(rig.reports(calmWith(500, {{40, kX, 10.0f}, {115, kX, 10.0f}, {190, kX, 10.0f}})),
              (Reports{{77, 0x03}, {152, 0x43}, {227, 0x03}}));
}

TEST(TapDetector, NoDoubleTapsWhenTheWindowIsZero)
{
    vnx_TapDetectorConfig_s config = defaults();
    config.doubleTapWindowUs = 0;
    TapRig rig(config);
    EXPECT_EQ(rig.reports(calmWith(500, {{40, kX, 10.0f}, {115, kX, 10.0f}, {190, kX, -10.0f}})),
              (Reports{{77, 0x03}, {152, 0x03}, {227, 0x01}}));
}

TEST(TapDetector, CallersBitSevenSurvivesEveryCall)
{
    TapRig rig;
    const auto events = rig.run(calmWith(200, {{50, kZ, -10.0f}}), 0xFFFFFFFFu);
    for (std::size_t i = 0; i < events.size(); ++i)
        EXPECT_EQ(events[i], i == 87 ? 0x90u : 0x80u) << "sample " << i;
}

TEST(TapDetector, LargestKnockAmongTheAxesFinishingTogetherIsReported)
{
    const struct
    {
        std::vector<Knock> knocks;
        std::size_t at;
        std::uint32_t event;
    } cases[] = {
        {{{50, kX, 9.0f}, {50, kZ, 12.0f}}, 87, 0x30},
        {{{50, kX, 12.0f}, {50, kZ, 9.0f}}, 87, 0x03},
        {{{50, kX, 9.0f}, {50, kY, -12.0f}}, 87, 0x04},
        {{{50, kX, 9.0f}, {51, kY, 15.0f}, {52, kZ, 11.0f}}, 87, 0x0C}, // y ends 1 sample later
        {{{50, kX, 9.0f}, {55, kY, 12.0f}}, 87, 0x03}, // y has 5 more samples to settle: too far off
        // A knock on x rejected by motion leaves nothing behind: a later,
        // smaller knock on z is reported on z.
        {{{20, kX, 20.0f}, {40, kX, 5.0f, 0}, {100, kZ, 10.0f}}, 137, 0x30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "expected " << std::hex << c.event);
        TapRig rig;
        EXPECT_EQ(rig.reports(calmWith(300, c.knocks)), (Reports{{c.at, c.event}}));
    }
}

TEST(TapDetector, TimesShorterThanOneSampleStillTap)
{
    // Peak and settle times below the period give zero samples; the axis
    // must still move on rather than stay in its peak for good.
    const struct
    {
        std::int32_t peakUs, settleUs;
        std::size_t delay;
    } cases[] = {{1000, 45000, 1 + 22}, {30000, 1000, 15 + 1}, {0, 0, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.peakUs << " / " << c.settleUs);
        vnx_TapDetectorConfig_s config = defaults();
        config.peakTimeUs = c.peakUs;
        config.settleTimeUs = c.settleUs;
        TapRig rig(config);
        EXPECT_EQ(rig.reports(calmWith(200, {{50, kX, 10.0f}})), (Reports{{50 + c.delay, 0x03}}));
    }
}

TEST(TapDetector, ProcessAllocatesNothing)
{
    TapRig rig;
    const auto records = accelerometerRecords(calmWith(2000, {{50, kX, 10.0f}, {150, kX, 10.0f}}), 2000);
    long taps = 0;
    const long allocations = vnx::test::allocationsDuring([&] {
        for (const vnx_Mobile_Output_s& in : records) {
            vnx_Detector_Output_s out{};
            std::uint8_t flag = 0;
            vnx_TapDetector_process(rig.handle_, &in, &out, &flag);
            taps += out.event != 0;
        }
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(taps, 2);
}

} // namespace
