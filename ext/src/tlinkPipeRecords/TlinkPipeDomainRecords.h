#pragma once

// TlinkPipeDomain records (type 122): the domain of link-protocol devices
// reached through named pipes. Its one Command creates a device from the
// TlinkPipeDevice Config it carries.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"
#include "tlinkPipeRecords/TlinkPipeDeviceRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Domain commands (`code`).
typedef enum vnx_TlinkPipeDomain_CommandCode_e
{
    VNX_TLINK_PIPE_DOMAIN_COMMAND_NONE = 0,
    VNX_TLINK_PIPE_DOMAIN_COMMAND_CREATE_DEVICE = 1,
} vnx_TlinkPipeDomain_CommandCode_e;

typedef vnx_StructConfig_s vnx_TlinkPipeDomain_Config_s;
typedef vnx_StructStatus_s vnx_TlinkPipeDomain_Status_s;
typedef vnx_StructFormat_s vnx_TlinkPipeDomain_Format_s;
typedef vnx_StructOutput_s vnx_TlinkPipeDomain_Output_s;

typedef struct vnx_TlinkPipeDomain_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_TlinkPipeDomain_CommandCode_e; 0 after init
    uint8_t padding[4];
    vnx_TlinkPipeDevice_Config_s deviceConfig; ///< the new device's Config
} vnx_TlinkPipeDomain_Command_s;

VNX_DECLARE_RECORD_FAMILY(TlinkPipeDomain)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_TlinkPipeDomain_Command_s) == 200);
static_assert(offsetof(vnx_TlinkPipeDomain_Command_s, code) == 32);
static_assert(offsetof(vnx_TlinkPipeDomain_Command_s, deviceConfig) == 40);
#endif
