#pragma once

// LinearGesture records (type 10): the rotation of the device about one axis
// as a bounded slider value.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// How the angle is taken (Config `frameMode`).
typedef enum vnx_LinearGesture_FrameMode_e
{
    VNX_LINEAR_GESTURE_USER_FRAME = 0,    ///< from the orientation, about a world axis
    VNX_LINEAR_GESTURE_BODY_FRAME = 1,    ///< about the device's own axis
    VNX_LINEAR_GESTURE_REFUSED_FRAME = 2, ///< process answers -4 while active
} vnx_LinearGesture_FrameMode_e;

/// How angles become the slider value (Config `incrementMode`).
typedef enum vnx_LinearGesture_IncrementMode_e
{
    VNX_LINEAR_GESTURE_ABSOLUTE = 0,  ///< the angle itself
    VNX_LINEAR_GESTURE_RELATIVE = 1,  ///< angle increments added to a kept rotation
    VNX_LINEAR_GESTURE_BALLISTIC = 2, ///< increments scaled by the ballistics curve
} vnx_LinearGesture_IncrementMode_e;

typedef enum vnx_LinearGesture_CommandCode_e
{
    VNX_LINEAR_GESTURE_COMMAND_NONE = 0,
    VNX_LINEAR_GESTURE_COMMAND_ACTIVATE = 1,
    VNX_LINEAR_GESTURE_COMMAND_DEACTIVATE = 2,
} vnx_LinearGesture_CommandCode_e;

typedef struct vnx_LinearGesture_Config_s
{
    vnx_StructConfig_s config;
    uint32_t frameMode;     ///< vnx_LinearGesture_FrameMode_e
    float axis[3];          ///< rotation axis x y z
    float reference[3];     ///< body-frame reference vector x y z
    uint32_t incrementMode; ///< vnx_LinearGesture_IncrementMode_e
    float sliderMin;
    float sliderMax;
    uint32_t noClamp; ///< non-zero: rotation and slider are not clamped to their ranges
    float initialSlider;
    float rotationMin; ///< radians
    float rotationMax; ///< radians
} vnx_LinearGesture_Config_s;

typedef struct vnx_LinearGesture_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_LinearGesture_CommandCode_e
    uint8_t reserved[4];
} vnx_LinearGesture_Command_s;

typedef vnx_StructStatus_s vnx_LinearGesture_Status_s;
typedef vnx_StructFormat_s vnx_LinearGesture_Format_s;

typedef struct vnx_LinearGesture_Output_s
{
    vnx_StructOutput_s output;
    uint32_t sampleNumber; ///< of the fusion output
    float slider;
    uint8_t active; ///< the module was active at this sample
    uint8_t reserved[7];
} vnx_LinearGesture_Output_s;

VNX_DECLARE_RECORD_FAMILY(LinearGesture)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_LinearGesture_Config_s) == 88);
static_assert(offsetof(vnx_LinearGesture_Config_s, config) == 0);
static_assert(offsetof(vnx_LinearGesture_Config_s, frameMode) == 32);
static_assert(offsetof(vnx_LinearGesture_Config_s, axis) == 36);
static_assert(offsetof(vnx_LinearGesture_Config_s, reference) == 48);
static_assert(offsetof(vnx_LinearGesture_Config_s, incrementMode) == 60);
static_assert(offsetof(vnx_LinearGesture_Config_s, sliderMin) == 64);
static_assert(offsetof(vnx_LinearGesture_Config_s, sliderMax) == 68);
static_assert(offsetof(vnx_LinearGesture_Config_s, noClamp) == 72);
static_assert(offsetof(vnx_LinearGesture_Config_s, initialSlider) == 76);
static_assert(offsetof(vnx_LinearGesture_Config_s, rotationMin) == 80);
static_assert(offsetof(vnx_LinearGesture_Config_s, rotationMax) == 84);
static_assert(sizeof(vnx_LinearGesture_Command_s) == 40);
static_assert(offsetof(vnx_LinearGesture_Command_s, command) == 0);
static_assert(offsetof(vnx_LinearGesture_Command_s, code) == 32);
static_assert(offsetof(vnx_LinearGesture_Command_s, reserved) == 36);
static_assert(sizeof(vnx_LinearGesture_Status_s) == 32);
static_assert(sizeof(vnx_LinearGesture_Format_s) == 16);
static_assert(sizeof(vnx_LinearGesture_Output_s) == 32);
static_assert(offsetof(vnx_LinearGesture_Output_s, output) == 0);
static_assert(offsetof(vnx_LinearGesture_Output_s, sampleNumber) == 16);
static_assert(offsetof(vnx_LinearGesture_Output_s, slider) == 20);
static_assert(offsetof(vnx_LinearGesture_Output_s, active) == 24);
static_assert(offsetof(vnx_LinearGesture_Output_s, reserved) == 25);
#endif
