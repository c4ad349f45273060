// The StandardMoverBundle: the StandardBundle with the ButtonMapper,
// CursorMover, MotionPipe and the LinearGesture and CursorGesture recognisers
// around it, each run on every sample. No library registers the
// StandardBundle's fusion (type 17): the tests run the bundle without it, as
// a device gets it, and with a stand-in fusion to follow a sample through
// every step.

#include "standardMoverBundle/StandardMoverBundle.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonMapper/ButtonMapperRecords.h"
#include "bundleTestSupport/turningFusion.h"
#include "common/moduleType.h"
#include "cursorMover/CursorMoverRecords.h"
#include "gesture/CursorGestureRecords.h"
#include "gesture/LinearGestureRecords.h"
#include "moverRig.h"
#include "motionPipe/MotionPipeRecords.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"
#include "standardCursor/StandardCursorRecords.h"
#include "support/FakeModule.h"
#include "support/extLibraries.h"
#include "support/fifoDirectory.h"
#include "support/scopedEnv.h"

namespace moverTest {
namespace {

using Types = std::vector<uint8_t>;
using vnx::testsupport::FakeModuleType;

class StandardMoverBundleTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { libraries_ = new vnx::testsupport::ExtLibraries; }
    static void TearDownTestSuite()
    {
        delete libraries_;
        libraries_ = nullptr;
    }

    static vnx::testsupport::ExtLibraries* libraries_;
};

vnx::testsupport::ExtLibraries* StandardMoverBundleTest::libraries_ = nullptr;

/// With the stand-in fusion registered before the bundle is made.
class WithFusionTest : public StandardMoverBundleTest
{
  protected:
    // A child without a stored calibration warns (2); the chain goes on.
    WithFusionTest() { EXPECT_GE(rig_.init(), 0); }

