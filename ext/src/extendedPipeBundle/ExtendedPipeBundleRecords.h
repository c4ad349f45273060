#pragma once

// ExtendedPipeBundle records (type 102): whether the bundle copies its
// records into the motion pipe (the Config). The other kinds carry the
// header only.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_ExtendedPipeBundle_Config_s
{
    vnx_StructConfig_s config;
    uint8_t motionPipeEnabled; ///< non-zero: each sample's records go into the motion pipe; 0 after init
    uint8_t reserved[7];       ///< 0 after init
} vnx_ExtendedPipeBundle_Config_s;

typedef vnx_StructCommand_s vnx_ExtendedPipeBundle_Command_s;
typedef vnx_StructStatus_s vnx_ExtendedPipeBundle_Status_s;
typedef vnx_StructFormat_s vnx_ExtendedPipeBundle_Format_s;
typedef vnx_StructOutput_s vnx_ExtendedPipeBundle_Output_s;

VNX_DECLARE_RECORD_FAMILY(ExtendedPipeBundle)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_ExtendedPipeBundle_Config_s) == 40);
static_assert(offsetof(vnx_ExtendedPipeBundle_Config_s, config) == 0);
static_assert(offsetof(vnx_ExtendedPipeBundle_Config_s, motionPipeEnabled) == 32);
static_assert(offsetof(vnx_ExtendedPipeBundle_Config_s, reserved) == 33);
#endif
