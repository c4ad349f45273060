#include <gtest/gtest.h>

#include <cstring>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"

namespace {

TEST(SensorInterpretation9AxisRecords, FormatInitialiserFillsTheEmbeddedFormatAndTheFieldCode)
{
    vnx_SensorInterpretation9Axis_Format_s format;
    std::memset(&format, 0xEE, sizeof format);
    ASSERT_EQ(vnx_SensorInterpretation9Axis_initFormat(&format), VNX_STATUS_SUCCESS);

    EXPECT_EQ(format.format.header.size, 112);
    EXPECT_EQ(format.format.header.type, VNX_TYPE_SENSOR_INTERPRETATION_9AXIS);
    EXPECT_EQ(format.format.header.kind, VNX_KIND_FORMAT);
    EXPECT_EQ(format.format.header.version, 1);
    EXPECT_EQ(format.format.header.instanceId, 0u);

    // A whole 6-axis Format, as its own initialiser leaves it.
    const vnx_SensorInterpretation_Format_s& motion = format.interpretation;
    EXPECT_EQ(motion.format.header.size, 56);
    EXPECT_EQ(motion.format.header.type, VNX_TYPE_SENSOR_INTERPRETATION);
    EXPECT_EQ(motion.format.header.kind, VNX_KIND_FORMAT);
    EXPECT_EQ(motion.accValueFormat, 127);
    EXPECT_EQ(motion.rateValueFormat, 127);
    EXPECT_EQ(motion.periodUs, 0u);

    EXPECT_EQ(format.magValueFormat, 127);
    const vnx_SensorInterpretation9Axis_MagRepresentation_s& mag = format.magRepresentation;
    EXPECT_EQ(mag.word0, 0u);
    EXPECT_EQ(mag.byte0, 0);
    EXPECT_EQ(mag.word1, 0u);
    EXPECT_EQ(mag.byte1, 0);
    EXPECT_EQ(mag.word2, 0u);
    EXPECT_EQ(mag.byte2, 0);
    EXPECT_EQ(mag.wide[0], 0u);
    EXPECT_EQ(mag.wide[1], 0u);
    // Padding and reserved bytes are the caller's.
    EXPECT_EQ(format.padding[0], 0xEE);
    EXPECT_EQ(mag.padding0[0], 0xEE);
    EXPECT_EQ(format.reserved, 0xEEEEEEEEu);
}

TEST(SensorInterpretation9AxisRecords, OutputInitialiserZeroesTheMotionAndTheField)
{
    vnx_SensorInterpretation9Axis_Output_s output;
    std::memset(&output, 0xEE, sizeof output);
    ASSERT_EQ(vnx_SensorInterpretation9Axis_initOutput(&output), VNX_STATUS_SUCCESS);

    EXPECT_EQ(output.output.header.size, 88);
    EXPECT_EQ(output.output.header.type, VNX_TYPE_SENSOR_INTERPRETATION_9AXIS);
    EXPECT_EQ(output.output.header.kind, VNX_KIND_OUTPUT);
    EXPECT_EQ(output.output.header.version, 1);

    const vnx_SensorInterpretation_Output_s& motion = output.interpretation;
    EXPECT_EQ(motion.output.header.size, 56);
    EXPECT_EQ(motion.output.header.type, VNX_TYPE_SENSOR_INTERPRETATION);
    EXPECT_EQ(motion.sampleNumber, 0u);
    EXPECT_EQ(motion.sampleDelta, 0u);
    EXPECT_EQ(motion.flags & 3, 0);
    EXPECT_EQ(motion.acceleration[2], 0.0f);
    EXPECT_EQ(motion.angularVelocity[0], 0.0f);
    for (const vnx_Number32_u& value : output.magneticField) {
        EXPECT_EQ(value.bits, 0u);
    }
}

TEST(SensorInterpretation9AxisRecords, MagRepresentationInitialiserZeroesItsFields)
{
    vnx_SensorInterpretation9Axis_MagRepresentation_s mag;
    std::memset(&mag, 0x5A, sizeof mag);
    ASSERT_EQ(vnx_SensorInterpretation9Axis_initMagRepresentation(&mag), VNX_STATUS_SUCCESS);
    EXPECT_EQ(mag.word1, 0u);
    EXPECT_EQ(mag.byte2, 0);
    EXPECT_EQ(mag.wide[1], 0u);
    EXPECT_EQ(vnx_SensorInterpretation9Axis_initMagRepresentation(nullptr), VNX_STATUS_INVALID_PARAMETER);
}

struct Shape
{
    const char* name;
    uint8_t type;
    uint8_t kind;
    uint8_t version;
    uint16_t size;
    int valid;
};

TEST(SensorInterpretation9AxisRecords, ValidityNeedsTypeKindVersionAndSizeTogether)
{
    const Shape cases[] = {
        {"Config", 16, VNX_KIND_CONFIG, 1, 32, 1},
        {"Command", 16, VNX_KIND_COMMAND, 1, 32, 1},
        {"Status", 16, VNX_KIND_STATUS, 1, 32, 1},
        {"Format", 16, VNX_KIND_FORMAT, 1, 112, 1},
        {"Output", 16, VNX_KIND_OUTPUT, 1, 88, 1},
        {"Output with the Format size", 16, VNX_KIND_OUTPUT, 1, 112, 0},
        {"Format with the 6-axis size", 16, VNX_KIND_FORMAT, 1, 56, 0},
        {"Output of version 2", 16, VNX_KIND_OUTPUT, 2, 88, 0},
        {"6-axis Output", VNX_TYPE_SENSOR_INTERPRETATION, VNX_KIND_OUTPUT, 1, 88, 0},
        {"kind 6", 16, 6, 1, 88, 0},
    };
    for (const Shape& c : cases) {
        SCOPED_TRACE(c.name);
        vnx_SensorInterpretation9Axis_Output_s record{};
        record.output.header.type = c.type;
        record.output.header.kind = c.kind;
        record.output.header.version = c.version;
        record.output.header.size = c.size;
        EXPECT_EQ(vnx_SensorInterpretation9Axis_isStructValid(&record.output.header), c.valid);
        if (c.kind == VNX_KIND_OUTPUT) {
            EXPECT_EQ(vnx_SensorInterpretation9Axis_dynamicDownCastOutput(&record.output) != nullptr,
                      c.valid == 1);
        }
    }
    EXPECT_EQ(vnx_SensorInterpretation9Axis_isStructValid(nullptr), 0);
}

} // namespace
