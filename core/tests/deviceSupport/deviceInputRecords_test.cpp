#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "../moduleFactory/factoryLogCapture.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "moduleFactory/ModuleFactory.h"

namespace {

using vnx::ModuleFactory;

constexpr uint8_t kFill = 0xFF;

struct Header
{
    uint16_t size;
    uint8_t type;
    uint8_t kind;
    uint8_t version;
};

void expectHeader(const vnx_Struct_s& header, const Header& expected)
{
    EXPECT_EQ(header.size, expected.size);
    EXPECT_EQ(header.type, expected.type);
    EXPECT_EQ(header.kind, expected.kind);
    EXPECT_EQ(header.version, expected.version);
    EXPECT_EQ(header.instanceId, 0u);
}

// Bytes [from, to) of the record as they are, compared with `value`.
void expectBytes(const void* record, size_t from, size_t to, uint8_t value)
{
    const auto* bytes = static_cast<const uint8_t*>(record);
    for (size_t i = from; i < to; ++i) {
        EXPECT_EQ(bytes[i], value) << "byte " << i;
    }
}

// Runs the initialiser over a buffer full of 0xFF: fields are written, bytes
// that are no field keep 0xFF.
template <class Record> Record initialisedOverFill(int (*init)(Record*))
{
    Record record;
    std::memset(&record, kFill, sizeof(record));
    EXPECT_EQ(init(&record), VNX_STATUS_SUCCESS);
    return record;
}

TEST(DeviceInputRecords, SixAxisInitialiserLeavesPaddingAlone)
{
    const auto record = initialisedOverFill(vnx_DeviceSupport6AG_initOutput);
    expectHeader(record.output.header, {40, 22, VNX_KIND_OUTPUT, 1});
    expectBytes(&record, 8, 35, 0);
    expectBytes(&record, 35, 40, kFill);
    EXPECT_EQ(vnx_DeviceSupport6AG_isStructValid(&record.output.header), 1);
}

TEST(DeviceInputRecords, NineAxisInitialiserLeavesBothPaddingsAlone)
{
    const auto record = initialisedOverFill(vnx_DeviceSupport9AGM_initOutput);
    expectHeader(record.output.header, {48, 23, VNX_KIND_OUTPUT, 1});
    expectBytes(&record, 8, 22, 0);
    expectBytes(&record, 22, 24, kFill);
    expectBytes(&record, 24, 47, 0);
    expectBytes(&record, 47, 48, kFill);
}

TEST(DeviceInputRecords, SingleSensorRecordsLeaveTheirSpareBytesAlone)
{
    const auto output = initialisedOverFill(vnx_DeviceSupport_initOutput);
    expectHeader(output.output.header, {24, 1, VNX_KIND_OUTPUT, 2});
    expectBytes(&output, 8, 17, 0);
    expectBytes(&output, 17, 18, kFill);
    expectBytes(&output, 18, 24, 0);

    const auto format = initialisedOverFill(vnx_DeviceSupport_initFormat);
    expectHeader(format.format.header, {32, 1, VNX_KIND_FORMAT, 2});
    expectBytes(&format, 8, 26, 0);
    expectBytes(&format, 26, 32, kFill);
}

TEST(DeviceInputRecords, SingleSensorRecordsAreVersionTwo)
{
    vnx_DeviceSupport_Output_s output;
    vnx_DeviceSupport_initOutput(&output);
    EXPECT_EQ(vnx_DeviceSupport_isStructValid(&output.output.header), 1);
    output.output.header.version = 1;
    EXPECT_EQ(vnx_DeviceSupport_isStructValid(&output.output.header), 0);

    vnx_DeviceSupport_Config_s config;
    vnx_DeviceSupport_initConfig(&config);
    expectHeader(config.header, {32, 1, VNX_KIND_CONFIG, 2});
}

TEST(DeviceInputRecords, ShapesOfTheOtherKinds)
{
    struct Case
    {
        std::string name;
        std::function<vnx_Struct_s*()> make;
        Header header;
    };
    vnx_DeviceSupport6AG_Format_s format6;
    vnx_DeviceSupport9AGM_Status_s status9;
    vnx_DeviceSupport_Command_s command1;
    const Case cases[] = {
        {"6AG Format",
         [&] {
             vnx_DeviceSupport6AG_initFormat(&format6);
             return &format6.header;
         },
         {16, 22, VNX_KIND_FORMAT, 1}},
        {"9AGM Status",
         [&] {
             vnx_DeviceSupport9AGM_initStatus(&status9);
             return &status9.header;
         },
         {32, 23, VNX_KIND_STATUS, 1}},
        {"DeviceSupport Command",
         [&] {
             vnx_DeviceSupport_initCommand(&command1);
             return &command1.header;
         },
         {32, 1, VNX_KIND_COMMAND, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectHeader(*c.make(), c.header);
    }
}

class DeviceInputFactories : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(vnx_DeviceSupport_moduleFactoryRegister(), VNX_STATUS_SUCCESS);
        ASSERT_EQ(vnx_DeviceSupport6AG_moduleFactoryRegister(), VNX_STATUS_SUCCESS);
        ASSERT_EQ(vnx_DeviceSupport9AGM_moduleFactoryRegister(), VNX_STATUS_SUCCESS);
    }
    void TearDown() override
    {
        vnx_DeviceSupport_moduleFactoryUnregister();
        vnx_DeviceSupport6AG_moduleFactoryUnregister();
        vnx_DeviceSupport9AGM_moduleFactoryUnregister();
        vnx::NodeManager::getInstance().reset();
    }
};

TEST_F(DeviceInputFactories, CreatedSixAxisOutputIsZeroBeyondItsHeader)
{
    vnx_StructOutput_s* record = ModuleFactory::createOutput(VNX_TYPE_DEVICE_SUPPORT_6AG);
    ASSERT_NE(record, nullptr);
    expectHeader(record->header, {40, 22, VNX_KIND_OUTPUT, 1});
    expectBytes(record, 5, 40, 0);
    EXPECT_NE(vnx_DeviceSupport6AG_dynamicDownCastOutput(record), nullptr);
    EXPECT_EQ(ModuleFactory::destroyOutput(record), VNX_STATUS_SUCCESS);
}

TEST_F(DeviceInputFactories, CreatedRecordsMatchTheirTypesShape)
{
    vnx_StructOutput_s* nine = ModuleFactory::createOutput(VNX_TYPE_DEVICE_SUPPORT_9AGM);
    ASSERT_NE(nine, nullptr);
    expectBytes(nine, 5, 48, 0);
    EXPECT_EQ(vnx_DeviceSupport9AGM_isStructValid(&nine->header), 1);
    EXPECT_EQ(ModuleFactory::destroyStruct(&nine->header), VNX_STATUS_SUCCESS);

    vnx_StructFormat_s* format = ModuleFactory::createFormat(VNX_TYPE_DEVICE_SUPPORT);
    ASSERT_NE(format, nullptr);
    expectBytes(format, 5, 32, 0);
    EXPECT_EQ(vnx_DeviceSupport_isStructValid(&format->header), 1);
    EXPECT_EQ(ModuleFactory::destroyStruct(&format->header), VNX_STATUS_SUCCESS);
}

TEST_F(DeviceInputFactories, TypesHaveNamesButNoModulesAndLogNothing)
{
    FactoryLogCapture log;
    ASSERT_TRUE(log.attached());
    const std::pair<uint8_t, const char*> types[] = {
        {VNX_TYPE_DEVICE_SUPPORT, "DeviceSupport"},
        {VNX_TYPE_DEVICE_SUPPORT_6AG, "DeviceSupport6AG"},
        {VNX_TYPE_DEVICE_SUPPORT_9AGM, "DeviceSupport9AGM"},
    };
    for (const auto& [type, name] : types) {
        SCOPED_TRACE(name);
        EXPECT_STREQ(ModuleFactory::typeIdToString(type), name);
        EXPECT_EQ(ModuleFactory::createModule(type), nullptr);
    }
    EXPECT_TRUE(log.matches());
}

} // namespace
