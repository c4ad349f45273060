// The cursor stage of the main road: SensorFusion fed with a still device,
// its Output going to the ExtendedCursor with the desktop client's settings.

#include <gtest/gtest.h>

#include "extendedCursor/cursorRig.h"
#include "sensorFusionModule/fusionRig.h"
#include "support/allocationCounter.h"

namespace extendedCursorTest {
namespace {

using sensorFusionTest::CoreLibrary;
using sensorFusionTest::FusionRig;
using sensorFusionTest::kFlat;
using sensorFusionTest::kNoRotation;
using sensorFusionTest::testDevice;

TEST(MainRoad, AStillDeviceLeavesThePointerWhereTheFirstSamplePutIt)
{
    CoreLibrary core;
    FusionRig fusion;
    ASSERT_GE(fusion.init(testDevice().build()), 0);
    CursorRig cursor;
    ASSERT_EQ(cursor.init(), 0);
    cursor.desktopSettings();

    ASSERT_GE(fusion.step6AG(kFlat, kNoRotation), 0);
    ASSERT_EQ(cursor.process(fusion.motion(), fusion.motionFormat()), 0);
    const int32_t x = cursor.out.x, y = cursor.out.y;
    EXPECT_EQ(cursor.out.pointerState, 0u);
    for (int i = 0; i < 1250; ++i) { // 10 s
        ASSERT_GE(fusion.step6AG(kFlat, kNoRotation), 0);
        ASSERT_EQ(cursor.process(fusion.motion(), fusion.motionFormat()), 0);
        ASSERT_EQ(cursor.out.x, x) << i;
        ASSERT_EQ(cursor.out.y, y) << i;
        ASSERT_EQ(cursor.out.dx, 0) << i;
        ASSERT_EQ(cursor.out.dy, 0) << i;
        ASSERT_EQ(cursor.out.pointerState, 0u) << i;
        ASSERT_EQ(cursor.out.sample, fusion.motion().sampleNumber);
    }
}

TEST(MainRoad, ProcessAllocatesNothingAfterTheFirstSample)
{
    for (uint32_t pointingMode : {2u, 3u}) {
        CursorRig rig;
        ASSERT_EQ(rig.init(), 0);
        rig.desktopSettings();
        vnx_ExtendedCursor_Config_s config;
        vnx_ExtendedCursor_initConfig(&config);
        rig.cursor.getConfig(&config.config);
        config.pointingMode = pointingMode;
        ASSERT_EQ(rig.cursor.setConfig(&config.config), 0);
        rig.step();
        const long allocations = vnx::test::allocationsDuring([&] {
            for (int i = 0; i < 2000; ++i) {
                const float t = 0.008f * i;
                rig.setRates(0.3f * std::sin(t), 0.6f * std::cos(0.7f * t));
                const float h = 0.2f * std::sin(0.5f * t);
                rig.setOrientation(std::cos(h), 0.0f, 0.0f, std::sin(h));
                rig.buttons.activity = (i % 300 == 0) ? VNX_BUTTON_ACTIVITY_PRESS : 0;
                rig.step();
            }
        });
        EXPECT_EQ(allocations, 0) << pointingMode;
    }
}

} // namespace
} // namespace extendedCursorTest
