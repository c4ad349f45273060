#pragma once

// ShakeDetector records (type 14): a quick back-and-forth shake of the device
// and the gain value the cursor uses while it lasts.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_ShakeDetector_Config_s
{
    vnx_StructConfig_s config;
    uint32_t mode;           ///< 0 off; 2, 3, 4 presets; other: the fields below as sent
    float rateThreshold;     ///< rad/s a rotation must exceed
    float reversalFrequency; ///< Hz; reversals must come within 1 / (2 f) seconds
    int32_t reversalCount;   ///< a shake is flagged while more reversals than this are counted
    uint8_t singleAxis;      ///< non-zero: rotation about z only
    uint8_t padding0[3];
    float xRatio;     ///< single axis: x^2 must stay below xRatio z^2
    float yRatio;     ///< single axis: y^2 must stay below yRatio z^2
    float restValue;  ///< output value while no shake is flagged
    float shakeValue; ///< output value while a shake is flagged
    uint8_t padding1[4];
} vnx_ShakeDetector_Config_s;

typedef vnx_StructCommand_s vnx_ShakeDetector_Command_s;
typedef vnx_StructStatus_s vnx_ShakeDetector_Status_s;
typedef vnx_StructFormat_s vnx_ShakeDetector_Format_s;

typedef struct vnx_ShakeDetector_Output_s
{
    vnx_StructOutput_s output;
    uint8_t shake; ///< 1 while a shake is flagged
    uint8_t padding0[3];
    float intensity;   ///< 1.0 while flagged, else 0
    float outputValue; ///< rest or shake value
    uint8_t padding1[4];
} vnx_ShakeDetector_Output_s;

VNX_DECLARE_RECORD_FAMILY(ShakeDetector)

#ifdef __cplusplus
}

#include <cstddef>

static_assert(sizeof(vnx_ShakeDetector_Config_s) == 72);
static_assert(offsetof(vnx_ShakeDetector_Config_s, config) == 0);
static_assert(offsetof(vnx_ShakeDetector_Config_s, mode) == 32);
static_assert(offsetof(vnx_ShakeDetector_Config_s, rateThreshold) == 36);
static_assert(offsetof(vnx_ShakeDetector_Config_s, reversalFrequency) == 40);
static_assert(offsetof(vnx_ShakeDetector_Config_s, reversalCount) == 44);
static_assert(offsetof(vnx_ShakeDetector_Config_s, singleAxis) == 48);
static_assert(offsetof(vnx_ShakeDetector_Config_s, padding0) == 49);
static_assert(offsetof(vnx_ShakeDetector_Config_s, xRatio) == 52);
static_assert(offsetof(vnx_ShakeDetector_Config_s, yRatio) == 56);
static_assert(offsetof(vnx_ShakeDetector_Config_s, restValue) == 60);
static_assert(offsetof(vnx_ShakeDetector_Config_s, shakeValue) == 64);
static_assert(offsetof(vnx_ShakeDetector_Config_s, padding1) == 68);
static_assert(sizeof(vnx_ShakeDetector_Command_s) == 32);
static_assert(sizeof(vnx_ShakeDetector_Status_s) == 32);
static_assert(sizeof(vnx_ShakeDetector_Format_s) == 16);
static_assert(sizeof(vnx_ShakeDetector_Output_s) == 32);
static_assert(offsetof(vnx_ShakeDetector_Output_s, output) == 0);
static_assert(offsetof(vnx_ShakeDetector_Output_s, shake) == 16);
static_assert(offsetof(vnx_ShakeDetector_Output_s, padding0) == 17);
static_assert(offsetof(vnx_ShakeDetector_Output_s, intensity) == 20);
static_assert(offsetof(vnx_ShakeDetector_Output_s, outputValue) == 24);
static_assert(offsetof(vnx_ShakeDetector_Output_s, padding1) == 28);
#endif
