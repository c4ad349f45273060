#include <gtest/gtest.h>

#include <cstring>

#include "deviceDomain/DeviceInterface.h"
#include "deviceDomain/DeviceRecords.h"
#include "deviceDomain/DomainRecords.h"
#include "moduleFactory/ModuleFactory.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;

int64_t extraOf(const vnx_StructConfig_s& config)
{
    return config.extra;
}

TEST(DeviceRecords, ConfigStartsWithTheModuleHostDefaults)
{
    auto config = filled<vnx_Device_Config_s>();
    ASSERT_EQ(vnx_Device_initConfig(&config), 0);
    EXPECT_EQ(config.config.header.size, 64);
    EXPECT_EQ(config.config.header.type, 113);
    EXPECT_EQ(config.config.header.kind, VNX_KIND_CONFIG);
    EXPECT_EQ(config.config.header.version, 1);
    EXPECT_EQ(config.config.header.instanceId, 0u);
    EXPECT_EQ(config.config.result, 0u);
    EXPECT_EQ(extraOf(config.config), -1);
    EXPECT_EQ(config.typeId, 0);
    EXPECT_EQ(config.inputId, -1);
    EXPECT_EQ(config.outputId, -1);
    EXPECT_EQ(config.logRawInput, 0);
    EXPECT_EQ(config.logOutput, 0);
    EXPECT_EQ(config.dcdSaveInterval, 60);
    EXPECT_EQ(config.reportMotionInput, 0);
    EXPECT_EQ(config.reportMotionOutput, 1);
    EXPECT_EQ(config.sampleBaseWidth, 8);
    EXPECT_EQ(config.maxBufferedSamplesToProcess, 1u);
    // Reserved bytes are part of the defaults too.
    for (size_t offset : {33, 34, 35, 45, 47, 55}) {
        EXPECT_EQ(byteAt(config, offset), 0) << offset;
    }
}

TEST(DeviceRecords, CommandAndStatusStartEmpty)
{
    auto command = filled<vnx_Device_Command_s>();
    ASSERT_EQ(vnx_Device_initCommand(&command), 0);
    EXPECT_EQ(command.command.header.size, 40);
    EXPECT_EQ(command.command.header.kind, VNX_KIND_COMMAND);
    EXPECT_EQ(command.code, 0u);

    auto status = filled<vnx_Device_Status_s>();
    ASSERT_EQ(vnx_Device_initStatus(&status), 0);
    EXPECT_EQ(status.status.header.size, 48);
    EXPECT_EQ(status.status.header.instanceId, 0u);
    EXPECT_EQ(status.status.result, 0u);
    EXPECT_EQ(status.statusKind, 0u);
    EXPECT_EQ(status.payload.count, 0u);
}

TEST(DeviceRecords, ValidityNeedsTypeKindVersionAndExactSize)
{
    vnx_Device_Config_s config;
    vnx_Device_initConfig(&config);
    EXPECT_TRUE(vnx_Device_isStructValid(&config.config.header));
    EXPECT_EQ(vnx_Device_dynamicDownCastConfig(&config.config), &config);

    const struct
    {
        const char* what;
        void (*spoil)(vnx_Struct_s&);
    } cases[] = {
        {"version 2", [](vnx_Struct_s& h) { h.version = 2; }},
        {"size 63", [](vnx_Struct_s& h) { h.size = 63; }},
        {"size 65", [](vnx_Struct_s& h) { h.size = 65; }},
        {"Domain type", [](vnx_Struct_s& h) { h.type = 112; }},
        {"Command kind", [](vnx_Struct_s& h) { h.kind = VNX_KIND_COMMAND; }},
    };
    for (const auto& c : cases) {
        vnx_Device_Config_s spoilt = config;
        c.spoil(spoilt.config.header);
        EXPECT_FALSE(vnx_Device_isStructValid(&spoilt.config.header)) << c.what;
        EXPECT_EQ(vnx_Device_dynamicDownCastConfig(&spoilt.config), nullptr) << c.what;
        EXPECT_EQ(vnx_Device_dynamicDownCastConstConfig(&spoilt.config), nullptr) << c.what;
    }
}

