#pragma once

// Domain records (type 112): the generic records every domain uses to talk
// to its clients. Only the Status record has fields of its own: it reports a
// device or a file handle joining or leaving the domain. It carries an
// address, so it stays inside the process: never in a pipe or a file.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
namespace vnx {
class DeviceInterface;
}
typedef vnx::DeviceInterface* vnx_DeviceInterfacePointer;
#else
typedef void* vnx_DeviceInterfacePointer;
#endif

#ifdef __cplusplus
extern "C" {
#endif

/// What a Domain Status reports (`statusKind`).
typedef enum vnx_Domain_StatusKind_e
{
    VNX_DOMAIN_STATUS_DEVICE_ADDED = 1,
    VNX_DOMAIN_STATUS_DEVICE_REMOVED = 2,
    VNX_DOMAIN_STATUS_FILE_HANDLE_ADDED = 3,
    VNX_DOMAIN_STATUS_FILE_HANDLE_REMOVED = 4,
} vnx_Domain_StatusKind_e;

/// The device a "device added" or "device removed" status is about.
typedef struct vnx_Domain_deviceStatus_s
{
    vnx_DeviceInterfacePointer device;
    uint8_t deviceType; ///< device type id
    uint8_t padding[7];
} vnx_Domain_deviceStatus_s;

typedef vnx_StructConfig_s vnx_Domain_Config_s;
typedef vnx_StructCommand_s vnx_Domain_Command_s;
typedef vnx_StructFormat_s vnx_Domain_Format_s;
typedef vnx_StructOutput_s vnx_Domain_Output_s;

typedef struct vnx_Domain_Status_s
{
    vnx_StructStatus_s status; ///< instance: the sending domain's address
    uint32_t statusKind;       ///< vnx_Domain_StatusKind_e; 0 after init
    uint8_t padding[4];
    union {
        vnx_Domain_deviceStatus_s device; ///< kinds 1 and 2
        int32_t fileHandle;               ///< kinds 3 and 4
    } subject;
} vnx_Domain_Status_s;

VNX_DECLARE_RECORD_FAMILY(Domain)

/// Zeroes the device pointer and type; 0 (-2 for null).
int vnx_Domain_initdeviceStatus(vnx_Domain_deviceStatus_s* deviceStatus);

#ifdef __cplusplus
}

static_assert(sizeof(vnx_Domain_deviceStatus_s) == 16);
static_assert(offsetof(vnx_Domain_deviceStatus_s, device) == 0);
static_assert(offsetof(vnx_Domain_deviceStatus_s, deviceType) == 8);
static_assert(offsetof(vnx_Domain_deviceStatus_s, padding) == 9);
static_assert(sizeof(vnx_Domain_Status_s) == 56);
static_assert(offsetof(vnx_Domain_Status_s, status) == 0);
static_assert(offsetof(vnx_Domain_Status_s, statusKind) == 32);
static_assert(offsetof(vnx_Domain_Status_s, padding) == 36);
static_assert(offsetof(vnx_Domain_Status_s, subject) == 40);
static_assert(offsetof(vnx_Domain_Status_s, subject.device.device) == 40);
static_assert(offsetof(vnx_Domain_Status_s, subject.device.deviceType) == 48);
static_assert(offsetof(vnx_Domain_Status_s, subject.fileHandle) == 40);
#endif
