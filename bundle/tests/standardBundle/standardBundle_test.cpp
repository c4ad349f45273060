// The StandardBundle: nine-axis interpretation, activity, fusion and the
// relative cursor behind one module, configured and commanded by record type.
// The system registers no module of its fusion type (17): the tests run it
// absent, and with a fake module in its place to see what reaches it.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "activityClassification/ActivityClassificationRecords.h"
#include "bundleCommon/bundleModuleType.h"
#include "bundleTestSupport/bundleLibraries.h"
#include "bundleTestSupport/turningFusion.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "calibration/dcdData.h"
#include "calibration/scdData.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "deviceSupport/DeviceSupport.h"
#include "moduleFactory/ModuleFactory.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorFusionModule/fusionRig.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"
#include "standardBundle/StandardBundleRecords.h"
#include "standardCursor/StandardCursorRecords.h"
#include "support/FakeModule.h"
#include "support/recordBytes.h"

namespace bundleTest {
namespace {

using sensorFusionTest::testDevice;
using vnx::testsupport::FakeCall;
using vnx::testsupport::FakeModuleScript;
using vnx::testsupport::FakeModuleType;
using vnx::testsupport::valueAt;

class StandardRig
{
  public:
    StandardRig()
    {
        module_ = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_STANDARD_BUNDLE);
        clearOutputs();
    }
    ~StandardRig() { vnx::ModuleFactory::destroyModule(module_); }
    StandardRig(const StandardRig&) = delete;
    StandardRig& operator=(const StandardRig&) = delete;

    int init()
    {
        scd_ = testDevice().build();
        int scdOffset = 0;
        int dcdOffset = 0;
        return module_->init(&scd_.head, scdOffset, nullptr, dcdOffset);
    }

    /// A flat, still device on interface 0: accelerometer and gyroscope.
    int stepRaw()
    {
        vnx_DeviceSupport_Output_s acc = freshRecord(vnx_DeviceSupport_initOutput);
        acc.sensor = 1;
        acc.z = -16384;
        vnx_DeviceSupport_Output_s gyro = freshRecord(vnx_DeviceSupport_initOutput);
        gyro.sensor = 2;
        vnx_DeviceSupport_Format_s format = freshRecord(vnx_DeviceSupport_initFormat);
        format.sampleNumber = ++sampleNumber_;
        vnx_ButtonActivity_Output_s button = freshRecord(vnx_ButtonActivity_initOutput);
        const vnx_StructOutput_s* inputs[] = {&acc.output, &gyro.output, &button.output};
        const vnx_StructFormat_s* formats[] = {&format.format, &format.format, nullptr};
        return process(0, 3, inputs, formats, 0, 3);
    }

    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** formats, int outputInterface, size_t outputCount)
    {
        vnx_StructOutput_s* outputs[] = {&activity.output, &fusion.output, &cursor.output};
        vnx_StructFormat_s* outputFormats[] = {&activityFormat, &fusionFormat.format, &cursorFormat.format};
        return module_->process(inputInterface, inputCount, inputs, formats, outputInterface, outputCount,
                                outputs, outputFormats);
    }

    void clearOutputs()
    {
        activity = freshRecord(vnx_ActivityClassification_initOutput);
        activityFormat = freshRecord(vnx_ActivityClassification_initFormat);
        fusion = freshRecord(vnx_SensorFusion_initOutput);
        fusionFormat = freshRecord(vnx_SensorFusion_initFormat);
        cursor = freshRecord(vnx_StandardCursor_initOutput);
        cursorFormat = freshRecord(vnx_StandardCursor_initFormat);
    }

    int command(uint32_t code)
    {
        vnx_StandardBundle_Command_s command = freshRecord(vnx_StandardBundle_initCommand);
        command.code = code;
        return module_->sendCommand(&command.command);
    }

    vnx::ModuleInterface* module() { return module_; }

    vnx_ActivityClassification_Output_s activity;
    vnx_ActivityClassification_Format_s activityFormat;
    vnx_SensorFusion_Output_s fusion;
    vnx_SensorFusion_Format_s fusionFormat;
    vnx_StandardCursor_Output_s cursor;
    vnx_StandardCursor_Format_s cursorFormat;

