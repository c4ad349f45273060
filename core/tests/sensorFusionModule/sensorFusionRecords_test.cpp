#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;
constexpr uint8_t kFill = vnx::testsupport::kFillByte;

template <class Record> void expectHeader(const Record& record, uint16_t size, uint8_t kind)
{
    vnx_Struct_s header;
    std::memcpy(&header, &record, sizeof(header));
    EXPECT_EQ(header.size, size);
    EXPECT_EQ(header.type, VNX_TYPE_SENSOR_FUSION);
    EXPECT_EQ(header.kind, kind);
    EXPECT_EQ(header.version, 1);
    EXPECT_EQ(header.instanceId, 0u);
}

TEST(SensorFusionRecords, ConfigDefaultsToIdentityAndKeepsTheTopFlagBits)
{
    auto config = filled<vnx_SensorFusion_Config_s>();
    ASSERT_EQ(vnx_SensorFusion_initConfig(&config), VNX_STATUS_SUCCESS);
    expectHeader(config, 56, VNX_KIND_CONFIG);
    EXPECT_EQ(config.config.result, 0u);
    EXPECT_EQ(config.config.extra, -1);
    EXPECT_EQ(config.reorientation[0], 16384);
    EXPECT_EQ(config.reorientation[1], 0);
    EXPECT_EQ(config.reorientation[2], 0);
    EXPECT_EQ(config.reorientation[3], 0);
    EXPECT_EQ(config.reserved1, 0);
    EXPECT_EQ(config.reserved2, 0);
    // 0xEEEE: top nibble E kept, low 12 bits the default 0xE36.
    EXPECT_EQ(config.flags, 0xEE36);
    EXPECT_EQ(config.reserved3, 0u);
    for (size_t offset : {46u, 47u, 52u, 53u, 54u, 55u}) {
        EXPECT_EQ(byteAt(config, offset), kFill) << "byte " << offset;
    }

    config.flags = 0x1FFF;
    vnx_SensorFusion_initConfig(&config);
    EXPECT_EQ(config.flags, 0x1E36);
}

TEST(SensorFusionRecords, FormatMarksEveryGroupAbsent)
{
    auto format = filled<vnx_SensorFusion_Format_s>();
    ASSERT_EQ(vnx_SensorFusion_initFormat(&format), VNX_STATUS_SUCCESS);
    expectHeader(format, 40, VNX_KIND_FORMAT);
    EXPECT_EQ(format.periodUs, 0u);
    for (size_t offset : {20u, 21u, 22u, 36u, 37u, 38u}) {
        EXPECT_EQ(byteAt(format, offset), 129) << "byte " << offset;
    }
    for (size_t offset = 24; offset < 36; ++offset) {
        EXPECT_EQ(byteAt(format, offset), 0) << "byte " << offset;
    }
    EXPECT_EQ(byteAt(format, 23), kFill);
    EXPECT_EQ(byteAt(format, 39), kFill);
}

TEST(SensorFusionRecords, OutputIsZeroAfterTheHeaderWords)
{
    auto output = filled<vnx_SensorFusion_Output_s>();
    ASSERT_EQ(vnx_SensorFusion_initOutput(&output), VNX_STATUS_SUCCESS);
    expectHeader(output, 96, VNX_KIND_OUTPUT);
    for (size_t offset = 8; offset < 96; ++offset) {
        EXPECT_EQ(byteAt(output, offset), 0) << "byte " << offset;
    }
}

TEST(SensorFusionRecords, CommandAndStatusClearTheirWord)
{
    auto command = filled<vnx_SensorFusion_Command_s>();
    ASSERT_EQ(vnx_SensorFusion_initCommand(&command), VNX_STATUS_SUCCESS);
    expectHeader(command, 40, VNX_KIND_COMMAND);
    EXPECT_EQ(command.code, 0u);
    EXPECT_EQ(byteAt(command, 36), kFill);

    auto status = filled<vnx_SensorFusion_Status_s>();
    ASSERT_EQ(vnx_SensorFusion_initStatus(&status), VNX_STATUS_SUCCESS);
    expectHeader(status, 40, VNX_KIND_STATUS);
    EXPECT_EQ(status.value, 0u);
}

TEST(SensorFusionRecords, ValidityNeedsTypeKindVersionAndTheKindsSize)
{
    struct Case
    {
        std::string name;
        vnx_Struct_s header;
        int valid;
    };
    const Case cases[] = {
        {"config", {56, 3, 1, 1, {}, 0}, 1},
        {"command", {40, 3, 2, 1, {}, 0}, 1},
        {"status", {40, 3, 3, 1, {}, 0}, 1},
        {"format", {40, 3, 4, 1, {}, 0}, 1},
        {"output", {96, 3, 5, 1, {}, 0}, 1},
        {"output of format size", {40, 3, 5, 1, {}, 0}, 0},
        {"config of command size", {40, 3, 1, 1, {}, 0}, 0},
        {"version 2", {96, 3, 5, 2, {}, 0}, 0},
        {"another type", {96, 2, 5, 1, {}, 0}, 0},
        {"kind 0", {96, 3, 0, 1, {}, 0}, 0},
        {"kind 6", {96, 3, 6, 1, {}, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(vnx_SensorFusion_isStructValid(&c.header), c.valid);
    }
    EXPECT_EQ(vnx_SensorFusion_isStructValid(nullptr), 0);
}

TEST(SensorFusionRecords, DynamicCastsRefuseAnotherKindOrSize)
{
    vnx_SensorFusion_Output_s output;
    vnx_SensorFusion_initOutput(&output);
    vnx_SensorFusion_Format_s format;
    vnx_SensorFusion_initFormat(&format);

    EXPECT_EQ(vnx_SensorFusion_dynamicDownCastConstOutput(&output.output), &output);
    EXPECT_EQ(vnx_SensorFusion_dynamicDownCastConstFormat(&format.format), &format);
    // A Format handed where an Output is expected.
    EXPECT_EQ(
        vnx_SensorFusion_dynamicDownCastConstOutput(reinterpret_cast<const vnx_StructOutput_s*>(&format)),
        nullptr);
    output.output.header.size = 95;
    EXPECT_EQ(vnx_SensorFusion_dynamicDownCastOutput(&output.output), nullptr);
    EXPECT_EQ(vnx_SensorFusion_upCastOutput(&output), &output.output);
}

} // namespace
