#pragma once

// SensorInterpretation records (type 2): interpreted motion of one sample,
// calibrated acceleration and offset-free angular velocity with their noise.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Bits of vnx_SensorInterpretation_Output_s::flags that the module writes;
/// the other bits are left as the record carried them.
typedef enum vnx_SensorInterpretation_Flag_e
{
    VNX_SENSOR_INTERPRETATION_ON_TABLE = 1,      ///< the device lies still on a surface
    VNX_SENSOR_INTERPRETATION_ZRO_CONVERGED = 2, ///< the gyroscope offset variance is below 0.01 (rad/s)^2
} vnx_SensorInterpretation_Flag_e;

/// Value-format code of IEEE single-precision values.
#define VNX_SENSOR_INTERPRETATION_VALUE_FLOAT 127

/// Read by the per-device fusion module, which sets its sensor periods from it;
/// the SensorInterpretation module itself takes no configuration.
typedef struct vnx_SensorInterpretation_Config_s
{
    vnx_StructConfig_s config;
    uint32_t periodSelector; ///< low byte: the period mode; 0 = periods follow the SCD
    uint32_t periodUs;       ///< period of the selected mode, microseconds
} vnx_SensorInterpretation_Config_s;

typedef vnx_StructCommand_s vnx_SensorInterpretation_Command_s;
typedef vnx_StructStatus_s vnx_SensorInterpretation_Status_s;

typedef struct vnx_SensorInterpretation_Format_s
{
    vnx_StructFormat_s format;
    uint32_t periodUs;       ///< sample period, whole microseconds
    uint8_t accValueFormat;  ///< VNX_SENSOR_INTERPRETATION_VALUE_FLOAT
    uint8_t rateValueFormat; ///< VNX_SENSOR_INTERPRETATION_VALUE_FLOAT
    uint8_t padding[2];      ///< left alone by the initialiser
    uint8_t accAxes;         ///< bit per accelerometer axis present (x = 1)
    uint8_t padding2[3];
    float accNoise[3]; ///< m/s^2
    uint8_t rateAxes;  ///< 7, or 6 when only the y and z rotation channels are active
    uint8_t padding3[3];
    float rateVariance[3]; ///< (rad/s)^2: the larger of sensor noise^2 and offset variance
} vnx_SensorInterpretation_Format_s;

typedef struct vnx_SensorInterpretation_Output_s
{
    vnx_StructOutput_s output;
    uint32_t sampleNumber;    ///< sample number of the input sample
    uint32_t sampleDelta;     ///< sample periods since the previous sample; 0xFFFFFFFF unknown
    uint8_t flags;            ///< vnx_SensorInterpretation_Flag_e; other bits kept
    uint8_t padding[3];       ///< left alone by the initialiser
    float acceleration[3];    ///< m/s^2, calibrated, each within [-19.6, 19.6]
    float angularVelocity[3]; ///< rad/s, gyroscope offset removed
    uint32_t reserved;        ///< zero
} vnx_SensorInterpretation_Output_s;

/// Description of one sensor of the interpreted motion; no operation reads it.
typedef struct vnx_SensorInterpretation_SensorRepresentation_s
{
    uint8_t kind;
    uint8_t padding[3];
    uint32_t value;
    uint64_t extra;
} vnx_SensorInterpretation_SensorRepresentation_s;

VNX_DECLARE_RECORD_FAMILY(SensorInterpretation)

/// Sets the three fields to 0 (padding left alone); 0, or -2 for null.
VNX_RECORD_FAMILY_API int vnx_SensorInterpretation_initSensorRepresentation(
    vnx_SensorInterpretation_SensorRepresentation_s* representation);

#ifdef __cplusplus
}

static_assert(sizeof(vnx_SensorInterpretation_Config_s) == 40);
static_assert(offsetof(vnx_SensorInterpretation_Config_s, config) == 0);
static_assert(offsetof(vnx_SensorInterpretation_Config_s, periodSelector) == 32);
static_assert(offsetof(vnx_SensorInterpretation_Config_s, periodUs) == 36);

static_assert(sizeof(vnx_SensorInterpretation_Command_s) == 32);
static_assert(sizeof(vnx_SensorInterpretation_Status_s) == 32);

static_assert(sizeof(vnx_SensorInterpretation_Format_s) == 56);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, format) == 0);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, periodUs) == 16);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, accValueFormat) == 20);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, rateValueFormat) == 21);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, padding) == 22);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, accAxes) == 24);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, padding2) == 25);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, accNoise) == 28);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, rateAxes) == 40);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, padding3) == 41);
static_assert(offsetof(vnx_SensorInterpretation_Format_s, rateVariance) == 44);

static_assert(sizeof(vnx_SensorInterpretation_Output_s) == 56);
static_assert(offsetof(vnx_SensorInterpretation_Output_s, output) == 0);
static_assert(offsetof(vnx_SensorInterpretation_Output_s, sampleNumber) == 16);
static_assert(offsetof(vnx_SensorInterpretation_Output_s, sampleDelta) == 20);
static_assert(offsetof(vnx_SensorInterpretation_Output_s, flags) == 24);
static_assert(offsetof(vnx_SensorInterpretation_Output_s, padding) == 25);
static_assert(offsetof(vnx_SensorInterpretation_Output_s, acceleration) == 28);
static_assert(offsetof(vnx_SensorInterpretation_Output_s, angularVelocity) == 40);
static_assert(offsetof(vnx_SensorInterpretation_Output_s, reserved) == 52);

static_assert(sizeof(vnx_SensorInterpretation_SensorRepresentation_s) == 16);
static_assert(offsetof(vnx_SensorInterpretation_SensorRepresentation_s, kind) == 0);
static_assert(offsetof(vnx_SensorInterpretation_SensorRepresentation_s, padding) == 1);
static_assert(offsetof(vnx_SensorInterpretation_SensorRepresentation_s, value) == 4);
static_assert(offsetof(vnx_SensorInterpretation_SensorRepresentation_s, extra) == 8);
#endif
