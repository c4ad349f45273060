#pragma once

// TlinkDomain records (type 120): the domain of devices that speak the link
// protocol over a transport of the client's. Its one Command creates a
// device from the TlinkDevice Config it carries.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"
#include "tlinkRecords/TlinkDeviceRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Domain commands (`command`).
typedef enum vnx_TlinkDomain_CommandCode_e
{
    VNX_TLINK_DOMAIN_COMMAND_NONE = 0,
    VNX_TLINK_DOMAIN_COMMAND_CREATE_DEVICE = 1,
} vnx_TlinkDomain_CommandCode_e;

typedef vnx_StructConfig_s vnx_TlinkDomain_Config_s;
typedef vnx_StructStatus_s vnx_TlinkDomain_Status_s;
typedef vnx_StructFormat_s vnx_TlinkDomain_Format_s;
typedef vnx_StructOutput_s vnx_TlinkDomain_Output_s;

typedef struct vnx_TlinkDomain_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_TlinkDomain_CommandCode_e; 0 after init
    uint8_t unused[4];
    vnx_TlinkDevice_Config_s deviceConfig; ///< the new device's Config
} vnx_TlinkDomain_Command_s;

VNX_DECLARE_RECORD_FAMILY(TlinkDomain)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_TlinkDomain_Command_s) == 72);
static_assert(offsetof(vnx_TlinkDomain_Command_s, command) == 0);
static_assert(offsetof(vnx_TlinkDomain_Command_s, code) == 32);
static_assert(offsetof(vnx_TlinkDomain_Command_s, unused) == 36);
static_assert(offsetof(vnx_TlinkDomain_Command_s, deviceConfig) == 40);
#endif
