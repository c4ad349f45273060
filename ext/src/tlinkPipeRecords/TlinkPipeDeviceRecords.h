#pragma once

// TlinkPipeDevice records (type 123): a link-protocol device reached through
// three named pipes. Its Config names the pipes; its one Command destroys
// the device.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Longest pipe name a Config holds (no terminating zero needed).
#define VNX_TLINK_PIPE_NAME_SIZE 32

/// Device commands (`code`).
typedef enum vnx_TlinkPipeDevice_CommandCode_e
{
    VNX_TLINK_PIPE_DEVICE_COMMAND_DESTROY = 1,
} vnx_TlinkPipeDevice_CommandCode_e;

typedef struct vnx_TlinkPipeDevice_Config_s
{
    vnx_StructConfig_s config;
    char inPipe[VNX_TLINK_PIPE_NAME_SIZE];          ///< reports from the device side
    char outPipe[VNX_TLINK_PIPE_NAME_SIZE];         ///< reports to the device side
    char passThroughPipe[VNX_TLINK_PIPE_NAME_SIZE]; ///< incoming reports the device could not decode
    uint8_t reserved[32];                           ///< zero, not read
} vnx_TlinkPipeDevice_Config_s;

typedef struct vnx_TlinkPipeDevice_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_TlinkPipeDevice_CommandCode_e; 0 after init
    uint8_t padding[4];
} vnx_TlinkPipeDevice_Command_s;

typedef vnx_StructStatus_s vnx_TlinkPipeDevice_Status_s;
typedef vnx_StructFormat_s vnx_TlinkPipeDevice_Format_s;
typedef vnx_StructOutput_s vnx_TlinkPipeDevice_Output_s;

VNX_DECLARE_RECORD_FAMILY(TlinkPipeDevice)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_TlinkPipeDevice_Config_s) == 160);
static_assert(offsetof(vnx_TlinkPipeDevice_Config_s, inPipe) == 32);
static_assert(offsetof(vnx_TlinkPipeDevice_Config_s, outPipe) == 64);
static_assert(offsetof(vnx_TlinkPipeDevice_Config_s, passThroughPipe) == 96);
static_assert(offsetof(vnx_TlinkPipeDevice_Config_s, reserved) == 128);
static_assert(sizeof(vnx_TlinkPipeDevice_Command_s) == 40);
static_assert(offsetof(vnx_TlinkPipeDevice_Command_s, code) == 32);
static_assert(sizeof(vnx_TlinkPipeDevice_Status_s) == 32);
#endif