  private:
    vnx::ModuleInterface* module_ = nullptr;
    scdGen4Float_s scd_{};
    uint32_t sampleNumber_ = 0;
};

TEST(StandardBundle, WithoutItsFusionEveryOperationThatNeedsItAnswersNotActive)
{
    BundleLibraries libraries;
    StandardRig rig;
    ASSERT_NE(rig.module(), nullptr);
    vnx::ModuleInterface& m = *rig.module();

    EXPECT_EQ(rig.init(), -14);
    // The interpretation child was initialised (it answers -13 before): the
    // sample gets as far as the activity slot.
    rig.activity.flags = 0x0F;
    EXPECT_EQ(rig.stepRaw(), -14);
    EXPECT_EQ(rig.activity.flags & 0x0F, 0) << "activity ran before the fusion was needed";

    EXPECT_EQ(m.setModuleListener(nullptr), -14);
    dcdAlg49AxisFixed_s dcd{};
    int offset = 0;
    EXPECT_EQ(m.getDcd(&dcd.head, sizeof dcd, offset), -14);
    vnx_SensorFusion_Config_s fusionConfig = freshRecord(vnx_SensorFusion_initConfig);
    EXPECT_EQ(m.getConfig(&fusionConfig.config), -14);
    EXPECT_EQ(m.setConfig(&fusionConfig.config), -14);
    vnx_StandardBundle_Config_s own = freshRecord(vnx_StandardBundle_initConfig);
    EXPECT_EQ(m.setConfig(&own.config), -14);
    for (uint32_t code : {0u, 1u, 3u, 7u}) {
        EXPECT_EQ(rig.command(code), -14) << code;
    }

    // What does not need the fusion still answers.
    own.pointerScale = 3 * 65536;
    ASSERT_EQ(m.setConfig(&own.config), -14);
    vnx_StandardBundle_Config_s readBack = freshRecord(vnx_StandardBundle_initConfig);
    EXPECT_EQ(m.getConfig(&readBack.config), 0);
    EXPECT_EQ(readBack.pointerScale, 3 * 65536) << "the Config is kept";
    vnx_StandardCursor_Config_s cursorConfig = freshRecord(vnx_StandardCursor_initConfig);
    EXPECT_EQ(m.getConfig(&cursorConfig.config), -1);
    EXPECT_EQ(m.setConfig(&cursorConfig.config), 0);
    vnx_ActivityClassification_Config_s other = freshRecord(vnx_ActivityClassification_initConfig);
    EXPECT_EQ(m.setConfig(&other.config), -3);
    EXPECT_EQ(m.getConfig(&other.config), -3);
    vnx_SensorFusion_Command_s foreign = freshRecord(vnx_SensorFusion_initCommand);
    EXPECT_EQ(m.sendCommand(&foreign.command), -3);
}

TEST(StandardBundle, CommandsBecomeFusionCommands)
{
    BundleLibraries libraries;
    FakeModuleType fusion(turningFusion());
    StandardRig rig;
    struct Case
    {
        uint32_t bundleCode;
        uint32_t fusionCode;
    };
    const Case cases[] = {{1, 4}, {2, 5}, {3, 6}, {4, 9}, {7, 0}, {0, 0}, {0xFFFFFFFFu, 0}};
    for (const Case& c : cases) {
        fusion.clearCalls();
        EXPECT_EQ(rig.command(c.bundleCode), 0);
        const std::vector<FakeCall> sent = fusion.calls("sendCommand");
        ASSERT_EQ(sent.size(), 1u);
        ASSERT_EQ(sent[0].record.size(), sizeof(vnx_SensorFusion_Command_s));
        EXPECT_EQ(sent[0].record[2], VNX_TYPE_SENSOR_FUSION);
        EXPECT_EQ(valueAt<uint32_t>(sent[0].record.data(), 32), c.fusionCode) << c.bundleCode;
    }
    // The fusion's answer is the bundle's.
    fusion.script().answers["sendCommand"] = 3;
    EXPECT_EQ(rig.command(1), 3);
}

