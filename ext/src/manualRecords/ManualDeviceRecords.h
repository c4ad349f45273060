#pragma once

// ManualDevice records (type 117): a device whose samples the client pushes
// itself. Its Config carries the identity the client gives it, the device's
// SCD and, when the client keeps the learned calibration itself, its DCD.
// The Config crosses the library boundary: its offsets are the interface.

#include <stddef.h>
#include <stdint.h>

#include "calibration/dcdData.h"
#include "calibration/scdData.h"
#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Device commands (`code`).
typedef enum vnx_ManualDevice_CommandCode_e
{
    VNX_MANUAL_DEVICE_COMMAND_NONE = 0,
    VNX_MANUAL_DEVICE_COMMAND_REMOVE = 1, ///< the domain closes and deletes the device
} vnx_ManualDevice_CommandCode_e;

/// Room for an SCD and a DCD record inside a Config.
#define VNX_MANUAL_DEVICE_SCD_SIZE 272
#define VNX_MANUAL_DEVICE_DCD_SIZE 260

typedef struct vnx_ManualDevice_Config_s
{
    vnx_StructConfig_s config;
    uint8_t id[8];          ///< the device's identity: part of its GUID and name
    uint32_t dcdIsExternal; ///< non-zero: `dcd` is used instead of the device's DCD file
    union {
        vnx_scdData_s head;
        uint8_t bytes[VNX_MANUAL_DEVICE_SCD_SIZE];
    } scd;
    uint8_t reserved0[4];
    union {
        vnx_dcdData_s head;
        uint8_t bytes[VNX_MANUAL_DEVICE_DCD_SIZE];
    } dcd; ///< read only when `dcdIsExternal` is set
    uint8_t reserved1[4];
} vnx_ManualDevice_Config_s;

typedef struct vnx_ManualDevice_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_ManualDevice_CommandCode_e; 0 after init
    uint8_t padding[4];
} vnx_ManualDevice_Command_s;

typedef struct vnx_ManualDevice_Status_s
{
    vnx_StructStatus_s status;
    uint8_t data[268]; ///< zero after init
    uint8_t padding[4];
} vnx_ManualDevice_Status_s;

typedef vnx_StructFormat_s vnx_ManualDevice_Format_s;
typedef vnx_StructOutput_s vnx_ManualDevice_Output_s;

/// A file handle the manual domain is asked to watch or to forget.
typedef struct vnx_ManualDevice_FileHandle_s
{
    int32_t fd;
    uint16_t events; ///< poll event bits
    uint8_t padding[2];
} vnx_ManualDevice_FileHandle_s;

VNX_DECLARE_RECORD_FAMILY(ManualDevice)

/// Sets fd and events to 0; 0 (-2 for null).
int vnx_ManualDevice_initFileHandle(vnx_ManualDevice_FileHandle_s* fileHandle);

#ifdef __cplusplus
}

static_assert(sizeof(vnx_ManualDevice_Config_s) == 584);
static_assert(offsetof(vnx_ManualDevice_Config_s, config) == 0);
static_assert(offsetof(vnx_ManualDevice_Config_s, id) == 32);
static_assert(offsetof(vnx_ManualDevice_Config_s, dcdIsExternal) == 40);
static_assert(offsetof(vnx_ManualDevice_Config_s, scd) == 44);
static_assert(offsetof(vnx_ManualDevice_Config_s, reserved0) == 316);
static_assert(offsetof(vnx_ManualDevice_Config_s, dcd) == 320);
static_assert(offsetof(vnx_ManualDevice_Config_s, reserved1) == 580);
static_assert(sizeof(vnx_ManualDevice_Command_s) == 40);
static_assert(offsetof(vnx_ManualDevice_Command_s, code) == 32);
static_assert(offsetof(vnx_ManualDevice_Command_s, padding) == 36);
static_assert(sizeof(vnx_ManualDevice_Status_s) == 304);
static_assert(offsetof(vnx_ManualDevice_Status_s, data) == 32);
static_assert(offsetof(vnx_ManualDevice_Status_s, padding) == 300);
static_assert(sizeof(vnx_ManualDevice_FileHandle_s) == 8);
static_assert(offsetof(vnx_ManualDevice_FileHandle_s, fd) == 0);
static_assert(offsetof(vnx_ManualDevice_FileHandle_s, events) == 4);
#endif
