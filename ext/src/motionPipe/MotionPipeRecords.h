#pragma once

// MotionPipe records (type 100; Configs of type 101, MotionFloatPipe, have
// the same layout): the name of the record pipe a device's records are
// copied into.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Longest pipe name; a name of exactly this length has no NUL.
#define VNX_MOTION_PIPE_NAME_SIZE 32

typedef struct vnx_MotionPipe_Config_s
{
    vnx_StructConfig_s config;
    char pipeName[VNX_MOTION_PIPE_NAME_SIZE]; ///< NUL-padded; empty (all 0 after init): no pipe
} vnx_MotionPipe_Config_s;

typedef vnx_StructCommand_s vnx_MotionPipe_Command_s;
typedef vnx_StructStatus_s vnx_MotionPipe_Status_s;
typedef vnx_StructFormat_s vnx_MotionPipe_Format_s;
typedef vnx_StructOutput_s vnx_MotionPipe_Output_s;

VNX_DECLARE_RECORD_FAMILY(MotionPipe)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_MotionPipe_Config_s) == 64);
static_assert(offsetof(vnx_MotionPipe_Config_s, pipeName) == 32);
#endif
