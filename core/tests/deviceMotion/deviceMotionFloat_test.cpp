#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "deviceMotion/DeviceMotionFloat.h"
#include "deviceMotion/DeviceMotionFloatRecords.h"
#include "moduleFactory/ModuleFactory.h"
#include "motionRecordBuilders.h"

namespace {

using motiontest::fixedWord;
using motiontest::floatMotion;
using motiontest::floatWord;
using motiontest::FusedMotion;

int convertOne(DeviceMotionFloat& module, const FusedMotion& in, vnx_DeviceMotionFloat_Output_s& out)
{
    const vnx_StructOutput_s* inputs[] = {&in.output.output};
    const vnx_StructFormat_s* formats[] = {&in.format.format};
    vnx_StructOutput_s* outputs[] = {&out.output};
    return module.process(0, 1, inputs, formats, 0, 1, outputs, nullptr);
}

TEST(DeviceMotionFloatRecords, OutputStartsAtZeroAndKeepsItsPadding)
{
    vnx_DeviceMotionFloat_Output_s output;
    std::memset(&output, 0xEE, sizeof(output));
    ASSERT_EQ(vnx_DeviceMotionFloat_initOutput(&output), VNX_STATUS_SUCCESS);
    EXPECT_EQ(output.output.header.size, 104);
    EXPECT_EQ(output.output.header.type, VNX_TYPE_DEVICE_MOTION_FLOAT);
    EXPECT_EQ(output.output.header.kind, VNX_KIND_OUTPUT);
    EXPECT_EQ(output.output.header.version, 1);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&output);
    for (size_t offset = 8; offset < 100; ++offset) {
        EXPECT_EQ(bytes[offset], 0) << "byte " << offset;
    }
    for (uint8_t byte : output.padding) {
        EXPECT_EQ(byte, 0xEE);
    }
    EXPECT_EQ(vnx_DeviceMotionFloat_isStructValid(&output.output.header), 1);
}

TEST(DeviceMotionFloatModule, ConvertsFloatGroupsAndThePeriod)
{
    DeviceMotionFloat module;
    FusedMotion in;
    in.output.sampleNumber = 4711;
    in.format.periodUs = 10000;
    const float acceleration[] = {0.5f, -9.81f, 1.25f};
    const float linear[] = {0.25f, 0.0f, -0.125f};
    const float rate[] = {0.01f, -0.2f, 3.0f};
    const float field[] = {20.0f, -5.5f, 40.0f};
    const float quaternion[] = {1.0f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 3; ++i) {
        in.output.acceleration[i] = floatWord(acceleration[i]);
        in.output.linearAcceleration[i] = floatWord(linear[i]);
        in.output.angularVelocity[i] = floatWord(rate[i]);
        in.output.magneticField[i] = floatWord(field[i]);
    }
    for (int i = 0; i < 4; ++i) {
        in.output.quaternion[i] = floatWord(quaternion[i]);
    }

    auto out = floatMotion();
    ASSERT_EQ(convertOne(module, in, out), VNX_STATUS_SUCCESS);
    EXPECT_EQ(out.sampleNumber, 4711u);
    EXPECT_EQ(out.period, 0.01f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(out.vector1[i], acceleration[i]);
        EXPECT_EQ(out.vector2[i], linear[i]);
        EXPECT_EQ(out.vector3[i], rate[i]);
        EXPECT_EQ(out.vector4[i], field[i]);
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(out.quaternion[i], quaternion[i]);
    }
}

TEST(DeviceMotionFloatModule, ConvertsFixedPointGroupsWithTheirOwnFractionBits)
{
    DeviceMotionFloat module;
    FusedMotion in;
    in.format.accelerationQ = 16;
    in.format.angularVelocityQ = 30;
    in.format.quaternionQ = -2;
    in.output.acceleration[0] = fixedWord(0x00010000);  // 1.0
    in.output.acceleration[1] = fixedWord(-0x00018000); // -1.5
    in.output.angularVelocity[2] = fixedWord(1 << 29);  // 0.5
    in.output.quaternion[3] = fixedWord(3);             // 12

    auto out = floatMotion();
    ASSERT_EQ(convertOne(module, in, out), VNX_STATUS_SUCCESS);
    EXPECT_EQ(out.vector1[0], 1.0f);
    EXPECT_EQ(out.vector1[1], -1.5f);
    EXPECT_EQ(out.vector3[2], 0.5f);
    EXPECT_EQ(out.quaternion[3], 12.0f);
}

