#include "extendedPipeBundle/ExtendedPipeBundle.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonMapper/ButtonMapperRecords.h"
#include "bundleCommon/bundleModuleType.h"
#include "common/moduleType.h"
#include "cursorMover/CursorMoverRecords.h"
#include "extCommon/extModuleType.h"
#include "deviceMotion/DeviceMotionFloatRecords.h"
#include "gestureBundle/GestureBundleRecords.h"
#include "motionPipe/MotionPipeRecords.h"
#include "pipeBundleRig.h"
#include "support/fifoDirectory.h"
#include "support/recordBytes.h"
#include "support/scopedEnv.h"

namespace pipeBundleTest {
namespace {

using Types = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

class ExtendedPipeBundleTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { libraries_ = new Libraries; }
    static void TearDownTestSuite()
    {
        delete libraries_;
        libraries_ = nullptr;
    }

    /// A GestureBundle command through the pipe bundle.
    int addGesture(uint8_t type)
    {
        vnx_GestureBundle_Command_s command;
        vnx_GestureBundle_initCommand(&command);
        command.code = VNX_GESTURE_BUNDLE_COMMAND_ADD_MODULE;
        command.argument.instanceId = 0;
        command.argument.type = type;
        return rig_.module().sendCommand(&command.command);
    }

    static Libraries* libraries_;
    PipeBundleRig rig_;
};

Libraries* ExtendedPipeBundleTest::libraries_ = nullptr;

TEST_F(ExtendedPipeBundleTest, AFreshBundleFillsSixSlotsAndRefusesOtherCounts)
{
    EXPECT_EQ(rig_.types(), (Types{4, 3, 9, 5, 13, 98}));
    ASSERT_EQ(rig_.init(), 0);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(rig_.step(), 0);
    }
    for (size_t slot = 0; slot < 6; ++slot) {
        EXPECT_EQ(rig_.outputRecord(slot)->header.type, rig_.types()[slot]);
    }
    // Each sample's cursor output carries the sample's number.
    auto& cursor = rig_.output<vnx_ExtendedCursor_Output_s>(2);
    const uint32_t sample = cursor.sample;
    EXPECT_GT(sample, 0u);
    for (size_t count : {5u, 7u, 0u}) {
        EXPECT_EQ(rig_.step(0, count), VNX_STATUS_ARRAY_SIZE_MISMATCH) << count;
        EXPECT_EQ(cursor.sample, sample) << "nothing written";
    }
    ASSERT_EQ(rig_.step(), 0);
    EXPECT_NE(cursor.sample, sample);

