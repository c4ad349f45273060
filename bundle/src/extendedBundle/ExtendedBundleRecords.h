#pragma once

// ExtendedBundle records (type 65). Its Config carries the settings of the
// wake-on-shake detector as a whole ShakeDetector Config; the other kinds are
// the common parts only.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"
#include "shakeDetector/ShakeDetectorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_ExtendedBundle_Config_s
{
    vnx_StructConfig_s config;
    /// Settings of the detector that wakes a hidden cursor; its `mode` (byte
    /// 64 of this record) 0 switches wake-on-shake off.
    vnx_ShakeDetector_Config_s cursorWakeOnShakeConfig;
} vnx_ExtendedBundle_Config_s;

typedef vnx_StructCommand_s vnx_ExtendedBundle_Command_s;
typedef vnx_StructStatus_s vnx_ExtendedBundle_Status_s;
typedef vnx_StructFormat_s vnx_ExtendedBundle_Format_s;
typedef vnx_StructOutput_s vnx_ExtendedBundle_Output_s;

VNX_DECLARE_RECORD_FAMILY(ExtendedBundle)

#ifdef __cplusplus
}

#include <cstddef>

static_assert(sizeof(vnx_ExtendedBundle_Config_s) == 104);
static_assert(offsetof(vnx_ExtendedBundle_Config_s, config) == 0);
static_assert(offsetof(vnx_ExtendedBundle_Config_s, cursorWakeOnShakeConfig) == 32);
static_assert(offsetof(vnx_ExtendedBundle_Config_s, cursorWakeOnShakeConfig.mode) == 64);
static_assert(sizeof(vnx_ExtendedBundle_Command_s) == 32);
static_assert(sizeof(vnx_ExtendedBundle_Status_s) == 32);
static_assert(sizeof(vnx_ExtendedBundle_Format_s) == 16);
static_assert(sizeof(vnx_ExtendedBundle_Output_s) == 16);
#endif
