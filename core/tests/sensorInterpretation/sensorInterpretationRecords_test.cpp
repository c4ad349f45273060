// Records of the SensorInterpretation module: validity, typed casts and the
// initialisers.

#include <gtest/gtest.h>

#include <cstring>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"

namespace {

struct HeaderCase
{
    const char* name;
    uint8_t type;
    uint8_t kind;
    uint8_t version;
    uint16_t size;
    bool valid;
};

constexpr uint8_t kType = VNX_TYPE_SENSOR_INTERPRETATION;

constexpr HeaderCase kHeaders[] = {
    {"config", kType, VNX_KIND_CONFIG, 1, 40, true},
    {"command", kType, VNX_KIND_COMMAND, 1, 32, true},
    {"status", kType, VNX_KIND_STATUS, 1, 32, true},
    {"format", kType, VNX_KIND_FORMAT, 1, 56, true},
    {"output", kType, VNX_KIND_OUTPUT, 1, 56, true},
    {"config of the bare size", kType, VNX_KIND_CONFIG, 1, 32, false},
    {"output one byte short", kType, VNX_KIND_OUTPUT, 1, 55, false},
    {"format of version 2", kType, VNX_KIND_FORMAT, 2, 56, false},
    {"output of another type", VNX_TYPE_SENSOR_INTERPRETATION_9AXIS, VNX_KIND_OUTPUT, 1, 56, false},
    {"kind 6", kType, 6, 1, 56, false},
};

TEST(SensorInterpretationRecords, ValidityChecksTypeKindVersionAndSize)
{
    for (const HeaderCase& c : kHeaders) {
        SCOPED_TRACE(c.name);
        alignas(8) unsigned char bytes[64] = {};
        auto* header = reinterpret_cast<vnx_Struct_s*>(bytes);
        header->type = c.type;
        header->kind = c.kind;
        header->version = c.version;
        header->size = c.size;
        EXPECT_EQ(vnx_SensorInterpretation_isStructValid(header), c.valid ? 1 : 0);
        if (c.kind == VNX_KIND_OUTPUT) {
            const bool cast = vnx_SensorInterpretation_dynamicDownCastOutput(
                                  reinterpret_cast<vnx_StructOutput_s*>(bytes)) != nullptr;
            EXPECT_EQ(cast, c.valid);
        }
        if (c.kind == VNX_KIND_FORMAT) {
            const bool cast = vnx_SensorInterpretation_dynamicDownCastConstFormat(
                                  reinterpret_cast<const vnx_StructFormat_s*>(bytes)) != nullptr;
            EXPECT_EQ(cast, c.valid);
        }
    }
    EXPECT_EQ(vnx_SensorInterpretation_isStructValid(nullptr), 0);
}

TEST(SensorInterpretationRecords, OutputInitClearsTheModuleFlagsAndKeepsTheOthers)
{
    vnx_SensorInterpretation_Output_s output;
    std::memset(&output, 0xA5, sizeof output);
    output.flags = 0xFF;
    ASSERT_EQ(vnx_SensorInterpretation_initOutput(&output), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_SensorInterpretation_isStructValid(&output.output.header), 1);
    EXPECT_EQ(output.flags, 0xFC);
    EXPECT_EQ(output.sampleNumber, 0u);
    EXPECT_EQ(output.sampleDelta, 0u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(output.acceleration[i], 0.0f);
        EXPECT_EQ(output.angularVelocity[i], 0.0f);
    }
    EXPECT_EQ(output.padding[0], 0xA5); // not a field: left as it was
}

TEST(SensorInterpretationRecords, FormatInitMarksFloatValuesAndZeroesTheRest)
{
    vnx_SensorInterpretation_Format_s format;
    std::memset(&format, 0xA5, sizeof format);
    ASSERT_EQ(vnx_SensorInterpretation_initFormat(&format), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_SensorInterpretation_isStructValid(&format.format.header), 1);
    EXPECT_EQ(format.periodUs, 0u);
    EXPECT_EQ(format.accValueFormat, 127);
    EXPECT_EQ(format.rateValueFormat, 127);
    EXPECT_EQ(format.accAxes, 0);
    EXPECT_EQ(format.rateAxes, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(format.accNoise[i], 0.0f);
        EXPECT_EQ(format.rateVariance[i], 0.0f);
    }
}

TEST(SensorInterpretationRecords, ConfigInitZeroesPeriodSelectorAndPeriod)
{
    vnx_SensorInterpretation_Config_s config;
    std::memset(&config, 0xA5, sizeof config);
    ASSERT_EQ(vnx_SensorInterpretation_initConfig(&config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_SensorInterpretation_isStructValid(&config.config.header), 1);
    EXPECT_EQ(config.config.result, 0u);
    EXPECT_EQ(config.config.extra, -1);
    EXPECT_EQ(config.periodSelector, 0u);
    EXPECT_EQ(config.periodUs, 0u);
}

TEST(SensorInterpretationRecords, SensorRepresentationInitZeroesItsFields)
{
    vnx_SensorInterpretation_SensorRepresentation_s representation;
    std::memset(&representation, 0xA5, sizeof representation);
    ASSERT_EQ(vnx_SensorInterpretation_initSensorRepresentation(&representation), VNX_STATUS_SUCCESS);
    EXPECT_EQ(representation.kind, 0);
    EXPECT_EQ(representation.value, 0u);
    EXPECT_EQ(representation.extra, 0u);
    EXPECT_EQ(vnx_SensorInterpretation_initSensorRepresentation(nullptr), VNX_STATUS_INVALID_PARAMETER);
}

} // namespace
