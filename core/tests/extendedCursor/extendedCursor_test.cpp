#include <gtest/gtest.h>

#include <cmath>

#include "common/statusCode.h"
#include "extendedCursor/cursorRig.h"

namespace extendedCursorTest {
namespace {

TEST(ExtendedCursor, InitAppliesTheDefaults)
{
    CursorRig rig;
    ASSERT_EQ(rig.init(), 0);
    EXPECT_EQ(rig.cursor.modeFlags(), 0x4801u);
    ZephraPtr_Config engine;
    rig.cursor.engine().getConfig(engine);
    EXPECT_NEAR(engine.gain, 1280.0f / (0.5235988f * 1994.1073f), 1e-5f);
    EXPECT_NEAR(engine.gain, 1.226f, 1e-3f);
    EXPECT_EQ(engine.ballistics, 1u);
    EXPECT_EQ(engine.alignmentMode, 1u);
    EXPECT_EQ(engine.alignmentScale, 1.2f);
    EXPECT_EQ(engine.suppression[0], 0u);
    EXPECT_STREQ(rig.cursor.ballistics().curve().getName(), "Approved");
    EXPECT_EQ(rig.cursor.period(), 0.0f);
    // The engine keeps its own display until the first set-bounds.
    EXPECT_EQ(rig.cursor.engine().osdBounds().width, 640);
}

TEST(ExtendedCursor, CurveSelectorThreeIgnoresTheDisplayHeight)
{
    for (uint32_t mickey : {0u, 1u}) {
        CursorRig rig;
        rig.init();
        vnx_ExtendedCursor_Config_s config;
        vnx_ExtendedCursor_initConfig(&config);
        config.curveSelector = 3;
        config.enableMickeyConversion = mickey;
        ASSERT_EQ(rig.cursor.setConfig(&config.config), 0);
        ASSERT_EQ(rig.setBounds(0, 0, 2560, 1440), 0);
        EXPECT_FLOAT_EQ(rig.cursor.ballistics().getScreenSizeGain(), 1.0f) << mickey;
        ZephraPtr_Config engine;
        rig.cursor.engine().getConfig(engine);
        EXPECT_EQ(engine.enableMickeyConversion, 0u);
        EXPECT_EQ(engine.ballistics, 0u);
        EXPECT_STREQ(rig.cursor.ballistics().curve().getName(), "PointerResponse");
        // The gain follows the new width at once.
        EXPECT_NEAR(engine.gain, 2560.0f / (0.5235988f * 1994.1073f), 1e-4f);
    }
}

TEST(ExtendedCursor, FirstSampleSetsUpThePeriod)
{
    CursorRig rig;
    rig.init();
    ASSERT_EQ(rig.step(), 0);
    EXPECT_FLOAT_EQ(rig.cursor.period(), 0.008f);
    const auto& c = rig.cursor.buttonSuppression().config();
    const int expected[4][2] = {{47, 35}, {16, 8}, {37, 45}, {37, 45}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(c.event[k].holdSamples, expected[k][0]) << k;
        EXPECT_EQ(c.event[k].radius, expected[k][1]) << k;
    }
    ZephraPtr_Config engine;
    rig.cursor.engine().getConfig(engine);
    EXPECT_EQ(engine.periodUs, 8000u);
    EXPECT_EQ(rig.outFormat.periodUs, 8000u);
    EXPECT_EQ(rig.out.sample, 1u);
}

TEST(ExtendedCursor, SetConfigRefusesBadRecordsAndKeepsTheStoredOne)
{
    CursorRig rig;
    rig.init();
    vnx_ExtendedCursor_Config_s config;
    vnx_ExtendedCursor_initConfig(&config);
    config.curveSelector = 7;
    ASSERT_EQ(rig.cursor.setConfig(&config.config), 0);
    vnx_ExtendedCursor_Config_s bad = config;
    bad.curveSelector = 2;
    bad.standardCursor.outputSelector = 1; // byte 112
    EXPECT_EQ(rig.cursor.setConfig(&bad.config), VNX_STATUS_INVALID_CONFIG);
    bad = config;
    bad.standardCursor.formatWord0 = 0;
    EXPECT_EQ(rig.cursor.setConfig(&bad.config), VNX_STATUS_INVALID_CONFIG);
    vnx_ExtendedCursor_Config_s stored;
    vnx_ExtendedCursor_initConfig(&stored);
    ASSERT_EQ(rig.cursor.getConfig(&stored.config), 0);
    EXPECT_EQ(stored.curveSelector, 7u);
    // Records of other modules are passed on.
    vnx_ShakeDetector_Config_s other;
    vnx_ShakeDetector_initConfig(&other);
    EXPECT_EQ(rig.cursor.setConfig(&other.config), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(rig.cursor.getConfig(&other.config), VNX_STATUS_NOT_FOR_ME);
    vnx_StructCommand_s otherCommand;
    vnx_ShakeDetector_initCommand(&otherCommand);
    EXPECT_EQ(rig.cursor.sendCommand(&otherCommand), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(rig.command(13), 0);
    EXPECT_EQ(rig.command(0), 0);
}

TEST(ExtendedCursor, LockedAxesHoldTheirValue)
{
    CursorRig rig;
    rig.init();
    vnx_ExtendedCursor_Config_s config;
    vnx_ExtendedCursor_initConfig(&config);
    config.pointingMode = 1; // relative
    config.preFilter = 0;
    ASSERT_EQ(rig.cursor.setConfig(&config.config), 0);
    rig.setRates(0.0f, 0.0f);
    rig.step();
    const int32_t heldX = rig.out.x;
    ASSERT_EQ(rig.command(ZEPHRA_CURSOR_COMMAND_LOCK_AXES, 2), 0);
    rig.setRates(0.4f, 0.4f); // moves right and up
    for (int i = 0; i < 10; ++i)
        rig.step();
    EXPECT_EQ(rig.out.x, heldX);
    const int32_t movedY = rig.out.y;
    EXPECT_NE(movedY, 0);
    // Sending 2 again changes nothing; 0 releases the lock.
    ASSERT_EQ(rig.command(ZEPHRA_CURSOR_COMMAND_LOCK_AXES, 2), 0);
    rig.step();
    EXPECT_EQ(rig.out.x, heldX);
    ASSERT_EQ(rig.command(ZEPHRA_CURSOR_COMMAND_LOCK_AXES, 0), 0);
    rig.step();
    EXPECT_NE(rig.out.x, heldX);
}

TEST(ExtendedCursor, SuppressedSamplesReportNoCounts)
{
    CursorRig rig;
    rig.init();
    rig.setRates(0.0f, 0.3f);
    rig.step();
    rig.buttons.activity = VNX_BUTTON_ACTIVITY_FORCE_SUPPRESSION;
    rig.step();
    EXPECT_EQ(rig.out.dx, 0);
    EXPECT_EQ(rig.out.dy, 0);
    rig.buttons.activity = 0;
    rig.step();
    EXPECT_NE(rig.out.dx, 0);
}

TEST(ExtendedCursor, RecenterModeCommandAndShakePullIn)
{
    CursorRig rig;
    rig.init();
    vnx_ExtendedCursor_Config_s config;
    vnx_ExtendedCursor_initConfig(&config);
    config.pointingMode = 1;
    config.preFilter = 0;
    ASSERT_EQ(rig.cursor.setConfig(&config.config), 0);
    ASSERT_EQ(rig.command(ZEPHRA_CURSOR_COMMAND_SET_RECENTER_MODE, 1), 0);
    vnx_ExtendedCursor_Config_s stored;
    vnx_ExtendedCursor_initConfig(&stored);
    rig.cursor.getConfig(&stored.config);
    EXPECT_EQ(stored.recenterMode, 1u);
    EXPECT_EQ(stored.pointingMode, 1u);

    vnx_ExtendedCursor_Command_s force;
    vnx_ExtendedCursor_initCommand(&force);
    force.code = ZEPHRA_CURSOR_COMMAND_FORCE_LOCATION;
    force.data.forceLocation = {420, 240};
    rig.cursor.sendCommand(&force.command);
    rig.shake.shake = 1;
    rig.shake.outputValue = 0.11f;
    rig.step();
    EXPECT_EQ(rig.out.x, 405); // 15 % towards the centre (320, 240)
}

TEST(ExtendedCursor, HideAndShowCommandsReachTheOutput)
{
    CursorRig rig;
    rig.init();
    rig.step();
    EXPECT_EQ(rig.out.pointerState, 0u);
    rig.command(ZEPHRA_CURSOR_COMMAND_FORCE_HIDE);
    ZephraPtr_ProcessResult r;
    const_cast<vnx::ZephraPtr&>(rig.cursor.engine()).getLocation(r);
    EXPECT_EQ(r.pointerState, 1u);
    rig.command(ZEPHRA_CURSOR_COMMAND_FORCE_SHOW);
    const_cast<vnx::ZephraPtr&>(rig.cursor.engine()).getLocation(r);
    EXPECT_EQ(r.pointerState, 0u);
}

TEST(ExtendedCursor, RefusesMissingInputs)
{
    CursorRig rig;
    rig.init();
    const vnx_StructOutput_s* inputs[] = {&rig.motion.output, &rig.buttons.output, &rig.shake.output};
    const vnx_StructFormat_s* formats[] = {&rig.format.format, nullptr, nullptr};
    vnx_StructOutput_s* outputs[] = {&rig.out.output};
    EXPECT_EQ(rig.cursor.process(0, 2, inputs, formats, 0, 1, outputs, nullptr), -2);
    EXPECT_EQ(rig.cursor.process(0, 3, inputs, nullptr, 0, 1, outputs, nullptr), -2);
    const vnx_StructOutput_s* swapped[] = {&rig.buttons.output, &rig.motion.output, &rig.shake.output};
    EXPECT_EQ(rig.cursor.process(0, 3, swapped, formats, 0, 1, outputs, nullptr), -2);
    EXPECT_EQ(rig.cursor.process(0, 3, inputs, formats, 0, 1, outputs, nullptr), 0);
}

} // namespace
} // namespace extendedCursorTest