TEST(StandardBundle, BundleConfigSetsTheOptionBitAndReorientationOfTheFusionConfig)
{
    BundleLibraries libraries;
    vnx_SensorFusion_Config_s reported = freshRecord(vnx_SensorFusion_initConfig);
    reported.flags = 0x0A5Fu | (1u << 9);
    reported.reserved3 = 0x12345678u;
    FakeModuleScript script = turningFusion();
    script.config.assign(reinterpret_cast<const uint8_t*>(&reported),
                         reinterpret_cast<const uint8_t*>(&reported) + sizeof reported);
    FakeModuleType fusion(script);
    StandardRig rig;

    for (uint8_t option : {uint8_t{0}, uint8_t{1}, uint8_t{200}}) {
        fusion.clearCalls();
        vnx_StandardBundle_Config_s config = freshRecord(vnx_StandardBundle_initConfig);
        config.fusionOption = option;
        const int16_t quarterTurn[4] = {11585, 0, 0, 11585};
        std::memcpy(config.reorientation, quarterTurn, sizeof quarterTurn);
        ASSERT_EQ(rig.module()->setConfig(&config.config), 0);

        const std::vector<FakeCall> set = fusion.calls("setConfig");
        ASSERT_EQ(set.size(), 1u);
        vnx_SensorFusion_Config_s sent;
        ASSERT_EQ(set[0].record.size(), sizeof sent);
        std::memcpy(&sent, set[0].record.data(), sizeof sent);
        const uint16_t expected = option != 0 ? reported.flags : (reported.flags & ~(1u << 9));
        EXPECT_EQ(sent.flags, expected) << int(option);
        EXPECT_EQ(sent.reserved3, 0x12345678u) << "the fusion's other settings stay";
        EXPECT_EQ(std::vector<int16_t>(sent.reorientation, sent.reorientation + 4),
                  std::vector<int16_t>(quarterTurn, quarterTurn + 4));
    }

    // A failing read-back is returned and nothing is set.
    fusion.clearCalls();
    fusion.script().answers["getConfig"] = -8;
    vnx_StandardBundle_Config_s config = freshRecord(vnx_StandardBundle_initConfig);
    EXPECT_EQ(rig.module()->setConfig(&config.config), -8);
    EXPECT_TRUE(fusion.calls("setConfig").empty());
}

TEST(StandardBundle, AfterInitTheCursorTurnsFusedMotionIntoCounts)
{
    BundleLibraries libraries;
    FakeModuleType fusion(turningFusion());
    StandardRig rig;
    // Without a DCD the interpretation's warning is the bundle's result.
    ASSERT_EQ(rig.init(), VNX_STATUS_WARNING_INVALID_DCD);
    const std::vector<std::string> expected = {"init", "getConfig", "setConfig"};
    EXPECT_EQ(fusion.operations(), expected);

    int moved = 0;
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(rig.stepRaw(), 0) << i;
        moved += rig.cursor.dx != 0 || rig.cursor.dy != 0;
    }
    EXPECT_GT(moved, 40);
    EXPECT_EQ(rig.cursor.sample, 50u);
    EXPECT_EQ(rig.cursorFormat.periodUs, 8000u);
    // The fusion got the interpreted sample (type 2) on its interface 0.
    const FakeCall last = fusion.calls("process").back();
    EXPECT_EQ(last.inputInterface, 0);
    EXPECT_EQ(last.inputTypes, std::vector<uint8_t>{VNX_TYPE_SENSOR_INTERPRETATION});
}