TEST(DeviceRecords, EveryKindHasItsSize)
{
    const struct
    {
        uint8_t kind;
        uint16_t deviceSize;
        uint16_t domainSize;
    } cases[] = {
        {VNX_KIND_CONFIG, 64, 32}, {VNX_KIND_COMMAND, 40, 32}, {VNX_KIND_STATUS, 48, 56},
        {VNX_KIND_FORMAT, 16, 16}, {VNX_KIND_OUTPUT, 16, 16},
    };
    for (const auto& c : cases) {
        vnx_Struct_s header{};
        header.kind = c.kind;
        header.version = 1;
        header.type = 113;
        header.size = c.deviceSize;
        EXPECT_TRUE(vnx_Device_isStructValid(&header)) << int(c.kind);
        EXPECT_FALSE(vnx_Domain_isStructValid(&header)) << int(c.kind);
        header.type = 112;
        header.size = c.domainSize;
        EXPECT_TRUE(vnx_Domain_isStructValid(&header)) << int(c.kind);
        EXPECT_FALSE(vnx_Device_isStructValid(&header)) << int(c.kind);
    }
    vnx_Struct_s header{};
    header.type = 113;
    header.version = 1;
    header.size = 16;
    for (uint8_t kind : {0, 6}) {
        header.kind = kind;
        EXPECT_FALSE(vnx_Device_isStructValid(&header)) << int(kind);
    }
}

TEST(DomainRecords, StatusStartsWithNoSubject)
{
    auto status = filled<vnx_Domain_Status_s>();
    ASSERT_EQ(vnx_Domain_initStatus(&status), 0);
    EXPECT_EQ(status.status.header.size, 56);
    EXPECT_EQ(status.status.header.type, 112);
    EXPECT_EQ(status.status.header.kind, VNX_KIND_STATUS);
    EXPECT_EQ(status.status.header.version, 1);
    EXPECT_EQ(status.status.header.instanceId, 0u);
    EXPECT_EQ(status.status.result, 0u);
    EXPECT_EQ(status.status.extra, -1);
    EXPECT_EQ(status.statusKind, 0u);
    for (size_t offset = 40; offset < 49; ++offset) {
        EXPECT_EQ(byteAt(status, offset), 0) << offset;
    }

    vnx_Domain_deviceStatus_s deviceStatus;
    std::memset(&deviceStatus, 0xEE, sizeof deviceStatus);
    EXPECT_EQ(vnx_Domain_initdeviceStatus(&deviceStatus), 0);
    EXPECT_EQ(deviceStatus.device, nullptr);
    EXPECT_EQ(deviceStatus.deviceType, 0);
    EXPECT_EQ(vnx_Domain_initdeviceStatus(nullptr), -2);
}

TEST(DomainRecords, FileHandleStatusCarriesTheDescriptorAtByte40)
{
    vnx_Domain_Status_s status;
    vnx_Domain_initStatus(&status);
    status.statusKind = VNX_DOMAIN_STATUS_FILE_HANDLE_ADDED;
    status.subject.fileHandle = 0x01020304;
    int32_t atForty;
    std::memcpy(&atForty, reinterpret_cast<const unsigned char*>(&status) + 40, 4);
    EXPECT_EQ(atForty, 0x01020304);
    // No device type is written for a file handle.
    EXPECT_EQ(byteAt(status, 48), 0);
}

// The record factories register like the core's; a record made through the
// registry is initialised and goes back through it.
TEST(DeviceDomainFactories, MakeRecordsButNoModules)
{
    ASSERT_EQ(vnx_Device_moduleFactoryRegister(), 0);
    ASSERT_EQ(vnx_Domain_moduleFactoryRegister(), 0);

    EXPECT_STREQ(vnx::ModuleFactory::typeIdToString(113), "Device");
    EXPECT_STREQ(vnx::ModuleFactory::typeIdToString(112), "Domain");
    EXPECT_EQ(vnx::ModuleFactory::createModule(113), nullptr);
    EXPECT_EQ(vnx::ModuleFactory::createModule(112), nullptr);

    vnx_StructConfig_s* config = vnx::ModuleFactory::createConfig(113);
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(vnx_Device_downCastConfig(config)->dcdSaveInterval, 60);
    EXPECT_TRUE(vnx_Device_isStructValid(&config->header));
    EXPECT_EQ(vnx::ModuleFactory::destroyConfig(config), 0);

    vnx_StructStatus_s* status = vnx::ModuleFactory::createStatus(112);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->header.size, 56);
    EXPECT_EQ(vnx_Domain_downCastStatus(status)->statusKind, 0u);
    EXPECT_EQ(vnx::ModuleFactory::destroyStatus(status), 0);

    EXPECT_EQ(vnx_Device_moduleFactoryUnregister(), 1);
    EXPECT_EQ(vnx_Domain_moduleFactoryUnregister(), 1);
    EXPECT_EQ(vnx::ModuleFactory::createConfig(113), nullptr);
}

} // namespace
