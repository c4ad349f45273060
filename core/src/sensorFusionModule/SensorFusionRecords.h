#pragma once

// SensorFusion records (type 3). The Output is the motion output of the whole
// engine: sample number, acceleration with and without gravity, angular
// velocity, magnetic field, a reserved group and the orientation quaternion.
// Each group of value words carries its own number encoding, announced by a
// q code in the Format (127 float bits, 129 group absent, any other value the
// fractional bits of a fixed-point word), so fixed-point devices and the float
// fusion write the same layout; readers convert through valueEncoding.h.

#include <stdint.h>

#include "common/record.h"
#include "common/valueEncoding.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Command codes of type 3.
typedef enum vnx_SensorFusion_CommandCode_e
{
    VNX_SENSOR_FUSION_RESTART_MAG_CALIBRATION = 4, ///< forget the learned magnetometer calibration
    VNX_SENSOR_FUSION_TARE_HEADING = 6,            ///< make the current heading the reference
} vnx_SensorFusion_CommandCode_e;

/// Default of the low 12 bits of the Config flag word.
#define VNX_SENSOR_FUSION_DEFAULT_FLAGS 0x0E36u
/// The bits of the Config flag word that belong to the flags.
#define VNX_SENSOR_FUSION_FLAGS_MASK 0x0FFFu

typedef struct vnx_SensorFusion_Config_s
{
    vnx_StructConfig_s config;
    /// Rotation applied to the device frame, w x y z in Q14 (16384 = 1.0).
    int16_t reorientation[4];
    uint16_t reserved1;
    uint16_t reserved2;
    /// Low 12 bits: flags; the top 4 bits are not part of them and the
    /// initialiser leaves them alone.
    uint16_t flags;
    uint8_t padding1[2]; ///< left alone by the initialiser
    uint32_t reserved3;
    uint8_t padding2[4]; ///< left alone by the initialiser
} vnx_SensorFusion_Config_s;

typedef struct vnx_SensorFusion_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code;      ///< vnx_SensorFusion_CommandCode_e
    uint8_t padding[4]; ///< left alone by the initialiser
} vnx_SensorFusion_Command_s;

typedef struct vnx_SensorFusion_Status_s
{
    vnx_StructStatus_s status;
    uint32_t value;
    uint8_t padding[4]; ///< left alone by the initialiser
} vnx_SensorFusion_Status_s;

/// How the Output's value groups are encoded (q codes as in valueEncoding.h;
/// the initialiser marks every group absent).
typedef struct vnx_SensorFusion_Format_s
{
    vnx_StructFormat_s format;
    uint32_t periodUs;          ///< sampling period of the output, microseconds
    int8_t accelerationQ;       ///< group `acceleration`
    int8_t linearAccelerationQ; ///< group `linearAcceleration`
    int8_t angularVelocityQ;    ///< group `angularVelocity`
    uint8_t padding1;           ///< left alone by the initialiser
    uint8_t reserved[12];
    int8_t magneticFieldQ; ///< group `magneticField`
    int8_t reservedGroupQ; ///< group `reservedGroup`
    int8_t quaternionQ;    ///< group `quaternion`
    uint8_t padding2;      ///< left alone by the initialiser
} vnx_SensorFusion_Format_s;

typedef struct vnx_SensorFusion_Output_s
{
    vnx_StructOutput_s output;
    uint32_t sampleNumber;                ///< input sample this output belongs to
    vnx_Number32_u acceleration[3];       ///< with gravity, m/s^2, x y z
    vnx_Number32_u linearAcceleration[3]; ///< gravity removed, m/s^2, x y z
    vnx_Number32_u angularVelocity[3];    ///< rad/s, x y z
    vnx_Number32_u magneticField[3];      ///< uT, x y z
    vnx_Number32_u reservedGroup[3];      ///< written by no producer
    vnx_Number32_u quaternion[4];         ///< orientation w x y z
} vnx_SensorFusion_Output_s;

VNX_DECLARE_RECORD_FAMILY(SensorFusion)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_SensorFusion_Config_s) == 56);
static_assert(offsetof(vnx_SensorFusion_Config_s, config) == 0);
static_assert(offsetof(vnx_SensorFusion_Config_s, reorientation) == 32);
static_assert(offsetof(vnx_SensorFusion_Config_s, reserved1) == 40);
static_assert(offsetof(vnx_SensorFusion_Config_s, reserved2) == 42);
static_assert(offsetof(vnx_SensorFusion_Config_s, flags) == 44);
static_assert(offsetof(vnx_SensorFusion_Config_s, padding1) == 46);
static_assert(offsetof(vnx_SensorFusion_Config_s, reserved3) == 48);
static_assert(offsetof(vnx_SensorFusion_Config_s, padding2) == 52);

static_assert(sizeof(vnx_SensorFusion_Command_s) == 40);
static_assert(offsetof(vnx_SensorFusion_Command_s, command) == 0);
static_assert(offsetof(vnx_SensorFusion_Command_s, code) == 32);
static_assert(offsetof(vnx_SensorFusion_Command_s, padding) == 36);
static_assert(sizeof(vnx_SensorFusion_Status_s) == 40);
static_assert(offsetof(vnx_SensorFusion_Status_s, status) == 0);
static_assert(offsetof(vnx_SensorFusion_Status_s, value) == 32);
static_assert(offsetof(vnx_SensorFusion_Status_s, padding) == 36);

static_assert(sizeof(vnx_SensorFusion_Format_s) == 40);
static_assert(offsetof(vnx_SensorFusion_Format_s, format) == 0);
static_assert(offsetof(vnx_SensorFusion_Format_s, periodUs) == 16);
static_assert(offsetof(vnx_SensorFusion_Format_s, accelerationQ) == 20);
static_assert(offsetof(vnx_SensorFusion_Format_s, linearAccelerationQ) == 21);
static_assert(offsetof(vnx_SensorFusion_Format_s, angularVelocityQ) == 22);
static_assert(offsetof(vnx_SensorFusion_Format_s, padding1) == 23);
static_assert(offsetof(vnx_SensorFusion_Format_s, reserved) == 24);
static_assert(offsetof(vnx_SensorFusion_Format_s, magneticFieldQ) == 36);
static_assert(offsetof(vnx_SensorFusion_Format_s, reservedGroupQ) == 37);
static_assert(offsetof(vnx_SensorFusion_Format_s, quaternionQ) == 38);
static_assert(offsetof(vnx_SensorFusion_Format_s, padding2) == 39);

static_assert(sizeof(vnx_SensorFusion_Output_s) == 96);
static_assert(offsetof(vnx_SensorFusion_Output_s, output) == 0);
static_assert(offsetof(vnx_SensorFusion_Output_s, sampleNumber) == 16);
static_assert(offsetof(vnx_SensorFusion_Output_s, acceleration) == 20);
static_assert(offsetof(vnx_SensorFusion_Output_s, linearAcceleration) == 32);
static_assert(offsetof(vnx_SensorFusion_Output_s, angularVelocity) == 44);
static_assert(offsetof(vnx_SensorFusion_Output_s, magneticField) == 56);
static_assert(offsetof(vnx_SensorFusion_Output_s, reservedGroup) == 68);
static_assert(offsetof(vnx_SensorFusion_Output_s, quaternion) == 80);
#endif
