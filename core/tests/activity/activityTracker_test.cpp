// The exported activity tracker: configuration and SCD checks, period
// negotiation per output category, and steps and activities end to end on
// synthetic walks and stillness at the settings the gait classifier was
// trained with (25 Hz, 1-s frames, the tracker's step channels).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "activity/ActivityTracker.h"
#include "activity/activityTrackerApi.h"
#include "activity/activityTrackerPool.h"
#include "common/statusCode.h"
#include "ldaScenarios.h"
#include "numerics/fixedPoint.h"
#include "stepFixture.h"
#include "support/allocationCounter.h"
#include "trackerFixture.h"

namespace {

using namespace vnx::activitytest;
using vnx::activity::trackerPool;
namespace training = vnx::ldatraining;

constexpr std::uint32_t kWalking = 1u << 6, kStairs = 1u << 8;
constexpr float kFlat[3] = {0.0f, 0.0f, 1.0f};

/// A tracker made through the exported functions.
class Tracker
{
  public:
    explicit Tracker(const vnx_ActivityTracker_atConfigMemory_s& config = trackerFixtureConfig())
    {
        const auto scd = phoneScd();
        EXPECT_EQ(vnx_ActivityTracker_initialize(&handle, &config, scd.data(), scd.size()),
                  VNX_STATUS_SUCCESS);
    }
    ~Tracker() { vnx_ActivityTracker_finalize(handle); }
    Tracker(const Tracker&) = delete;
    Tracker& operator=(const Tracker&) = delete;

    /// The enable call; the categories record as it came back.
    vnx_ActivityTracker_OutputCategoriesPeriods_s enable(std::uint32_t classes, std::int32_t stepPeriod,
                                                         std::int32_t outputPeriod = 0,
                                                         std::int32_t periodIn = 0)
    {
        vnx_ActivityTracker_OutputCategoriesPeriods_s categories{classes, stepPeriod};
        periods = accelerometerPeriod(periodIn);
        pressurePeriod = 0;
        EXPECT_EQ(vnx_ActivityTracker_enableOutputPeriodsAndDeriveInputPeriods(
                      handle, &categories, outputPeriod, &periods, &pressurePeriod),
                  VNX_STATUS_SUCCESS);
        return categories;
    }

    int setPeriods(std::int32_t accelerometerUs, std::int32_t pressureUs = 100000)
    {
        const auto granted = accelerometerPeriod(accelerometerUs);
        return vnx_ActivityTracker_setInputPeriods(handle, &granted, pressureUs);
    }

    /// Enabled and running at the trained 25 Hz.
    void start(std::uint32_t classes, std::int32_t stepPeriod)
    {
        enable(classes, stepPeriod);
        ASSERT_EQ(setPeriods(training::kPeriodUs), VNX_STATUS_SUCCESS);
    }

    int process(const vnx_Mobile_Output_s& in, vnx_ActivityTracker_Output_s& out)
    {
        std::uint8_t flag = 9;
        const int status = vnx_ActivityTracker_process(handle, &in, &out, &flag);
        if (status == VNX_STATUS_SUCCESS) {
            EXPECT_EQ(flag, 0);
        }
        return status;
    }

