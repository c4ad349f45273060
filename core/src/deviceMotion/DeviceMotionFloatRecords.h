#pragma once

// DeviceMotionFloat records (type 13): the motion output of the fusion engine
// with every value as a float, whatever number encoding its producer chose,
// so clients read motion without consulting a Format.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef vnx_StructConfig_s vnx_DeviceMotionFloat_Config_s;
typedef vnx_StructCommand_s vnx_DeviceMotionFloat_Command_s;
typedef vnx_StructStatus_s vnx_DeviceMotionFloat_Status_s;
typedef vnx_StructFormat_s vnx_DeviceMotionFloat_Format_s;

/// The groups follow the SensorFusion Output's groups in order; an absent
/// group reads 0 in its first value.
typedef struct vnx_DeviceMotionFloat_Output_s
{
    vnx_StructOutput_s output;
    uint32_t sampleNumber; ///< input sample this motion belongs to
    float period;          ///< sample period, s
    float vector1[3];      ///< acceleration with gravity, m/s^2
    float vector2[3];      ///< linear acceleration, m/s^2
    float vector3[3];      ///< angular velocity, rad/s
    float vector4[3];      ///< magnetic field, uT
    float vector5[3];      ///< reserved group
    float quaternion[4];   ///< orientation w x y z
    uint8_t padding[4];    ///< left alone by the initialiser
} vnx_DeviceMotionFloat_Output_s;

VNX_DECLARE_RECORD_FAMILY(DeviceMotionFloat)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_DeviceMotionFloat_Output_s) == 104);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, output) == 0);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, sampleNumber) == 16);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, period) == 20);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, vector1) == 24);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, vector2) == 36);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, vector3) == 48);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, vector4) == 60);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, vector5) == 72);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, quaternion) == 84);
static_assert(offsetof(vnx_DeviceMotionFloat_Output_s, padding) == 100);
#endif
