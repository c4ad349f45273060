// The SensorFusion module as a composite: interfaces, argument checks of
// process, routing of configuration and commands to the children, the other
// input interfaces, the DCD round trip, registration and allocation-free
// samples.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/NodeManager.h"
#include "common/crc32.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "fusionRig.h"
#include "sensorFusionModule/SensorFusion.h"
#include "sensorFusionPerDevice/SensorFusionPerDeviceRecords.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"
#include "support/allocationCounter.h"
#include "support/recordBytes.h"

namespace sensorFusionTest {
namespace {

using vnx::ModuleFactory;

template <class Record> bool sameBytes(const Record& a, const Record& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class SensorFusionModule : public ::testing::Test
{
  protected:
    CoreLibrary core_;
    FusionRig rig_;
};

TEST_F(SensorFusionModule, DescribesItsInterfaces)
{
    vnx::ModuleInterface& module = *rig_.module();
    EXPECT_EQ(module.getType(), VNX_TYPE_SENSOR_FUSION);
    ASSERT_EQ(module.getInputInterfaceCount(), 7);
    const std::vector<std::vector<uint8_t>> expected = {{1, 1, 5}, {1, 1, 1, 5}, {16, 5}, {3, 5},
                                                        {1},       {22, 5},      {23, 5}};
    for (int id = 0; id < 7; ++id) {
        uint8_t types[8] = {};
        size_t count = 0;
        ASSERT_EQ(module.getInputInterface(id, sizeof types, types, count), VNX_STATUS_SUCCESS) << id;
        EXPECT_EQ(std::vector<uint8_t>(types, types + count), expected[id]) << id;
    }
    uint8_t types[8] = {};
    size_t count = 0;
    EXPECT_EQ(module.getInputInterface(7, sizeof types, types, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(module.getInputInterface(-1, sizeof types, types, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(module.getInputInterface(1, 3, types, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 4u);

    ASSERT_EQ(module.getOutputInterfaceCount(), 1);
    ASSERT_EQ(module.getOutputInterface(0, sizeof types, types, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(std::vector<uint8_t>(types, types + count), (std::vector<uint8_t>{3, 4, 5}));
    EXPECT_EQ(module.getOutputInterface(1, sizeof types, types, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(module.getOutputInterface(0, 2, types, count), VNX_STATUS_SIZE_TOO_SMALL);
}

TEST_F(SensorFusionModule, ProcessRefusesWrongArgumentsAndWritesNothing)
{
    ASSERT_EQ(rig_.init(testDevice().build()), VNX_STATUS_SUCCESS);
    vnx_DeviceSupport6AG_Output_s sample;
    vnx_DeviceSupport6AG_initOutput(&sample);
    sample.sampleNumber = 1;
    sample.accelerometer[2] = -kOneG;
    vnx_DeviceSupport6AG_Format_s format;
    vnx_DeviceSupport6AG_initFormat(&format);
    const vnx_ButtonActivity_Output_s button = buttonRecord(1, 0);
    vnx_ButtonActivity_Output_s wrongButton = button;
    wrongButton.output.header.size = 24;
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);

    const vnx_StructOutput_s* inputs[] = {&sample.output, &button.output, &button.output, &button.output,
                                          &button.output};
    const vnx_StructOutput_s* swapped[] = {&button.output, &sample.output};
    const vnx_StructOutput_s* missingButton[] = {&sample.output, nullptr};
    const vnx_StructOutput_s* badButton[] = {&sample.output, &wrongButton.output};
    const vnx_StructFormat_s* formats[] = {&format, &buttonFormat, &buttonFormat, &buttonFormat,
                                           &buttonFormat};

    struct Case
    {
        const char* name;
        int inputId;
        size_t inputCount;
        const vnx_StructOutput_s** inputs;
        int outputId;
        size_t outputCount;
        bool nullMotionSlot;
        int expected;
    };
    const Case cases[] = {
        {"output count 2", 5, 2, inputs, 0, 2, false, VNX_STATUS_INVALID_PARAMETER},
        {"output interface 1", 5, 2, inputs, 1, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"input count 5", 5, 5, inputs, 0, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"input count 0", 5, 0, inputs, 0, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"input interface 7", 7, 2, inputs, 0, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"fewer records than the interface lists", 5, 1, inputs, 0, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"more records than the interface lists", 5, 3, inputs, 0, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"records in the wrong order", 5, 2, swapped, 0, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"no button record", 5, 2, missingButton, 0, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"button record of another size", 5, 2, badButton, 0, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"no input array", 5, 2, nullptr, 0, 3, false, VNX_STATUS_INVALID_PARAMETER},
        {"no motion output", 5, 2, inputs, 0, 3, true, VNX_STATUS_INVALID_PARAMETER},
        {"negative input interface", -1, 2, inputs, 0, 3, false, VNX_STATUS_INVALID_INTERFACE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig_.clearOutputs();
        const vnx_SensorFusion_Output_s motionBefore = rig_.motion();
        const vnx_ActivityClassification_Output_s activityBefore = rig_.activity();
        const vnx_ButtonActivity_Output_s buttonsBefore = rig_.buttons();
        vnx_StructOutput_s** outputs = rig_.outputs();
        if (c.nullMotionSlot) {
            outputs[0] = nullptr;
        }
        EXPECT_EQ(rig_.module()->process(c.inputId, c.inputCount, c.inputs, formats, c.outputId,
                                         c.outputCount, outputs, rig_.outputFormats()),
                  c.expected);
        EXPECT_TRUE(sameBytes(rig_.motion(), motionBefore));
        EXPECT_TRUE(sameBytes(rig_.activity(), activityBefore));
        EXPECT_TRUE(sameBytes(rig_.buttons(), buttonsBefore));
    }
    // The refused calls left the children untouched: the first real sample
    // is the first one the fusion sees.
    rig_.clearOutputs();
    EXPECT_EQ(rig_.step6AG(kFlat, kNoRotation), VNX_STATUS_SUCCESS);
}

TEST_F(SensorFusionModule, ProcessBeforeInitReportsTheMissingCalibration)
{
    rig_.module()->setModuleListener(&rig_.statuses);
    EXPECT_EQ(rig_.step6AG(kFlat, kNoRotation), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig_.motion().sampleNumber, 0u);
}

TEST_F(SensorFusionModule, ConfigurationAndCommandsReachTheChildThatTakesThem)
{
    vnx::ModuleInterface& module = *rig_.module();

    // A SensorFusion Config is the fusion child's; it is kept before init.
    vnx_SensorFusion_Config_s fusionConfig;
    vnx_SensorFusion_initConfig(&fusionConfig);
    fusionConfig.reorientation[0] = 11585;
    fusionConfig.reorientation[3] = 11585;
    EXPECT_EQ(module.setConfig(&fusionConfig.config), VNX_STATUS_SUCCESS);
    vnx_SensorFusion_Config_s fusionRead;
    vnx_SensorFusion_initConfig(&fusionRead);
    EXPECT_EQ(module.getConfig(&fusionRead.config), VNX_STATUS_SUCCESS);
    EXPECT_TRUE(sameBytes(fusionRead, fusionConfig));

    // An ActivityClassification Config passes the fusion child (-3) and is
    // taken by the activity child.
    vnx_ActivityClassification_Config_s activityConfig;
    vnx_ActivityClassification_initConfig(&activityConfig);
    activityConfig.stillTimeS = 5;
    EXPECT_EQ(module.setConfig(&activityConfig.config), VNX_STATUS_SUCCESS);
    vnx_ActivityClassification_Config_s activityRead;
    vnx_ActivityClassification_initConfig(&activityRead);
    EXPECT_EQ(module.getConfig(&activityRead.config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(activityRead.stillTimeS, 5);

    // A Config neither child knows.
    vnx_ButtonActivity_Config_s other;
    vnx_ButtonActivity_initConfig(&other);
    EXPECT_EQ(module.setConfig(&other), VNX_STATUS_NOT_FOR_ME);

    // The heading tare needs the engine; the activity child's answers reach
    // the caller.
    vnx_SensorFusion_Command_s tare;
    vnx_SensorFusion_initCommand(&tare);
    tare.code = VNX_SENSOR_FUSION_TARE_HEADING;
    EXPECT_EQ(module.sendCommand(&tare.command), VNX_STATUS_NOT_ACTIVE);
    vnx_ActivityClassification_Command_s activityCommand;
    vnx_ActivityClassification_initCommand(&activityCommand);
    activityCommand.code = 3;
    EXPECT_EQ(module.sendCommand(&activityCommand.command), VNX_STATUS_INVALID_COMMAND);

    ASSERT_EQ(rig_.init(testDevice().build()), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.sendCommand(&tare.command), VNX_STATUS_SUCCESS);
    // The stored reorientation (90 degrees about z) acts from init on: the
    // gravity of a device lying flat stays on z, a reading on x moves to y.
    ASSERT_EQ(rig_.step6AG({kOneG, 0, 0}, kNoRotation), VNX_STATUS_SUCCESS);
    EXPECT_NEAR(rig_.motion().acceleration[0].real, 0.0f, 1e-3f);
    EXPECT_NEAR(std::fabs(rig_.motion().acceleration[1].real), kGravity, 1e-3f);
}

TEST_F(SensorFusionModule, LearnedCalibrationGoesOutAsDcdAndIsTakenBackByTheSameDevice)
{
    const scdGen4Float_s scd = testDevice().build();
    ASSERT_EQ(rig_.init(scd), VNX_STATUS_SUCCESS);
    ASSERT_EQ(rig_.hold(kFlat, {10, -20, 30}, 10 * kSamplesPerSecond), 0);
    int result = -1;
    const dcdAlg49AxisFixed_s dcd = rig_.readDcd(result);
    ASSERT_EQ(result, VNX_STATUS_SUCCESS);
    EXPECT_EQ(dcd.head.size, 260);
    EXPECT_EQ(dcd.head.version, 27);
    EXPECT_EQ(dcd.scdCrc, crc32_process(&scd, sizeof scd));
    EXPECT_EQ(dcd.crc, crc32_process(&dcd, offsetof(dcdAlg49AxisFixed_s, crc)));
    EXPECT_NE(dcdAlg49AxisFixedValidateAndCast(&dcd.head), nullptr);

    struct Case
    {
        const char* name;
        scdGen4Float_s scd;
        int expected;
    };
    const Case cases[] = {
        {"the same device", scd, VNX_STATUS_SUCCESS},
        {"another device", testDevice().accelNoise(5, 5, 5).build(), VNX_STATUS_WARNING_DCD_SCD_MISMATCH},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FusionRig fresh;
        EXPECT_EQ(fresh.init(c.scd, &dcd.head), c.expected);
    }
    dcdAlg49AxisFixed_s corrupt = dcd;
    corrupt.innards.zro[0] += 1.0f;
    FusionRig fresh;
    EXPECT_EQ(fresh.init(scd, &corrupt.head), VNX_STATUS_WARNING_INVALID_DCD);
}

TEST_F(SensorFusionModule, FusedInputIsPassedOnUnchanged)
{
    ASSERT_EQ(rig_.init(testDevice().build()), VNX_STATUS_SUCCESS);
    vnx_SensorFusion_Output_s fused;
    vnx_SensorFusion_initOutput(&fused);
    fused.sampleNumber = 77;
    fused.quaternion[0].fixed = 1 << 14;
    fused.acceleration[2].fixed = -(10 << 14);
    vnx_SensorFusion_Format_s fusedFormat;
    vnx_SensorFusion_initFormat(&fusedFormat);
    fusedFormat.periodUs = 5000;
    fusedFormat.accelerationQ = 14;
    fusedFormat.quaternionQ = 14;
    const vnx_ButtonActivity_Output_s button = buttonRecord(2, 1);
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);
    const vnx_StructOutput_s* inputs[] = {&fused.output, &button.output};
    const vnx_StructFormat_s* formats[] = {&fusedFormat.format, &buttonFormat};

    EXPECT_EQ(rig_.module()->process(3, 2, inputs, formats, 0, 3, rig_.outputs(), rig_.outputFormats()),
              VNX_STATUS_SUCCESS);
    EXPECT_TRUE(sameBytes(rig_.motion(), fused));
    EXPECT_TRUE(sameBytes(rig_.motionFormat(), fusedFormat));
    EXPECT_TRUE(sameBytes(rig_.buttons(), button));
    // The activity child saw the initialised (empty) interpreted motion.
    EXPECT_EQ(rig_.activity().flags & 0x3F, 0);
}

TEST_F(SensorFusionModule, SingleAccelerometerSampleWaitsForTheFusionAndLeavesTheStoredOutput)
{
    ASSERT_EQ(rig_.init(testDevice().build()), VNX_STATUS_SUCCESS);
    ASSERT_EQ(rig_.step6AG(kFlat, kNoRotation), VNX_STATUS_SUCCESS);
    auto* fusion = dynamic_cast<SensorFusion*>(rig_.module());
    ASSERT_NE(fusion, nullptr);
    const vnx_SensorFusion_Output_s stored = fusion->lastOutput();

    vnx_DeviceSupport_Output_s acc;
    vnx_DeviceSupport_initOutput(&acc);
    acc.sensor = VNX_DEVICE_SUPPORT_ACCELEROMETER;
    acc.z = -kOneG;
    vnx_DeviceSupport_Format_s format;
    vnx_DeviceSupport_initFormat(&format);
    format.sampleNumber = 2;
    const vnx_StructOutput_s* inputs[] = {&acc.output};
    const vnx_StructFormat_s* formats[] = {&format.format};
    vnx_ActivityClassification_Output_s activityBefore = rig_.activity();
    EXPECT_EQ(rig_.module()->process(4, 1, inputs, formats, 0, 3, rig_.outputs(), rig_.outputFormats()),
              VNX_STATUS_WARNING_WAITING_FOR_FUSION);
    EXPECT_TRUE(sameBytes(rig_.activity(), activityBefore));
    EXPECT_TRUE(sameBytes(fusion->lastOutput(), stored));
}

TEST_F(SensorFusionModule, DeviceSupportSetsFeedTheFusionAndCarryTheSampleFlagsToTheButtons)
{
    const scdGen4Float_s scd = testDevice().build();
    ASSERT_EQ(rig_.init(scd), VNX_STATUS_SUCCESS);
    vnx_DeviceSupport_Output_s acc, gyro, mag;
    for (auto* record : {&acc, &gyro, &mag}) {
        vnx_DeviceSupport_initOutput(record);
    }
    acc.sensor = VNX_DEVICE_SUPPORT_ACCELEROMETER;
    acc.z = -kOneG;
    gyro.sensor = VNX_DEVICE_SUPPORT_GYROSCOPE;
    mag.sensor = VNX_DEVICE_SUPPORT_MAGNETOMETER;
    vnx_DeviceSupport_Format_s format;
    vnx_DeviceSupport_initFormat(&format);
    const vnx_ButtonActivity_Output_s button = buttonRecord(0, 0);
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);

    for (int id : {0, 1}) {
        SCOPED_TRACE(id == 0 ? "accelerometer and gyroscope" : "with the magnetometer");
        for (int k = 0; k < 5; ++k) {
            format.sampleNumber += 1;
            format.flags = 0x40;
            const vnx_StructOutput_s* withButtons0[] = {&acc.output, &gyro.output, &button.output};
            const vnx_StructOutput_s* withButtons1[] = {&acc.output, &gyro.output, &mag.output,
                                                        &button.output};
            const vnx_StructFormat_s* formats[] = {&format.format, &format.format, &format.format,
                                                   &buttonFormat};
            const int result = id == 0 ? rig_.module()->process(0, 3, withButtons0, formats, 0, 3,
                                                                rig_.outputs(), rig_.outputFormats())
                                       : rig_.module()->process(1, 4, withButtons1, formats, 0, 3,
                                                                rig_.outputs(), rig_.outputFormats());
            ASSERT_EQ(result, VNX_STATUS_SUCCESS);
        }
        EXPECT_EQ(rig_.motion().sampleNumber, format.sampleNumber);
        EXPECT_NEAR(rig_.motion().acceleration[2].real, -kGravity, 1e-3f);
        EXPECT_EQ(rig_.buttons().activity, button.activity | 0x40u);
        EXPECT_EQ(rig_.buttons().buttons, button.buttons);
    }
}

TEST_F(SensorFusionModule, NineAxisSampleGoesOverWithoutOrientation)
{
    ASSERT_EQ(rig_.init(testDevice().build()), VNX_STATUS_SUCCESS);
    vnx_SensorInterpretation9Axis_Output_s sample;
    vnx_SensorInterpretation9Axis_initOutput(&sample);
    sample.interpretation.sampleNumber = 42;
    sample.interpretation.sampleDelta = 1;
    sample.interpretation.acceleration[2] = -kGravity;
    sample.interpretation.angularVelocity[1] = 0.5f;
    sample.magneticField[0].real = 20.0f;
    vnx_SensorInterpretation9Axis_Format_s format;
    vnx_SensorInterpretation9Axis_initFormat(&format);
    format.interpretation.periodUs = 8000;
    const vnx_ButtonActivity_Output_s button = buttonRecord(0, 0);
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);
    const vnx_StructOutput_s* inputs[] = {&sample.output, &button.output};
    const vnx_StructFormat_s* formats[] = {&format.format, &buttonFormat};

    ASSERT_EQ(rig_.module()->process(2, 2, inputs, formats, 0, 3, rig_.outputs(), rig_.outputFormats()),
              VNX_STATUS_SUCCESS);
    const vnx_SensorFusion_Output_s& motion = rig_.motion();
    EXPECT_EQ(motion.sampleNumber, 42u);
    EXPECT_EQ(motion.acceleration[2].real, -kGravity);
    EXPECT_EQ(motion.angularVelocity[1].real, 0.5f);
    EXPECT_EQ(motion.magneticField[0].real, 20.0f);
    EXPECT_EQ(rig_.motionFormat().periodUs, 8000u);
    EXPECT_EQ(rig_.motionFormat().accelerationQ, VNX_QPOINT_FLOAT);
    EXPECT_EQ(rig_.motionFormat().magneticFieldQ, VNX_QPOINT_FLOAT);
    EXPECT_EQ(rig_.motionFormat().quaternionQ, VNX_QPOINT_INVALID);
    EXPECT_EQ(rig_.motionFormat().linearAccelerationQ, VNX_QPOINT_INVALID);
}

TEST_F(SensorFusionModule, NineAxisDeviceSampleFeedsTheFusion)
{
    ASSERT_EQ(rig_.init(testDevice().build()), VNX_STATUS_SUCCESS);
    vnx_DeviceSupport9AGM_Output_s sample;
    vnx_DeviceSupport9AGM_initOutput(&sample);
    sample.accelerometer[2] = -kOneG;
    const vnx_ButtonActivity_Output_s button = buttonRecord(0, 0);
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);
    vnx_DeviceSupport9AGM_Format_s format;
    vnx_DeviceSupport9AGM_initFormat(&format);
    for (int k = 1; k <= 10; ++k) {
        sample.sampleNumber = k;
        const vnx_StructOutput_s* inputs[] = {&sample.output, &button.output};
        const vnx_StructFormat_s* formats[] = {&format, &buttonFormat};
        ASSERT_EQ(rig_.module()->process(6, 2, inputs, formats, 0, 3, rig_.outputs(), rig_.outputFormats()),
                  VNX_STATUS_SUCCESS);
    }
    EXPECT_EQ(rig_.motion().sampleNumber, 10u);
    EXPECT_NEAR(rig_.motion().acceleration[2].real, -kGravity, 1e-3f);
    EXPECT_NEAR(rig_.motion().quaternion[0].real, 1.0f, 1e-6f);
}

TEST_F(SensorFusionModule, SamplesAllocateNothing)
{
    ASSERT_EQ(rig_.init(testDevice().build()), VNX_STATUS_SUCCESS);
    ASSERT_EQ(rig_.hold(kFlat, kNoRotation, 10), 0); // first samples of every stage
    int failures = 0;
    const long allocations = vnx::test::allocationsDuring([&] {
        failures += rig_.hold(kFlat, {0, 150, -80}, 3 * kSamplesPerSecond);
        failures += rig_.hold(kFlat, kNoRotation, 3 * kSamplesPerSecond);
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(failures, 0);
}

TEST(SensorFusionRegistration, CoreMakesTheModuleWithBothChildrenUnderIt)
{
    ASSERT_EQ(vnx_core_initialize(), 1);
    EXPECT_STREQ(ModuleFactory::typeIdToString(VNX_TYPE_SENSOR_FUSION), "SensorFusion");
    EXPECT_STREQ(ModuleFactory::typeIdToString(VNX_TYPE_SENSOR_FUSION_PER_DEVICE), "SensorFusionPerDevice");
    vnx::ModuleInterface* module = ModuleFactory::createModule(nullptr, VNX_TYPE_SENSOR_FUSION);
    ASSERT_NE(module, nullptr);
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    for (const char* child : {"SensorFusion.SensorFusionPerDevice", "SensorFusion.ActivityClassification"}) {
        EXPECT_NE(nodes.getNode(child), nullptr) << child;
    }
    EXPECT_EQ(ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
    EXPECT_EQ(nodes.getNode("SensorFusion.SensorFusionPerDevice"), nullptr);

    // Without the per-device factory the module cannot be made.
    ASSERT_EQ(vnx_SensorFusionPerDevice_moduleFactoryUnregister(), 1);
    EXPECT_EQ(ModuleFactory::createModule(nullptr, VNX_TYPE_SENSOR_FUSION), nullptr);
    EXPECT_EQ(nodes.getNode("SensorFusion.ActivityClassification"), nullptr);
    ASSERT_EQ(vnx_SensorFusionPerDevice_moduleFactoryRegister(), VNX_STATUS_SUCCESS);

    ASSERT_EQ(vnx_core_finalize(), 1);
    EXPECT_EQ(ModuleFactory::createModule(VNX_TYPE_SENSOR_FUSION), nullptr);
    EXPECT_EQ(ModuleFactory::createModule(VNX_TYPE_SENSOR_FUSION_PER_DEVICE), nullptr);
}

} // namespace
} // namespace sensorFusionTest
