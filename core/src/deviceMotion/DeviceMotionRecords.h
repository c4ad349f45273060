#pragma once

// DeviceMotion records (type 12). The module declares motion and buttons in
// and a DeviceMotion Output out, but produces nothing; its records carry no
// sample fields.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_DeviceMotion_Config_s
{
    vnx_StructConfig_s config;
    uint64_t reserved[2]; ///< 0 at init; read by nothing
} vnx_DeviceMotion_Config_s;

typedef struct vnx_DeviceMotion_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code;      ///< no codes are defined
    uint8_t padding[4]; ///< left alone by the initialiser
} vnx_DeviceMotion_Command_s;

typedef vnx_StructStatus_s vnx_DeviceMotion_Status_s;
typedef vnx_StructFormat_s vnx_DeviceMotion_Format_s;
typedef vnx_StructOutput_s vnx_DeviceMotion_Output_s;

VNX_DECLARE_RECORD_FAMILY(DeviceMotion)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_DeviceMotion_Config_s) == 48);
static_assert(offsetof(vnx_DeviceMotion_Config_s, config) == 0);
static_assert(offsetof(vnx_DeviceMotion_Config_s, reserved) == 32);
static_assert(sizeof(vnx_DeviceMotion_Command_s) == 40);
static_assert(offsetof(vnx_DeviceMotion_Command_s, command) == 0);
static_assert(offsetof(vnx_DeviceMotion_Command_s, code) == 32);
static_assert(offsetof(vnx_DeviceMotion_Command_s, padding) == 36);
#endif