    vnx_ActivityTracker_Handle handle = nullptr;
    vnx_Mobile_VirtualSensorPeriods_s periods{};
    std::int32_t pressurePeriod = 0;
};

std::uint32_t stateOf(vnx_ActivityTracker_Handle handle)
{
    return reinterpret_cast<const vnx::activity::ActivityTracker*>(handle)->state();
}

TEST(ActivityTracker, VersionAndSupportedClasses)
{
    EXPECT_EQ(vnx_ActivityTracker_getVersion(), 4);
    std::uint32_t flags = 0;
    EXPECT_EQ(vnx_ActivityTracker_getSupportedClassificationFlags(&flags), VNX_STATUS_SUCCESS);
    EXPECT_EQ(flags, 511u);
}

TEST(ActivityTracker, RefusedBlocksLeaveANullHandleAndNoInstance)
{
    const auto scd = phoneScd();
    auto corrupt = scd;
    corrupt[40] ^= 0x01; // the words no longer sum to zero
    const auto good = trackerFixtureConfig();
    auto version3 = good;
    version3.version = 3;
    auto size227 = good;
    size227.size = 227;
    auto badWindow = good;
    badWindow.innards.classifier.lda.windowLength = 0;

    struct Case
    {
        const char* name;
        const vnx_ActivityTracker_atConfigMemory_s* config;
        const std::uint8_t* scd;
        std::size_t length;
        int status;
    };
    const Case cases[] = {
        {"version 3", &version3, scd.data(), scd.size(), VNX_STATUS_INVALID_CONFIG},
        {"size 227", &size227, scd.data(), scd.size(), VNX_STATUS_INVALID_CONFIG},
        {"no block", nullptr, scd.data(), scd.size(), VNX_STATUS_INVALID_CONFIG},
        {"window the classifier refuses", &badWindow, scd.data(), scd.size(), VNX_STATUS_INVALID_CONFIG},
        {"SCD of 3 bytes", &good, scd.data(), 3, VNX_STATUS_INVALID_SCD},
        {"no SCD", &good, nullptr, 260, VNX_STATUS_INVALID_SCD},
        {"SCD words not summing to zero", &good, corrupt.data(), corrupt.size(), VNX_STATUS_INVALID_SCD},
        {"SCD longer than the bytes given", &good, scd.data(), 200, VNX_STATUS_INVALID_SCD},
    };
    const std::size_t before = trackerPool().size();
    for (const Case& c : cases) {
        vnx_ActivityTracker_Handle handle = reinterpret_cast<vnx_ActivityTracker_Handle>(&handle);
        EXPECT_EQ(vnx_ActivityTracker_initialize(&handle, c.config, c.scd, c.length), c.status) << c.name;
        EXPECT_EQ(handle, nullptr) << c.name;
        EXPECT_EQ(trackerPool().size(), before) << c.name;
    }
    EXPECT_EQ(vnx_ActivityTracker_initialize(nullptr, &good, scd.data(), scd.size()),
              VNX_STATUS_INVALID_PARAMETER);
}

TEST(ActivityTracker, OutOfMemoryLeavesTheHandleAlone)
{
    const auto config = trackerFixtureConfig();
    const auto scd = phoneScd();
    vnx_ActivityTracker_Handle handle = reinterpret_cast<vnx_ActivityTracker_Handle>(&handle);
    const auto untouched = handle;
    {
        vnx::test::FailingAllocations failing;
        EXPECT_EQ(vnx_ActivityTracker_initialize(&handle, &config, scd.data(), scd.size()),
                  VNX_STATUS_OUT_OF_MEMORY);
    }
    EXPECT_EQ(handle, untouched);
}

TEST(ActivityTracker, NoiseLevelIsTheLargestAxis)
{
    Tracker tracker;
    const auto* t = reinterpret_cast<const vnx::activity::ActivityTracker*>(tracker.handle);
    EXPECT_NEAR(t->noiseLevel(), 0.06f, 1e-4f);
    EXPECT_TRUE(t->isPhone());
    EXPECT_EQ(vnx_ActivityTracker_finalize(tracker.handle), 1);
    EXPECT_EQ(vnx_ActivityTracker_finalize(tracker.handle), 0);
    EXPECT_EQ(vnx_ActivityTracker_finalize(nullptr), 1);
    tracker.handle = nullptr;
}

TEST(ActivityTracker, CategoriesChooseWhatRuns)
{
    struct Case
    {
        const char* name;
        std::uint32_t classes;
        std::int32_t stepPeriod, outputPeriod, periodIn;
        std::uint32_t state, produced;
        std::int32_t stepPeriodOut, periodOut;
    };
    const Case cases[] = {
        {"nothing", 0, 0, 0, 0, 0, 0, 0, 0},
        {"unknown cannot be asked for", 1, 0, 0, 0, 0, 0, 0, 0},
        {"steps alone bring walking and running", 0, 100000, 0, 0, 3, 221, 100000, 40000},
        {"slow input is asked at 25 Hz", 0, 100000, 0, 50000, 3, 221, 100000, 40000},
        {"faster input stays", 0, 100000, 0, 20000, 3, 221, 100000, 20000},
        {"output period shortens the step period", 0, 200000, 50000, 0, 3, 221, 50000, 40000},
        {"output period fills a missing step period", kWalking, 0, 50000, 0, 3, 221, 50000, 40000},
        {"longer output period changes nothing", 0, 50000, 200000, 0, 3, 221, 50000, 40000},
        {"walking without steps", kWalking, 0, 0, 0, 1, 221, 0, 40000},
        {"in vehicle asks for 100 Hz", 1u << 1, 0, 0, 0, 1, 19, 0, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tracker tracker;
        const auto categories = tracker.enable(c.classes, c.stepPeriod, c.outputPeriod, c.periodIn);
        EXPECT_EQ(stateOf(tracker.handle), c.state);
        EXPECT_EQ(categories.stepPeriodUs, c.stepPeriodOut);
        if (c.state != 0) {
            EXPECT_EQ(categories.classes, c.produced);
            EXPECT_EQ(tracker.periods.periodUs[VNX_MOBILE_ACCELEROMETER], c.periodOut);
            ASSERT_EQ(tracker.setPeriods(c.periodOut), VNX_STATUS_SUCCESS);
        }
        vnx_ActivityTracker_OutputCategoriesPeriods_s effective{99, 99};
        std::int32_t frame = 99, acc = 99;
        const auto granted = accelerometerPeriod(c.periodOut);
        EXPECT_EQ(vnx_ActivityTracker_getEffectiveOutputPeriods(tracker.handle, &granted, 0, &effective,
                                                                &frame, &acc),
                  VNX_STATUS_SUCCESS);
        EXPECT_EQ(effective.classes, c.state != 0 ? c.produced : 0u);
        EXPECT_EQ(effective.stepPeriodUs, (c.state & 2) ? c.periodOut : 0);
        EXPECT_EQ(frame, c.state != 0 ? 1000000 : 0);
        EXPECT_EQ(acc, c.state != 0 ? c.periodOut : 0);
        if (c.state == 0) {
            vnx_ActivityTracker_Output_s out{};
            EXPECT_EQ(tracker.process(walk(0.1, 2.0, 40000)[0], out), VNX_STATUS_ASYNC_PENDING);
        }
    }
}

TEST(ActivityTracker, InputPeriodsOutsideTheLimitsDisable)
{
    struct Case
    {
        const char* name;
        std::int32_t deviceKind, period;
        int status;
    };
    const Case cases[] = {
        {"phone, 22.5 Hz", 0, 44444, VNX_STATUS_SUCCESS},
        {"phone, just slower", 0, 44445, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"watch: its classifier wants 23.75 Hz", 1, 44444, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"watch, 23.75 Hz", 1, 42105, VNX_STATUS_SUCCESS},
        {"no period", 0, 0, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"negative", 0, -40000, VNX_STATUS_ARRAY_SIZE_MISMATCH},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tracker tracker(trackerFixtureConfig(c.deviceKind));
        tracker.enable(kWalking, 100000);
        EXPECT_EQ(tracker.setPeriods(c.period), c.status);
        EXPECT_EQ(stateOf(tracker.handle), c.status == VNX_STATUS_SUCCESS ? 3u : 0u);
        vnx_ActivityTracker_Output_s out{};
        const int processed = tracker.process(still(0.04, 40000, kFlat)[0], out);
        EXPECT_EQ(processed, c.status == VNX_STATUS_SUCCESS ? VNX_STATUS_SUCCESS : VNX_STATUS_ASYNC_PENDING);
        // Disabled, later periods change nothing until the next enable call.
        if (c.status != VNX_STATUS_SUCCESS) {
            EXPECT_EQ(tracker.setPeriods(40000), VNX_STATUS_SUCCESS);
            EXPECT_EQ(stateOf(tracker.handle), 0u);
        }
    }
}

TEST(ActivityTracker, NothingIsWrittenWithoutAnAccelerometerSampleOrBeforeThePeriods)
{
    Tracker tracker;
    tracker.enable(kWalking, 100000);
    vnx_Mobile_Output_s in = walk(0.04, 2.0, 40000)[0];
    vnx_ActivityTracker_Output_s out;
    std::memset(&out, 0xA5, sizeof out);
    // Enabled but no periods yet: no frame, no steps.
    EXPECT_EQ(tracker.process(in, out), VNX_STATUS_ASYNC_PENDING);
    ASSERT_EQ(tracker.setPeriods(40000), VNX_STATUS_SUCCESS);
    in.validBits = 0x2; // gyroscope only
    EXPECT_EQ(tracker.process(in, out), VNX_STATUS_ASYNC_PENDING);
    EXPECT_EQ(out.valid, 0u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&out);
    for (std::size_t i = 4; i < sizeof out; ++i)
        ASSERT_EQ(bytes[i], 0xA5) << i;
}

struct TrackerRun
{
    std::vector<vnx_ActivityTracker_Output_s> outputs;
    std::vector<int> status;
};

TrackerRun runTracker(Tracker& tracker, const std::vector<vnx_Mobile_Output_s>& records)
{
    TrackerRun run;
    run.outputs.reserve(records.size());
    vnx_ActivityTracker_Output_s out;
    std::memset(&out, 0xA5, sizeof out);
    for (const auto& in : records) {
        run.status.push_back(tracker.process(in, out));
        run.outputs.push_back(out);
    }
    return run;
}

TEST(ActivityTracker, PhoneCountsAWalkAndNothingAtRest)
{
    Tracker tracker;
    tracker.start(kWalking, 100000);
    const auto walking = walk(60.0, 2.0, training::kPeriodUs, 41);
    const TrackerRun walked = runTracker(tracker, walking);
    std::size_t frames = 0;
    int walkingFrames = 0;
    for (std::size_t i = 0; i < walked.outputs.size(); ++i) {
        const auto& out = walked.outputs[i];
        ASSERT_EQ(walked.status[i], VNX_STATUS_SUCCESS);
        ASSERT_TRUE(out.valid & VNX_ACTIVITY_TRACKER_NEW_STEPS) << i;
        EXPECT_EQ(out.timeUs, walking[i].timeUs);
        EXPECT_EQ(out.steps.timeUs, walking[i].timeUs);
        const bool frameEnd = (i + 1) % 25 == 0;
        ASSERT_EQ((out.valid & VNX_ACTIVITY_TRACKER_NEW_CLASSIFICATION) != 0, frameEnd) << i;
        if (!frameEnd)
            continue;
        EXPECT_EQ(out.classification.timeUs, walking[i].timeUs);
        if (frames < training::kPhoneWindow) {
            EXPECT_EQ(out.classification.ldaActivity, 0) << "frame " << frames; // warming up
        }
        walkingFrames += out.classification.mostLikely == 6;
        ++frames;
    }
    EXPECT_EQ(frames, 60u);
    EXPECT_GT(walkingFrames, 45);
    const std::uint32_t walkedSteps = walked.outputs.back().steps.totalSteps;
    EXPECT_NEAR(walkedSteps, 120.0, 6.0);

    const auto resting =
        still(60.0, training::kPeriodUs, kFlat, 42, walking.back().timeUs + training::kPeriodUs);
    const TrackerRun rested = runTracker(tracker, resting);
    // The walk's last step may still be confirmed as the rest begins; after
    // that, and never beyond the steps walked, nothing is counted.
    const std::uint32_t settled = rested.outputs[2 * 25].steps.totalSteps;
    EXPECT_LE(settled - walkedSteps, 1u);
    EXPECT_LE(settled, 120u);
    EXPECT_EQ(rested.outputs.back().steps.totalSteps, settled);
    EXPECT_EQ(rested.outputs.back().classification.mostLikely, 4);
}

TEST(ActivityTracker, LongerFramesReportEveryFrame)
{
    // Two-second frames at 25 Hz: a classification every 50th sample, and
    // no gait verdict (code 0) while the LDA fills its window.
    Tracker tracker(trackerFixtureConfig(0, 2000000));
    tracker.start(kWalking, 100000);
    const auto walking = walk(20.0, 2.0, training::kPeriodUs, 43);
    const TrackerRun run = runTracker(tracker, walking);
    int frames = 0;
    for (std::size_t i = 0; i < run.outputs.size(); ++i) {
        const auto& out = run.outputs[i];
        const bool frameEnd = (i + 1) % 50 == 0;
        ASSERT_EQ((out.valid & VNX_ACTIVITY_TRACKER_NEW_CLASSIFICATION) != 0, frameEnd) << i;
        if (frameEnd && frames++ < training::kPhoneWindow) {
            EXPECT_EQ(out.classification.ldaActivity, 0);
        }
    }
    EXPECT_EQ(frames, 10);
}

TEST(ActivityTracker, SteepPressureOnAWalkIsClimbingStairs)
{
    Tracker tracker;
    tracker.enable(kWalking | kStairs, 100000);
    EXPECT_EQ(tracker.pressurePeriod, 100000);
    ASSERT_EQ(tracker.setPeriods(training::kPeriodUs, 100000), VNX_STATUS_SUCCESS);
    const auto walking = walk(40.0, 2.0, training::kPeriodUs, 44);

    // Pressure at 10 Hz from second 10 on, once the gait is known, rising
    // 0.01 hPa per sample (a brisk climb); read at 1 hPa = 2^20.
    std::vector<std::uint8_t> onStairs;
    int pressureSamples = 0;
    vnx_ActivityTracker_Output_s out{};
    for (const auto& in : walking) {
        ASSERT_EQ(tracker.process(in, out), VNX_STATUS_SUCCESS);
        if (in.timeUs >= 10000000 && in.timeUs % 100000 == 0 && pressureSamples < 123) {
            const float hPa = 1000.0f - 0.01f * pressureSamples;
            EXPECT_EQ(vnx_ActivityTracker_reportPressure(tracker.handle, fixedQ(hPa, 20), in.timeUs),
                      VNX_STATUS_SUCCESS);
            ++pressureSamples;
        }
        if (out.valid & VNX_ACTIVITY_TRACKER_NEW_CLASSIFICATION) {
            if (in.timeUs >= 10000000) {
                EXPECT_EQ(out.classification.ldaActivity, 6) << in.timeUs;
            }
            const std::uint8_t c = out.classification.confidence[8];
            if (onStairs.empty() || onStairs.back() != c)
                onStairs.push_back(c);
        }
    }
    EXPECT_EQ(onStairs, (std::vector<std::uint8_t>{0, 23, 90, 100}));
    // Without a classification request nothing reaches the stairs, and the
    // call still answers 0.
    Tracker idle;
    EXPECT_EQ(vnx_ActivityTracker_reportPressure(idle.handle, fixedQ(1000.0f, 20), 0), VNX_STATUS_SUCCESS);
}

TEST(ActivityTracker, WatchClassifierSeesTheVibrationChannel)
{
    Tracker tracker(trackerFixtureConfig(1));
    tracker.start(kWalking, 100000);
    const auto* t = reinterpret_cast<const vnx::activity::ActivityTracker*>(tracker.handle);
    EXPECT_FALSE(t->isPhone());
    runTracker(tracker, walk(10.0, 2.0, training::kPeriodUs, 45));
    const vnx::activity::LdaClassifier* lda = t->classifier().lda();
    ASSERT_EQ(lda->featureCount(), 6);
    EXPECT_GT(lda->features()[4], 0.0f); // vibration flags summed over the window
    EXPECT_GT(lda->features()[5], 0.0f); // steps
}

TEST(ActivityTracker, ProcessAllocatesNothing)
{
    Tracker tracker;
    tracker.enable(511, 100000, 0, 10000);
    ASSERT_EQ(tracker.setPeriods(10000), VNX_STATUS_SUCCESS);
    const auto records = walk(10.0, 2.0, 10000);
    vnx_ActivityTracker_Output_s out{};
    const long allocations = vnx::test::allocationsDuring([&] {
        for (const auto& in : records) {
            tracker.process(in, out);
            vnx_ActivityTracker_reportPressure(tracker.handle, 0, in.timeUs);
        }
    });
    EXPECT_EQ(allocations, 0);
}

} // namespace