    FakeModuleType fusion_{bundleTest::turningFusion()};
    MoverRig rig_;
};

TEST_F(StandardMoverBundleTest, AnnouncesEightOutputsAndTheStandardBundlesInputs)
{
    MoverRig rig;
    vnx::ModuleInterface& m = rig.module();
    EXPECT_EQ(m.getType(), VNX_TYPE_STANDARD_MOVER_BUNDLE);

    uint8_t types[8] = {};
    size_t count = 0;
    ASSERT_EQ(m.getOutputInterface(0, 8, types, count), 0);
    EXPECT_EQ(Types(types, types + count), (Types{4, 3, 6, 5, 13, 98, 10, 11}));
    uint8_t few[7] = {};
    count = 0;
    EXPECT_EQ(m.getOutputInterface(0, 7, few, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(Types(few, few + 7), Types(7, 0)) << "a list too short is not written";
    EXPECT_EQ(m.getOutputInterface(1, 8, types, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(m.getOutputInterfaceCount(), 1);

    EXPECT_EQ(m.getInputInterfaceCount(), 3);
    uint8_t input[4] = {};
    ASSERT_EQ(m.getInputInterface(0, 4, input, count), 0);
    EXPECT_EQ(Types(input, input + count), (Types{1, 1, 5}));
    ASSERT_EQ(m.getInputInterface(2, 4, input, count), 0);
    EXPECT_EQ(Types(input, input + count), (Types{2, 5}));
}

TEST_F(StandardMoverBundleTest, RefusedSamplesWriteNothing)
{
    MoverRig rig;
    const std::vector<Bytes> before = rig.snapshot();
    struct Case
    {
        const char* what;
        int inputInterface;
        size_t inputCount;
        size_t outputCount;
        int expected;
    };
    const Case cases[] = {
        {"interface 3", 3, 3, 8, VNX_STATUS_INVALID_INTERFACE},
        {"interface -1", -1, 3, 8, VNX_STATUS_INVALID_INTERFACE},
        {"7 output slots", 0, 3, 7, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"9 output slots", 0, 3, 9, VNX_STATUS_ARRAY_SIZE_MISMATCH},
        {"no button input on interface 0", 0, 2, 8, VNX_STATUS_INVALID_PARAMETER},
        {"no button input on interface 1", 1, 3, 8, VNX_STATUS_INVALID_PARAMETER},
        {"a sample record where interface 2 has its buttons", 2, 2, 8, VNX_STATUS_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rig.step(1, c.inputInterface, c.inputCount, c.outputCount), c.expected) << c.what;
        EXPECT_EQ(rig.snapshot(), before) << c.what;
    }

    // Slot 3 must be able to take the button record's copy.
    vnx_StructOutput_s* outputs[8] = {};
    vnx_StructFormat_s* formats[8] = {};
    for (size_t i = 0; i < 8; ++i) {
        outputs[i] = rig.outputRecord(i);
        formats[i] = rig.formatRecord(i);
    }
    outputs[3] = rig.outputRecord(2);
    const vnx_StructOutput_s* inputs[] = {&rig.acc_.output, &rig.gyro_.output, &rig.buttons_.output};
    const vnx_StructFormat_s* inputFormats[] = {&rig.sampleFormat_.format, &rig.sampleFormat_.format,
                                                &rig.buttonFormat_};
    EXPECT_EQ(rig.module().process(0, 3, inputs, inputFormats, 0, 8, outputs, formats),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(rig.module().process(0, 3, inputs, inputFormats, 0, 8, nullptr, nullptr),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(rig.snapshot(), before);
}

TEST_F(StandardMoverBundleTest, WithoutTheFusionEverySampleEndsInTheStandardBundle)
{
    MoverRig rig;
    EXPECT_EQ(rig.init(), VNX_STATUS_NOT_ACTIVE);
    const std::vector<Bytes> before = rig.snapshot();
    EXPECT_EQ(rig.step(1), VNX_STATUS_NOT_ACTIVE);
    const std::vector<Bytes> after = rig.snapshot();
    for (size_t slot = 2; slot < 8; ++slot) {
        EXPECT_EQ(after[slot], before[slot]) << "slot " << slot << ": no later step ran";
    }

    // A SensorFusion Config stops at the StandardBundle's absent fusion; the
    // CursorGesture, which answers every Config type, never gets it.
    vnx_SensorFusion_Config_s fusion;
    vnx_SensorFusion_initConfig(&fusion);
    EXPECT_EQ(rig.module().setConfig(&fusion.config), VNX_STATUS_NOT_ACTIVE);
    EXPECT_EQ(rig.module().getConfig(&fusion.config), VNX_STATUS_NOT_ACTIVE);
}

TEST_F(StandardMoverBundleTest, ItsOwnRecordsAreAcceptedAndOthersRoutedInChildOrder)
{
    FakeModuleType fusion(bundleTest::turningFusion());
    MoverRig rig;
    vnx::ModuleInterface& m = rig.module();

    vnx_StandardMoverBundle_Config_s own;
    vnx_StandardMoverBundle_initConfig(&own);
    const vnx_StandardMoverBundle_Config_s copy = own;
    EXPECT_EQ(m.setConfig(&own), 0);
    EXPECT_EQ(m.getConfig(&own), 0);
    EXPECT_EQ(std::memcmp(&own, &copy, sizeof own), 0) << "nothing written";
    vnx_StandardMoverBundle_Command_s command;
    vnx_StandardMoverBundle_initCommand(&command);
    fusion.clearCalls();
    EXPECT_EQ(m.sendCommand(&command), 0);
    EXPECT_TRUE(fusion.calls().empty()) << "reaches no child";

    // A LinearGesture Config passes the four children before it.
    vnx_LinearGesture_Config_s linear;
    vnx_LinearGesture_initConfig(&linear);
    linear.sliderMax = 7.5f;
    ASSERT_EQ(m.setConfig(&linear.config), 0);
    vnx_LinearGesture_Config_s linearBack;
    vnx_LinearGesture_initConfig(&linearBack);
    ASSERT_EQ(m.getConfig(&linearBack.config), 0);
    EXPECT_EQ(linearBack.sliderMax, 7.5f);

    // A ButtonMapper Config stops at the CursorMover, which keeps it for its
    // platform.
    vnx_ButtonMapper_Config_s mapper;
    vnx_ButtonMapper_initConfig(&mapper);
    EXPECT_EQ(m.setConfig(&mapper.config), 0);
    EXPECT_EQ(rig.platform().count("setButtonMapperConfig"), 1u);

    // Through the StandardBundle to its fusion.
    vnx_SensorFusion_Config_s fusionConfig;
    vnx_SensorFusion_initConfig(&fusionConfig);
    fusion.clearCalls();
    EXPECT_EQ(m.setConfig(&fusionConfig.config), 0);
    EXPECT_EQ(fusion.calls("setConfig").size(), 1u);
}

TEST_F(WithFusionTest, EverySampleRunsEveryChildAndLeavesSlotFourAlone)
{
    const Bytes slotFour = rig_.snapshot()[4];
    auto& fused = rig_.output<vnx_SensorFusion_Output_s>(1);
    auto& cursor = rig_.output<vnx_StandardCursor_Output_s>(2);
    auto& copied = rig_.output<vnx_ButtonActivity_Output_s>(3);
    auto& mapped = rig_.output<vnx_ButtonMapper_Output_s>(5);
    auto& linear = rig_.output<vnx_LinearGesture_Output_s>(6);
    auto& gesture = rig_.output<vnx_CursorGesture_Output_s>(7);
    int moved = 0;
    for (uint32_t i = 0; i < 300; ++i) {
        const uint32_t buttons = (i / 40) % 2;
        rig_.buttons_.wheel = static_cast<int32_t>(i % 7) - 3;
        ASSERT_EQ(rig_.step(buttons), 0) << i;
        EXPECT_EQ(fused.sampleNumber, i + 1);
        EXPECT_EQ(cursor.sample, fused.sampleNumber);
        EXPECT_EQ(std::memcmp(&copied, &rig_.buttons_, sizeof copied), 0) << "a byte copy of input 2";
        EXPECT_EQ(std::memcmp(rig_.formatRecord(3), &rig_.buttonFormat_, sizeof rig_.buttonFormat_), 0);
        EXPECT_EQ(mapped.held, buttons) << "button 0 is mouse button 1";
        EXPECT_EQ(linear.sampleNumber, fused.sampleNumber);
        EXPECT_EQ(gesture.sampleNumber, cursor.sample);
        moved += cursor.dx != 0 || cursor.dy != 0;
    }
    EXPECT_GT(moved, 250) << "the turn moves the relative cursor";
    EXPECT_EQ(rig_.snapshot()[4], slotFour);
    // The CursorMover is off until configured: no platform call.
    EXPECT_EQ(rig_.platform().count("moveDelta") + rig_.platform().count("sendButtons"), 0u);
}

TEST_F(WithFusionTest, ACursorMoverSwitchedOnMovesByTheRelativeCountsWithTheMappedButtons)
{
    vnx_CursorMover_Config_s mover;
    vnx_CursorMover_initConfig(&mover);
    mover.mode = VNX_CURSOR_MOVER_MODE_DELTA;
    ASSERT_EQ(rig_.module().setConfig(&mover.config), 0);
    rig_.platform().calls.clear();
    auto& cursor = rig_.output<vnx_StandardCursor_Output_s>(2);
    int32_t dxSum = 0;
    int32_t dySum = 0;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(rig_.step(i >= 50 ? 1 : 0), 0);
        dxSum += cursor.dx;
        dySum += cursor.dy;
    }
    const auto& calls = rig_.platform().calls;
    ASSERT_EQ(rig_.platform().count("moveDelta"), 100u);
    int32_t movedX = 0;
    int32_t movedY = 0;
    for (const auto& call : calls) {
        movedX += call.x;
        movedY += call.y;
    }
    // The counts' value format is whole counts here.
    EXPECT_EQ(movedX, dxSum);
    EXPECT_EQ(movedY, dySum);
    EXPECT_NE(movedX, 0);
    EXPECT_EQ(calls[49].buttons.held, 0u);
    EXPECT_EQ(calls[50].buttons.held, 1u);
    EXPECT_EQ(calls[50].buttons.pressed, 1u);
}

TEST_F(WithFusionTest, InterpretedMotionTakesItsButtonsFromInputOne)
{
    vnx_SensorInterpretation_Output_s motion;
    vnx_SensorInterpretation_Format_s motionFormat;
    vnx_SensorInterpretation_initOutput(&motion);
    vnx_SensorInterpretation_initFormat(&motionFormat);
    rig_.buttons_.buttons = 2;
    rig_.buttons_.activity = 0x11;
    const vnx_StructOutput_s* inputs[] = {&motion.output, &rig_.buttons_.output};
    const vnx_StructFormat_s* formats[] = {&motionFormat.format, &rig_.buttonFormat_};
    for (uint32_t i = 1; i <= 20; ++i) {
        motion.sampleNumber = i;
        ASSERT_EQ(rig_.process(2, 2, inputs, formats), 0);
    }
    EXPECT_EQ(std::memcmp(rig_.outputRecord(3), &rig_.buttons_, sizeof rig_.buttons_), 0);
    EXPECT_EQ(rig_.output<vnx_ButtonMapper_Output_s>(5).held, 2u);
}

TEST_F(WithFusionTest, AChildsWarningIsKeptAndItsErrorEndsTheSample)
{
    fusion_.script().process = nullptr;
    fusion_.script().answers["process"] = VNX_STATUS_WARNING_WAITING_FOR_FUSION;
    auto& mapped = rig_.output<vnx_ButtonMapper_Output_s>(5);
    EXPECT_EQ(rig_.step(1), VNX_STATUS_WARNING_WAITING_FOR_FUSION);
    EXPECT_EQ(mapped.held, 1u) << "the later steps ran";

    fusion_.script().answers["process"] = VNX_STATUS_PROCESS_ERROR;
    const std::vector<Bytes> before = rig_.snapshot();
    EXPECT_EQ(rig_.step(0), VNX_STATUS_PROCESS_ERROR);
    const std::vector<Bytes> after = rig_.snapshot();
    for (size_t slot = 2; slot < 8; ++slot) {
        EXPECT_EQ(after[slot], before[slot]) << "slot " << slot;
    }
}

/// The records each sample puts into the motion pipe, as an outside reader
/// of the FIFO receives them.
class MotionPipeTest : public WithFusionTest
{
  protected:
    MotionPipeTest()
    {
        reader_ = ::open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
        vnx_MotionPipe_Config_s pipe;
        vnx_MotionPipe_initConfig(&pipe);
        EXPECT_LE(fifo_.size(), sizeof pipe.pipeName);
        std::memcpy(pipe.pipeName, fifo_.data(), std::min(fifo_.size(), sizeof pipe.pipeName));
        EXPECT_EQ(rig_.module().setConfig(&pipe.config), 0);
    }
    ~MotionPipeTest() override
    {
        if (reader_ >= 0) {
            ::close(reader_);
        }
    }

    Bytes drain() { return vnx::testsupport::readAvailable(reader_); }

    /// Format then Output of each of the pipe's inputs, those longer than a
    /// header.
    static void appendPair(Bytes& bytes, const void* format, const void* output)
    {
        for (const void* record : {format, output}) {
            if (static_cast<const vnx_Struct_s*>(record)->size > sizeof(vnx_Struct_s)) {
                appendRecord(bytes, record);
            }
        }
    }

    vnx::testsupport::FifoDirectory dir_;
    ScopedEnv noCreation_{"VNX_PERMISSION_CREATE_NAMED_PIPE", nullptr};
    std::string fifo_ = dir_.fifo("m");
    int reader_ = -1;
};

TEST_F(MotionPipeTest, EachSampleCarriesTheSecondInputTheCursorSlotFourAndTheLinearGesture)
{
    ASSERT_GE(reader_, 0);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(rig_.step(i % 10 == 0 ? 1 : 0), 0);
        Bytes expected;
        appendPair(expected, &rig_.sampleFormat_, &rig_.gyro_);
        for (size_t slot : {2u, 4u, 6u}) {
            appendPair(expected, rig_.formatRecord(slot), rig_.outputRecord(slot));
        }
        ASSERT_EQ(drain(), expected) << "sample " << i;
    }
}

} // namespace
} // namespace moverTest