TEST(StandardBundle, InterpretedInputGoesToActivityAndFusionAsItIs)
{
    BundleLibraries libraries;
    FakeModuleType fusion(turningFusion());
    StandardRig rig;
    // Not initialised: the interpretation child would answer -13 if it ran.
    vnx_SensorInterpretation_Output_s interpreted = freshRecord(vnx_SensorInterpretation_initOutput);
    interpreted.sampleNumber = 41;
    vnx_SensorInterpretation_Format_s interpretedFormat = freshRecord(vnx_SensorInterpretation_initFormat);
    vnx_ButtonActivity_Output_s button = freshRecord(vnx_ButtonActivity_initOutput);
    const vnx_StructOutput_s* inputs[] = {&interpreted.output, &button.output};
    const vnx_StructFormat_s* formats[] = {&interpretedFormat.format, nullptr};
    EXPECT_GE(rig.process(2, 2, inputs, formats, 0, 3), 0);
    const std::vector<FakeCall> calls = fusion.calls("process");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].inputs, std::vector<const void*>{&interpreted});
}

TEST(StandardBundle, ProcessTakesExactlyItsInterfacesAndWritesNothingOtherwise)
{
    BundleLibraries libraries;
    FakeModuleType fusion(turningFusion());
    StandardRig rig;
    ASSERT_GE(rig.init(), 0);
    vnx_DeviceSupport_Output_s sample = freshRecord(vnx_DeviceSupport_initOutput);
    vnx_DeviceSupport_Format_s format = freshRecord(vnx_DeviceSupport_initFormat);
    vnx_ButtonActivity_Output_s button = freshRecord(vnx_ButtonActivity_initOutput);
    const vnx_StructOutput_s* inputs[] = {&sample.output, &sample.output, &sample.output, &button.output};
    const vnx_StructOutput_s* noButton[] = {&sample.output, &sample.output, &sample.output};
    const vnx_StructFormat_s* formats[] = {&format.format, &format.format, &format.format, nullptr};

    struct Case
    {
        int inputInterface;
        size_t inputCount;
        int outputInterface;
        size_t outputCount;
        const vnx_StructOutput_s** records;
    };
    const Case cases[] = {{0, 2, 0, 3, inputs}, {0, 4, 0, 3, inputs}, {1, 3, 0, 3, inputs},
                          {2, 3, 0, 3, inputs}, {3, 2, 0, 3, inputs}, {-1, 3, 0, 3, inputs},
                          {0, 3, 0, 2, inputs}, {0, 3, 1, 3, inputs}, {0, 3, 0, 3, noButton}};
    for (const Case& c : cases) {
        rig.clearOutputs();
        fusion.clearCalls();
        const auto before = rig.activity;
        EXPECT_EQ(
            rig.process(c.inputInterface, c.inputCount, c.records, formats, c.outputInterface, c.outputCount),
            -2)
            << c.inputInterface << " " << c.inputCount << " " << c.outputInterface << " " << c.outputCount;
        EXPECT_EQ(std::memcmp(&before, &rig.activity, sizeof before), 0);
        EXPECT_TRUE(fusion.calls("process").empty());
    }
}

TEST(StandardBundle, InterfaceQueriesCheckTheCapacityFirst)
{
    BundleLibraries libraries;
    StandardRig rig;
    vnx::ModuleInterface& m = *rig.module();
    uint8_t ids[4] = {};
    size_t count = 0;
    EXPECT_EQ(m.getInputInterface(9, 1, ids, count), -11);
    EXPECT_EQ(m.getInputInterface(9, 2, ids, count), -17);
    EXPECT_EQ(m.getInputInterface(1, 3, ids, count), -11);
    EXPECT_EQ(count, 4u);
    ASSERT_EQ(m.getInputInterface(2, 4, ids, count), 0);
    EXPECT_EQ(std::vector<uint8_t>(ids, ids + count), (std::vector<uint8_t>{2, 5}));
    EXPECT_EQ(m.getOutputInterface(0, 2, ids, count), -11);
    EXPECT_EQ(count, 3u);
    ASSERT_EQ(m.getOutputInterface(0, 3, ids, count), 0);
    EXPECT_EQ(std::vector<uint8_t>(ids, ids + 3), (std::vector<uint8_t>{4, 3, 6}));
    EXPECT_EQ(m.getOutputInterface(1, 3, ids, count), -17);
}

} // namespace
} // namespace bundleTest
