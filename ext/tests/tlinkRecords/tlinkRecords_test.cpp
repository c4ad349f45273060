#include <gtest/gtest.h>

#include <cstring>

#include "moduleFactory/ModuleFactory.h"
#include "support/recordBytes.h"
#include "tlinkRecords/TlinkDeviceRecords.h"
#include "tlinkRecords/TlinkDomainRecords.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;

TEST(TlinkDeviceRecords, CommandStartsWithTheDefaultBlinkPattern)
{
    auto command = filled<vnx_TlinkDevice_Command_s>();
    ASSERT_EQ(vnx_TlinkDevice_initCommand(&command), 0);
    EXPECT_EQ(command.command.header.size, 56);
    EXPECT_EQ(command.command.header.type, 121);
    EXPECT_EQ(command.command.header.kind, VNX_KIND_COMMAND);
    EXPECT_EQ(command.command.header.version, 1);
    EXPECT_EQ(command.command.header.instanceId, 0u);
    EXPECT_EQ(command.command.result, 0u);
    EXPECT_EQ(command.command.extra, -1);
    for (size_t offset = 32; offset <= 52; ++offset) {
        EXPECT_EQ(byteAt(command, offset), 0) << offset;
    }
    EXPECT_EQ(byteAt(command, 53), 3);
    EXPECT_EQ(byteAt(command, 54), 0) << "the third pattern byte is sent too";
    for (uint32_t time : command.argument.pattern.time) {
        EXPECT_EQ(time, 0u);
    }

    vnx_TlinkDevice_LEDConfigPattern_s pattern;
    std::memset(&pattern, 0xEE, sizeof pattern);
    ASSERT_EQ(vnx_TlinkDevice_initLEDConfigPattern(&pattern), 0);
    EXPECT_EQ(pattern.pattern[0], 0);
    EXPECT_EQ(pattern.pattern[1], 3);
    EXPECT_EQ(pattern.time[3], 0u);
    EXPECT_EQ(vnx_TlinkDevice_initLEDConfigPattern(nullptr), -2);
}

TEST(TlinkDeviceRecords, StatusStartsEmptyWithNoRequest)
{
    auto status = filled<vnx_TlinkDevice_Status_s>();
    ASSERT_EQ(vnx_TlinkDevice_initStatus(&status), 0);
    EXPECT_EQ(status.status.header.size, 168);
    for (size_t offset = 8; offset < 24; ++offset) {
        EXPECT_EQ(byteAt(status, offset), 0) << offset;
    }
    EXPECT_EQ(status.status.extra, -1);
    for (size_t offset = 32; offset < 168; ++offset) {
        EXPECT_EQ(byteAt(status, offset), 0) << offset;
    }

    vnx_TlinkDevice_Info_s info;
    std::memset(&info, 0xEE, sizeof info);
    ASSERT_EQ(vnx_TlinkDevice_initInfo(&info), 0);
    EXPECT_EQ(info.unitId, 0u);
    EXPECT_EQ(info.identityWord2, 0u);
    EXPECT_EQ(info.reserved, 0u);
    EXPECT_EQ(vnx_TlinkDevice_initInfo(nullptr), -2);
}

TEST(TlinkDomainRecords, CommandCarriesAnInitialisedDeviceConfig)
{
    auto command = filled<vnx_TlinkDomain_Command_s>();
    ASSERT_EQ(vnx_TlinkDomain_initCommand(&command), 0);
    EXPECT_EQ(command.command.header.size, 72);
    EXPECT_EQ(command.command.header.type, 120);
    EXPECT_EQ(command.command.extra, -1);
    EXPECT_EQ(command.code, 0u);
    EXPECT_TRUE(vnx_TlinkDevice_isStructValid(&command.deviceConfig.header));
    EXPECT_EQ(command.deviceConfig.header.size, 32);
    EXPECT_EQ(command.deviceConfig.header.type, 121);
    EXPECT_EQ(command.deviceConfig.extra, -1);
}

TEST(TlinkRecords, ValidityNeedsTypeKindVersionAndExactSize)
{
    const struct
    {
        uint8_t type;
        uint8_t kind;
        uint16_t size;
        uint8_t version;
        bool valid;
    } cases[] = {
        {121, VNX_KIND_COMMAND, 56, 1, true}, {121, VNX_KIND_COMMAND, 56, 2, false},
        {121, VNX_KIND_STATUS, 168, 1, true}, {121, VNX_KIND_STATUS, 160, 1, false},
        {121, VNX_KIND_CONFIG, 32, 1, true},  {121, VNX_KIND_FORMAT, 16, 1, true},
        {121, VNX_KIND_OUTPUT, 16, 1, true},  {121, 6, 16, 1, false},
        {120, VNX_KIND_COMMAND, 72, 1, true}, {120, VNX_KIND_COMMAND, 56, 1, false},
        {120, VNX_KIND_STATUS, 32, 1, true},  {120, VNX_KIND_CONFIG, 32, 0, false},
        {113, VNX_KIND_CONFIG, 32, 1, false},
    };
    for (const auto& c : cases) {
        vnx_Struct_s header{};
        header.type = c.type;
        header.kind = c.kind;
        header.size = c.size;
        header.version = c.version;
        const bool valid = c.type == 121 ? vnx_TlinkDevice_isStructValid(&header) != 0
                                         : vnx_TlinkDomain_isStructValid(&header) != 0;
        EXPECT_EQ(valid, c.valid) << int(c.type) << "/" << int(c.kind) << "/" << c.size << "/"
                                  << int(c.version);
    }

    vnx_TlinkDevice_Command_s command;
    vnx_TlinkDevice_initCommand(&command);
    EXPECT_EQ(vnx_TlinkDevice_dynamicDownCastCommand(&command.command), &command);
    command.command.header.version = 2;
    EXPECT_EQ(vnx_TlinkDevice_dynamicDownCastCommand(&command.command), nullptr);
    EXPECT_EQ(vnx_TlinkDevice_dynamicDownCastConstCommand(&command.command), nullptr);
}

TEST(TlinkRecords, FactoriesMakeRecordsButNoModules)
{
    ASSERT_EQ(vnx_TlinkDevice_moduleFactoryRegister(), 0);
    ASSERT_EQ(vnx_TlinkDomain_moduleFactoryRegister(), 0);
    EXPECT_STREQ(vnx::ModuleFactory::typeIdToString(121), "TlinkDevice");
    EXPECT_STREQ(vnx::ModuleFactory::typeIdToString(120), "TlinkDomain");
    EXPECT_EQ(vnx::ModuleFactory::createModule(121), nullptr);

    vnx_StructCommand_s* command = vnx::ModuleFactory::createCommand(121);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(byteAt(*vnx_TlinkDevice_downCastCommand(command), 53), 3);
    EXPECT_EQ(vnx::ModuleFactory::destroyCommand(command), 0);
    vnx_StructCommand_s* domainCommand = vnx::ModuleFactory::createCommand(120);
    ASSERT_NE(domainCommand, nullptr);
    EXPECT_EQ(vnx_TlinkDomain_downCastCommand(domainCommand)->deviceConfig.header.type, 121);
    EXPECT_EQ(vnx::ModuleFactory::destroyCommand(domainCommand), 0);

    EXPECT_EQ(vnx_TlinkDevice_moduleFactoryUnregister(), 1);
    EXPECT_EQ(vnx_TlinkDomain_moduleFactoryUnregister(), 1);
}

} // namespace