TEST(DeviceMotionFloatModule, AbsentGroupZeroesOnlyItsFirstValue)
{
    DeviceMotionFloat module;
    FusedMotion in;
    in.format.linearAccelerationQ = VNX_QPOINT_INVALID;
    in.output.linearAcceleration[0] = floatWord(5.0f);
    in.output.linearAcceleration[1] = floatWord(6.0f);

    auto out = floatMotion();
    for (float& value : out.vector2) {
        value = 7.0f;
    }
    for (float& value : out.vector5) {
        value = 8.0f;
    }
    ASSERT_EQ(convertOne(module, in, out), VNX_STATUS_SUCCESS);
    EXPECT_EQ(out.vector2[0], 0.0f);
    EXPECT_EQ(out.vector2[1], 7.0f);
    EXPECT_EQ(out.vector2[2], 7.0f);
    // The reserved group is absent from a fresh Format.
    EXPECT_EQ(out.vector5[0], 0.0f);
    EXPECT_EQ(out.vector5[1], 8.0f);
    EXPECT_EQ(out.vector5[2], 8.0f);
}

TEST(DeviceMotionFloatModule, ConvertedMotionPassesThroughAndWinsOverFusedMotion)
{
    DeviceMotionFloat module;
    FusedMotion fused;
    fused.output.sampleNumber = 1;

    auto converted = floatMotion();
    converted.sampleNumber = 99;
    converted.quaternion[0] = 0.5f;
    converted.output.header.instanceId = 3;
    vnx_DeviceMotionFloat_Format_s convertedFormat;
    vnx_DeviceMotionFloat_initFormat(&convertedFormat);
    convertedFormat.header.instanceId = 5;

    auto out = floatMotion();
    vnx_DeviceMotionFloat_Format_s outFormat;
    vnx_DeviceMotionFloat_initFormat(&outFormat);
    const vnx_StructOutput_s* inputs[] = {&fused.output.output, &converted.output};
    const vnx_StructFormat_s* formats[] = {&fused.format.format, &convertedFormat};
    vnx_StructOutput_s* outputs[] = {&out.output};
    vnx_StructFormat_s* outputFormats[] = {&outFormat};
    ASSERT_EQ(module.process(0, 2, inputs, formats, 0, 1, outputs, outputFormats), VNX_STATUS_SUCCESS);
    EXPECT_EQ(std::memcmp(&out, &converted, sizeof(out)), 0);
    EXPECT_EQ(outFormat.header.instanceId, 5u);

    // Without Format slots only the Output is copied.
    auto bare = floatMotion();
    vnx_StructOutput_s* bareOutputs[] = {&bare.output};
    ASSERT_EQ(module.process(0, 2, inputs, nullptr, 0, 1, bareOutputs, nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(bare.sampleNumber, 99u);
}

TEST(DeviceMotionFloatModule, RefusesCallsItCannotServeAndWritesNothing)
{
    DeviceMotionFloat module;
    FusedMotion fused;
    fused.output.sampleNumber = 12;
    vnx_SensorFusion_Output_s shortMotion = fused.output;
    shortMotion.output.header.size = 40;
    vnx_SensorFusion_Format_s otherFormat = fused.format;
    otherFormat.format.header.version = 2;
    auto converted = floatMotion();
    converted.output.header.size = 100;
    auto out = floatMotion();
    // A record of no type the module reads, and a second output slot.
    auto spare = floatMotion();
    spare.output.header.type = VNX_TYPE_BUTTON_ACTIVITY;
    vnx_SensorFusion_Output_s wrongOutput = fused.output;

    struct Case
    {
        std::string name;
        int inputInterface;
        const vnx_StructOutput_s* input;
        const vnx_StructFormat_s* format;
        int outputInterface;
        size_t outputCount;
        vnx_StructOutput_s* output;
    };
    const Case cases[] = {
        {"input interface 1", 1, &fused.output.output, &fused.format.format, 0, 1, &out.output},
        {"output interface 1", 0, &fused.output.output, &fused.format.format, 1, 1, &out.output},
        {"two outputs", 0, &fused.output.output, &fused.format.format, 0, 2, &out.output},
        {"no output", 0, &fused.output.output, &fused.format.format, 0, 0, &out.output},
        {"null output", 0, &fused.output.output, &fused.format.format, 0, 1, nullptr},
        {"output of type 3", 0, &fused.output.output, &fused.format.format, 0, 1, &wrongOutput.output},
        {"no motion among the inputs", 0, &spare.output, &fused.format.format, 0, 1, &out.output},
        {"motion without its Format", 0, &fused.output.output, nullptr, 0, 1, &out.output},
        {"motion with a Format of another version", 0, &fused.output.output, &otherFormat.format, 0, 1,
         &out.output},
        {"motion record too short", 0, &shortMotion.output, &fused.format.format, 0, 1, &out.output},
        {"converted motion of another size", 0, &converted.output, nullptr, 0, 1, &out.output},
    };
    const auto before = out;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const vnx_StructOutput_s* inputs[] = {c.input};
        const vnx_StructFormat_s* formats[] = {c.format};
        vnx_StructOutput_s* outputs[] = {c.output, &spare.output};
        EXPECT_EQ(module.process(c.inputInterface, 1, inputs, formats, c.outputInterface, c.outputCount,
                                 outputs, nullptr),
                  VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(std::memcmp(&out, &before, sizeof(out)), 0);
        EXPECT_EQ(wrongOutput.sampleNumber, 12u);
    }
    vnx_StructOutput_s* outputs[] = {&out.output};
    EXPECT_EQ(module.process(0, 1, nullptr, nullptr, 0, 1, outputs, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(module.process(0, 0, nullptr, nullptr, 0, 1, nullptr, nullptr), VNX_STATUS_INVALID_PARAMETER);
}

TEST(DeviceMotionFloatModule, TakesNoConfigurationAndDescribesItsInterfaces)
{
    DeviceMotionFloat module;
    vnx_DeviceMotionFloat_Config_s config;
    vnx_DeviceMotionFloat_initConfig(&config);
    vnx_DeviceMotionFloat_Command_s command;
    vnx_DeviceMotionFloat_initCommand(&command);
    EXPECT_EQ(module.getConfig(&config), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.setConfig(&config), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.sendCommand(&command), VNX_STATUS_NOT_FOR_ME);
    int scdOffset = 0;
    int dcdOffset = 0;
    EXPECT_EQ(module.init(nullptr, scdOffset, nullptr, dcdOffset), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.setModuleListener(nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.getDcd(nullptr, 0, dcdOffset), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.term(), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.getType(), VNX_TYPE_DEVICE_MOTION_FLOAT);

    uint8_t ids[2] = {0, 0};
    size_t count = 0;
    EXPECT_EQ(module.getInputInterfaceCount(), 1);
    EXPECT_EQ(module.getInputInterface(0, 2, ids, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(ids[0], VNX_TYPE_SENSOR_FUSION);
    EXPECT_EQ(module.getOutputInterfaceCount(), 1);
    EXPECT_EQ(module.getOutputInterface(0, 2, ids, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(ids[0], VNX_TYPE_DEVICE_MOTION_FLOAT);
    EXPECT_EQ(module.getOutputInterface(0, 0, ids, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(module.getInputInterface(1, 2, ids, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(module.getOutputInterface(-1, 2, ids, count), VNX_STATUS_INVALID_INTERFACE);
}

class DeviceMotionFloatFactory : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_EQ(vnx_DeviceMotionFloat_moduleFactoryRegister(), VNX_STATUS_SUCCESS); }
    void TearDown() override
    {
        vnx_DeviceMotionFloat_moduleFactoryUnregister();
        vnx::NodeManager::getInstance().reset();
    }
};

TEST_F(DeviceMotionFloatFactory, CreatesModulesAndZeroedRecords)
{
    vnx::ModuleInterface* module = vnx::ModuleFactory::createModule(VNX_TYPE_DEVICE_MOTION_FLOAT);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(dynamic_cast<DeviceMotionFloat*>(module), nullptr);
    EXPECT_STREQ(vnx::ModuleFactory::typeIdToString(VNX_TYPE_DEVICE_MOTION_FLOAT), "DeviceMotionFloat");

    vnx_StructOutput_s* record = vnx::ModuleFactory::createOutput(VNX_TYPE_DEVICE_MOTION_FLOAT);
    ASSERT_NE(record, nullptr);
    const auto* output = vnx_DeviceMotionFloat_dynamicDownCastConstOutput(record);
    ASSERT_NE(output, nullptr);
    for (uint8_t byte : output->padding) {
        EXPECT_EQ(byte, 0);
    }
    EXPECT_EQ(vnx::ModuleFactory::destroyOutput(record), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx::ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
}

} // namespace
