#pragma once

// SensorInterpretation9Axis records (type 16): the interpreted motion of one
// sample, as the 6-axis SensorInterpretation records carry it, plus the
// calibrated, gyro-stabilised magnetic field.

#include <stdint.h>

#include "common/record.h"
#include "common/valueEncoding.h"
#include "moduleFactory/recordFamily.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef vnx_StructConfig_s vnx_SensorInterpretation9Axis_Config_s;
typedef vnx_StructCommand_s vnx_SensorInterpretation9Axis_Command_s;
typedef vnx_StructStatus_s vnx_SensorInterpretation9Axis_Status_s;

/// Description of the magnetic field values; every writer leaves it zero and
/// no operation reads it. The 64-bit field is stored as two 32-bit words
/// (low word first) so that the description sits at its 4-byte aligned place
/// in the Format.
typedef struct vnx_SensorInterpretation9Axis_MagRepresentation_s
{
    uint32_t word0;
    uint8_t byte0;
    uint8_t padding0[3];
    uint32_t word1;
    uint8_t byte1;
    uint8_t padding1[3];
    uint32_t word2;
    uint8_t byte2;
    uint8_t padding2[3];
    uint32_t wide[2];
} vnx_SensorInterpretation9Axis_MagRepresentation_s;

typedef struct vnx_SensorInterpretation9Axis_Format_s
{
    vnx_StructFormat_s format;
    /// Period, value codes, accelerometer noise and rotation variances.
    vnx_SensorInterpretation_Format_s interpretation;
    uint8_t magValueFormat; ///< value-format code of Output::magneticField (127: float)
    uint8_t padding[3];     ///< left alone by the initialiser
    vnx_SensorInterpretation9Axis_MagRepresentation_s magRepresentation;
    uint32_t reserved; ///< left alone by the initialiser
} vnx_SensorInterpretation9Axis_Format_s;

typedef struct vnx_SensorInterpretation9Axis_Output_s
{
    vnx_StructOutput_s output;
    /// Sample number and delta, flags, acceleration, angular velocity.
    vnx_SensorInterpretation_Output_s interpretation;
    /// x, y, z in uT, encoded with Format::magValueFormat.
    vnx_Number32_u magneticField[3];
    uint32_t reserved; ///< left alone by the initialiser
} vnx_SensorInterpretation9Axis_Output_s;

VNX_DECLARE_RECORD_FAMILY(SensorInterpretation9Axis)

/// Sets every field to 0 (padding left alone); 0, or -2 for null.
VNX_RECORD_FAMILY_API int vnx_SensorInterpretation9Axis_initMagRepresentation(
    vnx_SensorInterpretation9Axis_MagRepresentation_s* representation);

#ifdef __cplusplus
}

static_assert(sizeof(vnx_SensorInterpretation9Axis_Config_s) == 32);
static_assert(sizeof(vnx_SensorInterpretation9Axis_Command_s) == 32);
static_assert(sizeof(vnx_SensorInterpretation9Axis_Status_s) == 32);

static_assert(sizeof(vnx_SensorInterpretation9Axis_MagRepresentation_s) == 32);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, word0) == 0);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, byte0) == 4);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, padding0) == 5);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, word1) == 8);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, byte1) == 12);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, padding1) == 13);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, word2) == 16);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, byte2) == 20);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, padding2) == 21);
static_assert(offsetof(vnx_SensorInterpretation9Axis_MagRepresentation_s, wide) == 24);

static_assert(sizeof(vnx_SensorInterpretation9Axis_Format_s) == 112);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, format) == 0);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, interpretation) == 16);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, interpretation.periodUs) == 32);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, interpretation.accValueFormat) == 36);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, interpretation.rateValueFormat) == 37);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, interpretation.accAxes) == 40);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, interpretation.accNoise) == 44);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, interpretation.rateAxes) == 56);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, interpretation.rateVariance) == 60);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, magValueFormat) == 72);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, padding) == 73);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, magRepresentation) == 76);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Format_s, reserved) == 108);

static_assert(sizeof(vnx_SensorInterpretation9Axis_Output_s) == 88);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Output_s, output) == 0);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Output_s, interpretation) == 16);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Output_s, interpretation.sampleNumber) == 32);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Output_s, interpretation.sampleDelta) == 36);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Output_s, interpretation.flags) == 40);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Output_s, interpretation.acceleration) == 44);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Output_s, interpretation.angularVelocity) == 56);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Output_s, magneticField) == 72);
static_assert(offsetof(vnx_SensorInterpretation9Axis_Output_s, reserved) == 84);
#endif
