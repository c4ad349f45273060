#include <gtest/gtest.h>

#include "manualRecords/ManualDeviceRecords.h"
#include "manualRecords/ManualDomainRecords.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;
using vnx::testsupport::valueAt;

TEST(ManualDeviceRecords, ConfigIsAHeaderAndZeroes)
{
    auto config = filled<vnx_ManualDevice_Config_s>();
    ASSERT_EQ(vnx_ManualDevice_initConfig(&config), 0);
    EXPECT_EQ(config.config.header.size, 584);
    EXPECT_EQ(config.config.header.type, 117);
    EXPECT_EQ(config.config.header.kind, VNX_KIND_CONFIG);
    EXPECT_EQ(config.config.header.version, 1);
    EXPECT_EQ(config.config.header.instanceId, 0u);
    EXPECT_EQ(valueAt<int32_t>(&config, 16), 0);
    EXPECT_EQ(valueAt<int64_t>(&config, 24), -1);
    for (size_t offset = 32; offset < 584; ++offset) {
        ASSERT_EQ(byteAt(config, offset), 0) << offset;
    }
    EXPECT_TRUE(vnx_ManualDevice_isStructValid(&config.config.header));
}

TEST(ManualDeviceRecords, CommandStatusAndFileHandleDefaults)
{
    auto command = filled<vnx_ManualDevice_Command_s>();
    ASSERT_EQ(vnx_ManualDevice_initCommand(&command), 0);
    EXPECT_EQ(command.command.header.size, 40);
    EXPECT_EQ(command.command.header.kind, VNX_KIND_COMMAND);
    EXPECT_EQ(valueAt<uint32_t>(&command, 32), 0u);

    auto status = filled<vnx_ManualDevice_Status_s>();
    ASSERT_EQ(vnx_ManualDevice_initStatus(&status), 0);
    EXPECT_EQ(status.status.header.size, 304);
    for (size_t offset = 8; offset < 20; ++offset) {
        EXPECT_EQ(byteAt(status, offset), 0) << offset;
    }
    for (size_t offset = 32; offset < 300; ++offset) {
        ASSERT_EQ(byteAt(status, offset), 0) << offset;
    }

    auto fileHandle = filled<vnx_ManualDevice_FileHandle_s>();
    ASSERT_EQ(vnx_ManualDevice_initFileHandle(&fileHandle), 0);
    EXPECT_EQ(fileHandle.fd, 0);
    EXPECT_EQ(fileHandle.events, 0);
    EXPECT_EQ(vnx_ManualDevice_initFileHandle(nullptr), -2);
}

TEST(ManualDomainRecords, CommandCarriesAnInitialisedDeviceConfig)
{
    auto command = filled<vnx_ManualDomain_Command_s>();
    ASSERT_EQ(vnx_ManualDomain_initCommand(&command), 0);
    EXPECT_EQ(command.command.header.size, 624);
    EXPECT_EQ(command.command.header.type, 116);
    EXPECT_EQ(command.command.header.kind, VNX_KIND_COMMAND);
    EXPECT_EQ(valueAt<int64_t>(&command, 24), -1);
    EXPECT_EQ(valueAt<uint32_t>(&command, 32), 0u);
    EXPECT_TRUE(vnx_ManualDevice_isStructValid(&command.payload.deviceConfig.config.header));
    EXPECT_EQ(valueAt<uint16_t>(&command, 40), 584);
    EXPECT_EQ(byteAt(command, 42), 117);

    // Codes 2 and 3 read the file handle at offsets 40 and 44.
    command.payload.fileHandle.fd = 17;
    command.payload.fileHandle.events = 1;
    EXPECT_EQ(valueAt<int32_t>(&command, 40), 17);
    EXPECT_EQ(valueAt<uint16_t>(&command, 44), 1);
}

TEST(ManualRecords, ValidityNeedsTypeKindVersionAndExactSize)
{
    vnx_ManualDevice_Config_s config;
    vnx_ManualDevice_initConfig(&config);
    vnx_ManualDomain_Command_s command;
    vnx_ManualDomain_initCommand(&command);
    struct Case
    {
        const char* what;
        void (*change)(vnx_Struct_s&);
        bool valid;
    };
    const Case cases[] = {
        {"as made", [](vnx_Struct_s&) {}, true},
        {"version 2", [](vnx_Struct_s& h) { h.version = 2; }, false},
        {"one byte short", [](vnx_Struct_s& h) { --h.size; }, false},
        {"kind 6", [](vnx_Struct_s& h) { h.kind = 6; }, false},
        {"another type", [](vnx_Struct_s& h) { h.type = 113; }, false},
    };
    for (const Case& c : cases) {
        vnx_ManualDevice_Config_s deviceConfig = config;
        c.change(deviceConfig.config.header);
        EXPECT_EQ(vnx_ManualDevice_isStructValid(&deviceConfig.config.header) != 0, c.valid) << c.what;
        EXPECT_EQ(vnx_ManualDevice_dynamicDownCastConfig(&deviceConfig.config) != nullptr, c.valid) << c.what;
        vnx_ManualDomain_Command_s domainCommand = command;
        c.change(domainCommand.command.header);
        EXPECT_EQ(vnx_ManualDomain_isStructValid(&domainCommand.command.header) != 0, c.valid) << c.what;
        EXPECT_EQ(vnx_ManualDomain_dynamicDownCastCommand(&domainCommand.command) != nullptr, c.valid) << c.what;
    }
}

} // namespace
