#include <gtest/gtest.h>

#include <cstring>

#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "deviceMotion/DeviceMotion.h"
#include "deviceMotion/DeviceMotionRecords.h"
#include "moduleFactory/ModuleFactory.h"
#include "motionRecordBuilders.h"

namespace {

TEST(DeviceMotionRecords, InitialisersClearTheModuleFields)
{
    vnx_DeviceMotion_Config_s config;
    std::memset(&config, 0xEE, sizeof(config));
    ASSERT_EQ(vnx_DeviceMotion_initConfig(&config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(config.config.header.size, 48);
    EXPECT_EQ(config.config.header.type, VNX_TYPE_DEVICE_MOTION);
    EXPECT_EQ(config.config.extra, -1);
    EXPECT_EQ(config.reserved[0], 0u);
    EXPECT_EQ(config.reserved[1], 0u);

    vnx_DeviceMotion_Command_s command;
    std::memset(&command, 0xEE, sizeof(command));
    ASSERT_EQ(vnx_DeviceMotion_initCommand(&command), VNX_STATUS_SUCCESS);
    EXPECT_EQ(command.command.header.size, 40);
    EXPECT_EQ(command.code, 0u);
    EXPECT_EQ(command.padding[0], 0xEE);

    const vnx_Struct_s kinds[] = {
        {48, 12, 1, 1, {}, 0}, {40, 12, 2, 1, {}, 0}, {32, 12, 3, 1, {}, 0},
        {16, 12, 4, 1, {}, 0}, {16, 12, 5, 1, {}, 0},
    };
    for (const vnx_Struct_s& header : kinds) {
        EXPECT_EQ(vnx_DeviceMotion_isStructValid(&header), 1) << "kind " << int(header.kind);
    }
    const vnx_Struct_s shortConfig{32, 12, 1, 1, {}, 0};
    EXPECT_EQ(vnx_DeviceMotion_isStructValid(&shortConfig), 0);
}

TEST(DeviceMotionModule, ProcessWritesNothingWhateverItIsGiven)
{
    DeviceMotion module;
    motiontest::FusedMotion fused;
    vnx_StructOutput_s output;
    vnx_DeviceMotion_initOutput(&output);
    output.header.instanceId = 77;
    const vnx_StructOutput_s* inputs[] = {&fused.output.output};
    const vnx_StructFormat_s* formats[] = {&fused.format.format};
    vnx_StructOutput_s* outputs[] = {&output};
    EXPECT_EQ(module.process(0, 1, inputs, formats, 0, 1, outputs, nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.process(5, 0, nullptr, nullptr, 3, 9, nullptr, nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(output.header.instanceId, 77u);
    EXPECT_EQ(output.header.type, VNX_TYPE_DEVICE_MOTION);
}

TEST(DeviceMotionModule, KeepsOnlyItsOwnConfigAndNeverHandsItOut)
{
    DeviceMotion module;
    vnx_DeviceMotion_Config_s config;
    vnx_DeviceMotion_initConfig(&config);
    config.reserved[0] = 5;
    EXPECT_EQ(module.setConfig(&config.config), VNX_STATUS_SUCCESS);

    // A shorter record of the same type must not be read as 48 bytes.
    vnx_StructConfig_s shortConfig;
    std::memcpy(&shortConfig, &config, sizeof(shortConfig));
    shortConfig.header.size = sizeof(shortConfig);
    EXPECT_EQ(module.setConfig(&shortConfig), VNX_STATUS_NOT_FOR_ME);
    vnx_StructConfig_s foreign{};
    foreign.header = {32, VNX_TYPE_TEST_MODULE, VNX_KIND_CONFIG, 1, {}, 0};
    EXPECT_EQ(module.setConfig(&foreign), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.setConfig(nullptr), VNX_STATUS_NOT_FOR_ME);

    vnx_DeviceMotion_Config_s out;
    std::memset(&out, 0xEE, sizeof(out));
    EXPECT_EQ(module.getConfig(&out.config), VNX_STATUS_FEATURE_NOT_IMPLEMENTED);
    EXPECT_EQ(out.config.header.size, 0xEEEE);

    vnx_DeviceMotion_Command_s command;
    vnx_DeviceMotion_initCommand(&command);
    EXPECT_EQ(module.sendCommand(&command.command), VNX_STATUS_SUCCESS);
    int scdOffset = 0;
    int dcdOffset = 0;
    EXPECT_EQ(module.init(nullptr, scdOffset, nullptr, dcdOffset), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.term(), VNX_STATUS_SUCCESS);
}

TEST(DeviceMotionModule, TakesMotionAndButtonsAndGivesOneRecord)
{
    const DeviceMotion module;
    EXPECT_EQ(module.getType(), VNX_TYPE_DEVICE_MOTION);
    EXPECT_EQ(module.getInputInterfaceCount(), 1);
    EXPECT_EQ(module.getOutputInterfaceCount(), 1);

    uint8_t ids[3] = {0, 0, 0};
    size_t count = 0;
    EXPECT_EQ(module.getInputInterface(0, 1, ids, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(module.getInputInterface(0, 3, ids, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(ids[0], VNX_TYPE_SENSOR_FUSION);
    EXPECT_EQ(ids[1], VNX_TYPE_BUTTON_ACTIVITY);
    EXPECT_EQ(module.getOutputInterface(0, 3, ids, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(ids[0], VNX_TYPE_DEVICE_MOTION);
    count = 42;
    EXPECT_EQ(module.getInputInterface(1, 3, ids, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(module.getOutputInterface(1, 3, ids, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(count, 42u);
}

class DeviceMotionFactory : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_EQ(vnx_DeviceMotion_moduleFactoryRegister(), VNX_STATUS_SUCCESS); }
    void TearDown() override
    {
        vnx_DeviceMotion_moduleFactoryUnregister();
        vnx::NodeManager::getInstance().reset();
    }
};

TEST_F(DeviceMotionFactory, CreatesModulesInItsPool)
{
    vnx::ModuleInterface* module = vnx::ModuleFactory::createModule(VNX_TYPE_DEVICE_MOTION);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(dynamic_cast<DeviceMotion*>(module), nullptr);
    EXPECT_STREQ(vnx::ModuleFactory::typeIdToString(VNX_TYPE_DEVICE_MOTION), "DeviceMotion");
    EXPECT_EQ(vnx::ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
}

} // namespace
