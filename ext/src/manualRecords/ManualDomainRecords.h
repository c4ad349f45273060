#pragma once

// ManualDomain records (type 116): the domain of devices whose samples the
// client pushes. Its Command creates a ManualDevice from the Config it
// carries, or adds or removes a file handle the domain watches.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "manualRecords/ManualDeviceRecords.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Domain commands (`code`).
typedef enum vnx_ManualDomain_CommandCode_e
{
    VNX_MANUAL_DOMAIN_COMMAND_NONE = 0,
    VNX_MANUAL_DOMAIN_COMMAND_CREATE_DEVICE = 1,     ///< payload: a ManualDevice Config
    VNX_MANUAL_DOMAIN_COMMAND_ADD_FILE_HANDLE = 2,    ///< payload: a file handle
    VNX_MANUAL_DOMAIN_COMMAND_REMOVE_FILE_HANDLE = 3, ///< payload: a file handle
} vnx_ManualDomain_CommandCode_e;

typedef vnx_StructConfig_s vnx_ManualDomain_Config_s;
typedef vnx_StructStatus_s vnx_ManualDomain_Status_s;
typedef vnx_StructFormat_s vnx_ManualDomain_Format_s;
typedef vnx_StructOutput_s vnx_ManualDomain_Output_s;

typedef struct vnx_ManualDomain_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_ManualDomain_CommandCode_e; 0 after init
    uint8_t padding[4];
    union {
        vnx_ManualDevice_Config_s deviceConfig;   ///< code 1; an initialised Config after init
        vnx_ManualDevice_FileHandle_s fileHandle; ///< codes 2 and 3
    } payload;
} vnx_ManualDomain_Command_s;

VNX_DECLARE_RECORD_FAMILY(ManualDomain)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_ManualDomain_Command_s) == 624);
static_assert(offsetof(vnx_ManualDomain_Command_s, code) == 32);
static_assert(offsetof(vnx_ManualDomain_Command_s, padding) == 36);
static_assert(offsetof(vnx_ManualDomain_Command_s, payload) == 40);
static_assert(offsetof(vnx_ManualDomain_Command_s, payload.fileHandle.fd) == 40);
static_assert(offsetof(vnx_ManualDomain_Command_s, payload.fileHandle.events) == 44);
#endif
