// The desktop client's road: a manual device hosting the ExtendedPipeBundle,
// fed sample by sample through the flat API as the client's motion thread
// does.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "bundleEntry/bundleEntry.h"
#include "common/moduleType.h"
#include "coreEntry/coreEntry.h"
#include "cursorMover/CursorMoverRecords.h"
#include "extEntry/extEntry.h"
#include "support/MotionTrace.h"
#include "support/allocationCounter.h"
#include "support/desktopDevice.h"
#include "support/fifoDirectory.h"
#include "support/fusionScenarios.h"
#include "support/recordingCursorPlatform.h"
#include "support/scopedEnv.h"

namespace {

using vnx::testsupport::DesktopDevice;
using vnx::testsupport::MotionSample;
using vnx::testsupport::MotionTrace;
using Types = std::vector<uint8_t>;

class PipeBundleRoadTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        // Logs off, as the properties are read when the core starts.
        setenv("VNX_LOG_GLOBAL_LEVEL", "OFF", 1);
        vnx_core_initialize();
        vnx_bundle_initialize();
        vnx_ext_initialize();
    }
    static void TearDownTestSuite()
    {
        vnx_ext_finalize();
        vnx_bundle_finalize();
        vnx_core_finalize();
        unsetenv("VNX_LOG_GLOBAL_LEVEL");
    }

    PipeBundleRoadTest() { vnx::testsupport::handMotion(trace_, 300.0); }

    /// The next sample of the trace; buttons as given.
    int step(uint32_t buttons = 0)
    {
        const MotionSample* sample = trace_.next();
        if (sample == nullptr) {
            ADD_FAILURE() << "trace ended";
            return -1;
        }
        return device_.step(sample->output6AG, sample->format6AG, buttons);
    }
    int start(bool timedDcdSave = true)
    {
        const MotionSample* first = trace_.next();
        return device_.start(first->output6AG, first->format6AG, timedDcdSave);
    }
    Types lastTypes() const
    {
        const auto& last = device_.last();
        return Types(last.types.begin(), last.types.begin() + static_cast<long>(last.count));
    }

    vnx::testsupport::FifoDirectory scratch_;
    ScopedEnv dcdPath_{"VNX_DCD_PATH", scratch_.path().c_str()};
    ScopedEnv noRawLog_{"VNX_LOG_RAWINPUT", nullptr};
    ScopedEnv noOutputLog_{"VNX_LOG_OUTPUT", nullptr};
    vnx::testsupport::RecordingCursorPlatforms platforms_;
    const scdGen4Float_s scd_ = vnx::testsupport::realisticDevice().build();
    MotionTrace trace_{scd_, vnx::testsupport::realisticNoise(11, {0.01, -0.004, 0.02})};
    DesktopDevice device_{scd_};
};

TEST_F(PipeBundleRoadTest, EachSampleGivesTheSixRecordsOfThePipeBundle)
{
    ASSERT_EQ(start(), 0);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(step(i % 100 < 10 ? 1u : 0u), 0);
        ASSERT_EQ(device_.last().calls, i + 2);
        ASSERT_EQ(lastTypes(), (Types{4, 3, 9, 5, 13, 98})) << "sample " << i;
    }
}

TEST_F(PipeBundleRoadTest, ALinearGestureAddedThroughTheDeviceGetsTheSeventhRecord)
{
    ASSERT_EQ(start(), 0);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(step(), 0);
    }
    ASSERT_EQ(device_.addGesture(VNX_TYPE_LINEAR_GESTURE), 0);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(step(), 0);
        ASSERT_EQ(device_.last().result, 0);
        ASSERT_EQ(lastTypes(), (Types{4, 3, 9, 5, 13, 98, 10})) << "sample " << i;
    }
}

TEST_F(PipeBundleRoadTest, SetBoundsThroughTheDeviceReachesTheCursorEngineAndTheCursorMover)
{
    ASSERT_EQ(start(), 0);
    vnx::testsupport::RecordingCursorPlatform* platform = platforms_.newest();
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(platform->count("init"), 1u) << "the start's set-bounds initialised it";
    EXPECT_EQ(platform->bounds().width, 5120);

    vnx_CursorMover_Config_s mover;
    vnx_CursorMover_initConfig(&mover);
    mover.mode = 1;
    ASSERT_EQ(vnx_Device_setConfig(device_.device(), &mover.config), 0);

    // The engine's positions follow a display at (20000, 30000); the
    // CursorMover gets the pointer limits, not the display.
    ASSERT_EQ(device_.setBounds({20000, 30000, 1920, 1080}, {20100, 30200, 1000, 500}), 0);
    EXPECT_EQ(platform->count("init"), 1u);
    EXPECT_EQ(platform->bounds().x, 20100);
    EXPECT_EQ(platform->bounds().y, 30200);
    EXPECT_EQ(platform->bounds().width, 1000);
    EXPECT_EQ(platform->bounds().height, 500);
    platform->calls.clear();
    int shown = 0;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(step(), 0);
        const vnx_ExtendedCursor_Output_s& cursor = device_.last().cursor;
        if (cursor.pointerState != 1) {
            ++shown;
            EXPECT_GE(cursor.x, 20000);
            EXPECT_LT(cursor.x, 20000 + 1920);
            EXPECT_GE(cursor.y, 30000);
            EXPECT_LT(cursor.y, 30000 + 1080);
        }
    }
    EXPECT_GT(shown, 0);
    EXPECT_EQ(platform->count("moveTo") + platform->count("hideCursor"), 1000u);
}

TEST_F(PipeBundleRoadTest, NoSampleAllocatesAfterStartUp)
{
    // The timed calibration save writes a file once a minute of samples; it
    // is no per-sample work and stays out of the count.
    ASSERT_EQ(start(false), 0);
    // Start-up: the host's stores take their shape, the fusion settles.
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(step(), 0);
    }
    int failures = 0;
    long allocations = vnx::test::allocationsDuring([&] {
        for (int i = 0; i < 5000; ++i) {
            failures += step(i % 200 < 20 ? 3u : 0u) != 0;
        }
    });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(allocations, 0) << (vnx::test::countsCAllocations() ? "operator new and the C allocator"
                                                                  : "operator new");

    // With a LinearGesture: its addition and the new output shape allocate,
    // the samples after do not.
    ASSERT_EQ(device_.addGesture(VNX_TYPE_LINEAR_GESTURE), 0);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(step(), 0);
    }
    ASSERT_EQ(device_.last().count, 7u);
    allocations = vnx::test::allocationsDuring([&] {
        for (int i = 0; i < 5000; ++i) {
            failures += step(i % 200 < 20 ? 1u : 0u) != 0;
        }
    });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(allocations, 0);
}

} // namespace