    // The interface: asked for the count only, too small, a bad id.
    size_t count = 0;
    uint8_t types[6] = {};
    EXPECT_EQ(rig_.module().getOutputInterface(0, 5, types, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(rig_.module().getOutputInterface(1, 6, types, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(rig_.module().getOutputInterfaceCount(), 1);
    // The ExtendedBundle's input interfaces, unchanged.
    EXPECT_EQ(rig_.module().getInputInterfaceCount(), 7);
    uint8_t input[4] = {};
    ASSERT_EQ(rig_.module().getInputInterface(5, 4, input, count), 0);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(input[0], VNX_TYPE_DEVICE_SUPPORT_6AG);
}

TEST_F(ExtendedPipeBundleTest, AGestureAddedAtRunTimeGetsTheSeventhSlot)
{
    ASSERT_EQ(rig_.init(), 0);
    ASSERT_EQ(rig_.step(), 0);
    ASSERT_EQ(addGesture(VNX_TYPE_LINEAR_GESTURE), 0);

    // A host asks for the count with no list: answered without the gesture
    // list being written anywhere.
    size_t count = 0;
    EXPECT_EQ(rig_.module().getOutputInterface(0, 0, nullptr, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 7u);
    uint8_t types[7] = {};
    EXPECT_EQ(rig_.module().getOutputInterface(0, 6, types, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(types[6], 0) << "a list too short is not written";

    EXPECT_EQ(rig_.step(), VNX_STATUS_ARRAY_SIZE_MISMATCH) << "still shaped for 6";
    rig_.reshape();
    EXPECT_EQ(rig_.types(), (Types{4, 3, 9, 5, 13, 98, 10}));
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(rig_.step(), 0);
    }
    EXPECT_EQ(rig_.outputRecord(6)->header.type, VNX_TYPE_LINEAR_GESTURE);
    EXPECT_NE(rig_.outputRecord(6)->header.instanceId, 0u) << "stamped by the GestureBundle";

    // Up to four recognisers; the list follows the GestureBundle's order.
    ASSERT_EQ(addGesture(VNX_TYPE_MULTISTROKE_GESTURE), 0);
    ASSERT_EQ(addGesture(VNX_TYPE_LINEAR_GESTURE), 0);
    ASSERT_EQ(addGesture(VNX_TYPE_LINEAR_GESTURE), 0);
    rig_.reshape();
    EXPECT_EQ(rig_.types(), (Types{4, 3, 9, 5, 13, 98, 10, 24, 10, 10}));
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(rig_.step(), 0);
    }
}

TEST_F(ExtendedPipeBundleTest, SetBoundsReachesTheCursorEngineAndInitialisesTheCursorMoverOnce)
{
    vnx_ExtendedCursor_Config_s cursorConfig;
    vnx_ExtendedCursor_initConfig(&cursorConfig);
    ASSERT_EQ(rig_.module().getConfig(&cursorConfig.config), 0);
    desktopCursor(cursorConfig);
    ASSERT_EQ(rig_.module().setConfig(&cursorConfig.config), 0);
    ASSERT_EQ(rig_.init(), 0);
    ASSERT_EQ(rig_.setMoverMode(1), 0);
    EXPECT_TRUE(rig_.bundle().cursorMoverEnabled());
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(rig_.step(), 0);
    }
    // Neither init nor process reach the CursorMover before its bounds.
    EXPECT_EQ(rig_.platform().count("init"), 0u);
    EXPECT_EQ(rig_.platform().count("moveTo") + rig_.platform().count("hideCursor"), 0u);

    // A display far from the origin: the engine's positions move there.
    const vnx_ExtendedCursor_Bounds_s osd = {10000, 20000, 1920, 1080};
    const vnx_ExtendedCursor_Bounds_s limits = {10000, 20000, 1920, 1080};
    const vnx_ExtendedCursor_Bounds_s second = {0, 0, 5120, 3200};
    ASSERT_EQ(rig_.setBounds(osd, {10, 20, 1000, 800}), 0);
    ASSERT_EQ(rig_.setBounds(osd, limits), 0);
    EXPECT_EQ(rig_.platform().count("init"), 1u);
    EXPECT_EQ(rig_.platform().count("setBounds"), 2u);
    EXPECT_EQ(rig_.platform().bounds().x, 10000);
    EXPECT_EQ(rig_.platform().bounds().height, 1080);
    EXPECT_TRUE(rig_.bundle().cursorMoverInitialized());

    rig_.platform().calls.clear();
    auto& cursor = rig_.output<vnx_ExtendedCursor_Output_s>(2);
    int shown = 0;
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(rig_.step(), 0);
        if (cursor.pointerState != 1) {
            ++shown;
            EXPECT_GE(cursor.x, 10000);
            EXPECT_LT(cursor.x, 10000 + 1920);
            EXPECT_GE(cursor.y, 20000);
            EXPECT_LT(cursor.y, 20000 + 1080);
        }
    }
    EXPECT_GT(shown, 0);
    // One platform call per sample, with the cursor output of that sample.
    ASSERT_EQ(rig_.platform().count("moveTo") + rig_.platform().count("hideCursor"), 500u);
    EXPECT_EQ(rig_.platform().calls.back().operation, cursor.pointerState == 1 ? "hideCursor" : "moveTo");

    // Mode 0 through the bundle switches the step off again.
    ASSERT_EQ(rig_.setBounds(second, second), 0);
    EXPECT_EQ(rig_.platform().count("init"), 0u) << "the second set-bounds does not initialise";
    ASSERT_EQ(rig_.setMoverMode(0), 0);
    rig_.platform().calls.clear();
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(rig_.step(), 0);
    }
    EXPECT_TRUE(rig_.platform().calls.empty());

    // A later init of the bundle now reaches the CursorMover; term always does.
    ASSERT_EQ(rig_.init(), 0);
    EXPECT_EQ(rig_.platform().count("init"), 1u);
    ASSERT_EQ(rig_.module().term(), 0);
    EXPECT_EQ(rig_.platform().count("term"), 1u);
}

TEST_F(ExtendedPipeBundleTest, ButtonsAreMappedAndHandedToTheCursorMoverWithTheCursor)
{
    ASSERT_EQ(rig_.init(), 0);
    ASSERT_EQ(rig_.setMoverMode(2), 0);
    ASSERT_EQ(rig_.setBounds({0, 0, 1920, 1080}, {0, 0, 1920, 1080}), 0);
    rig_.platform().calls.clear();
    auto& mapped = rig_.output<vnx_ButtonMapper_Output_s>(5);
    auto& cursor = rig_.output<vnx_ExtendedCursor_Output_s>(2);

    ASSERT_EQ(rig_.step(0x3), 0);
    EXPECT_EQ(mapped.held, 3);
    EXPECT_EQ(mapped.pressed, 3);
    ASSERT_EQ(rig_.step(0x3), 0);
    EXPECT_EQ(mapped.held, 3);
    EXPECT_EQ(mapped.pressed, 0);
    ASSERT_EQ(rig_.step(0x1), 0);
    EXPECT_EQ(mapped.released, 2);
    ASSERT_EQ(rig_.platform().calls.size(), 3u);
    const auto& last = rig_.platform().calls.back();
    EXPECT_EQ(last.operation, "moveDelta");
    EXPECT_EQ(last.x, cursor.dx);
    EXPECT_EQ(last.y, cursor.dy);
    EXPECT_EQ(last.buttons.held, 1);
    EXPECT_EQ(last.buttons.released, 2);
}

TEST_F(ExtendedPipeBundleTest, AButtonMapperConfigStopsAtTheCursorMover)
{
    ASSERT_EQ(rig_.init(), 0);
    vnx_ButtonMapper_Config_s map;
    vnx_ButtonMapper_initConfig(&map);
    std::memset(map.mouseButtonMap, 0xAA, sizeof map.mouseButtonMap);
    ASSERT_EQ(rig_.module().getConfig(&map.config), 0);
    EXPECT_EQ(map.mouseButtonMap[1], 2) << "the CursorMover's held map starts as the mapper's own";
    EXPECT_EQ(map.mouseButtonMap[8], 0);

    map.mouseButtonMap[0] = 4;
    map.keyCodes[3] = 0x24;
    ASSERT_EQ(rig_.module().setConfig(&map.config), 0);
    EXPECT_EQ(rig_.platform().buttonMapperConfig().keyCodes[3], 0x24);
    // The ButtonMapper child keeps its default map.
    auto& mapped = rig_.output<vnx_ButtonMapper_Output_s>(5);
    ASSERT_EQ(rig_.step(0x9), 0);
    EXPECT_EQ(mapped.held, 9);
    EXPECT_EQ(mapped.pressedKeys, 0u);
}

TEST_F(ExtendedPipeBundleTest, ItsOwnRecordsStayWithIt)
{
    vnx_ExtendedPipeBundle_Config_s config;
    vnx_ExtendedPipeBundle_initConfig(&config);
    EXPECT_EQ(config.motionPipeEnabled, 0);
    config.motionPipeEnabled = 1;
    config.config.header.instanceId = 0x1234;
    config.config.result = 7;
    ASSERT_EQ(rig_.module().setConfig(&config.config), 0);
    auto back = vnx::testsupport::filled<vnx_ExtendedPipeBundle_Config_s>();
    vnx_ExtendedPipeBundle_initConfig(&back);
    ASSERT_EQ(rig_.module().getConfig(&back.config), 0);
    EXPECT_EQ(back.config.header.instanceId, 0x1234u);
    EXPECT_EQ(back.config.result, 7);
    EXPECT_EQ(back.motionPipeEnabled, 1);
    EXPECT_EQ(std::memcmp(&back.config.header, &config.config.header, sizeof config.config.header), 0);

    // Its own Command reaches no child (routed, it would end in the
    // GestureBundle's -3).
    vnx_ExtendedPipeBundle_Command_s command;
    vnx_ExtendedPipeBundle_initCommand(&command);
    EXPECT_EQ(rig_.module().sendCommand(&command), 0);
    vnx_StructCommand_s nobodys = command;
    nobodys.header.type = 55;
    EXPECT_EQ(rig_.module().sendCommand(&nobodys), VNX_STATUS_NOT_FOR_ME);

    // A short record of its type is refused, not read past its end.
    vnx_StructConfig_s shortConfig = config.config;
    shortConfig.header.size = sizeof shortConfig;
    EXPECT_EQ(rig_.module().setConfig(&shortConfig), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(rig_.module().getConfig(&shortConfig), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(rig_.module().getType(), VNX_TYPE_EXTENDED_PIPE_BUNDLE);

    struct Case
    {
        uint8_t kind;
        uint16_t size;
    };
    for (const Case c : {Case{1, 40}, Case{2, 32}, Case{3, 32}, Case{4, 16}, Case{5, 16}}) {
        vnx_Struct_s header = {c.size, 102, c.kind, 1, {}, 0};
        EXPECT_TRUE(vnx_ExtendedPipeBundle_isStructValid(&header)) << int(c.kind);
        header.version = 2;
        EXPECT_FALSE(vnx_ExtendedPipeBundle_isStructValid(&header)) << int(c.kind);
    }
}

TEST_F(ExtendedPipeBundleTest, AChildsErrorEndsTheSampleWithEarlierSlotsWritten)
{
    ASSERT_EQ(rig_.init(), 0);
    ASSERT_EQ(rig_.step(), 0);
    auto& cursor = rig_.output<vnx_ExtendedCursor_Output_s>(2);
    const uint32_t sample = cursor.sample;
    // Slot 5 holding another type's record: the ButtonMapper refuses it.
    vnx_StructOutput_s* mapped = rig_.outputRecord(5);
    mapped->header.type = VNX_TYPE_BUTTON_ACTIVITY;
    EXPECT_EQ(rig_.step(), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_NE(cursor.sample, sample) << "the ExtendedBundle's slots are written";
    mapped->header.type = VNX_TYPE_BUTTON_MAPPER;
    EXPECT_EQ(rig_.step(), 0);
}

TEST(ExtendedPipeBundleChildren, AnAbsentChildAnswersMinus14WhereItIsCalled)
{
    Libraries libraries;
    // The CursorMover and the GestureBundle cannot be made.
    vnx_CursorMover_moduleFactoryUnregister();
    vnx::ModuleInterface* module = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_EXTENDED_PIPE_BUNDLE);
    ASSERT_NE(module, nullptr);
    auto& bundle = *dynamic_cast<vnx::ExtendedPipeBundle*>(module);
    EXPECT_FALSE(bundle.cursorMoverEnabled());

    vnx_ExtendedCursor_Command_s bounds;
    vnx_ExtendedCursor_initCommand(&bounds);
    bounds.code = ZEPHRA_CURSOR_COMMAND_SET_BOUNDS;
    bounds.data.setBounds = {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}};
    EXPECT_EQ(module->sendCommand(&bounds.command), 0) << "the cursor engine still gets its bounds";
    vnx_CursorMover_Config_s mover;
    vnx_CursorMover_initConfig(&mover);
    EXPECT_EQ(module->setConfig(&mover.config), VNX_STATUS_NOT_ACTIVE);
    EXPECT_EQ(module->term(), VNX_STATUS_NOT_ACTIVE);
    vnx::ModuleFactory::destroyModule(module);

    // Without its GestureBundle the bundle cannot say its output shape, so
    // it runs no sample.
    ASSERT_EQ(vnx_CursorMover_moduleFactoryRegister(), 0);
    vnx_GestureBundle_moduleFactoryUnregister();
    module = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_EXTENDED_PIPE_BUNDLE);
    ASSERT_NE(module, nullptr);
    size_t count = 0;
    uint8_t types[10] = {};
    EXPECT_EQ(module->getOutputInterface(0, 10, types, count), VNX_STATUS_NOT_ACTIVE);
    vnx_StructOutput_s* outputs[6] = {};
    vnx_StructFormat_s* formats[6] = {};
    EXPECT_EQ(module->process(5, 0, nullptr, nullptr, 0, 6, outputs, formats), VNX_STATUS_NOT_ACTIVE);
    vnx::ModuleFactory::destroyModule(module);
    ASSERT_EQ(vnx_GestureBundle_moduleFactoryRegister(), 0);
}

} // namespace
} // namespace pipeBundleTest
