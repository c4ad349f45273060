#pragma once

// TlinkDevice records (type 121): the records of a device that speaks the
// link protocol. Its Commands start, configure and query the device; its
// Status answers them, or carries the device's product identity.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// What a TlinkDevice Status carries (`type`).
typedef enum vnx_TlinkDevice_StatusType_e
{
    VNX_TLINK_DEVICE_STATUS_DEVICE = 0,       ///< command replies, open and send failures
    VNX_TLINK_DEVICE_STATUS_PRODUCT_INFO = 2, ///< `info` holds the product identity
} vnx_TlinkDevice_StatusType_e;

/// An LED blink pattern: four times and three pattern bytes, sent to the
/// device as they are (the times in units of 12.5 ms).
typedef struct vnx_TlinkDevice_LEDConfigPattern_s
{
    uint32_t time[4];   ///< microseconds; 0 after init
    uint8_t pattern[3]; ///< 0, 3, 0 after init
    uint8_t padding;
} vnx_TlinkDevice_LEDConfigPattern_s;

/// The product identity of a device.
typedef struct vnx_TlinkDevice_Info_s
{
    uint32_t unitId;
    uint32_t partNumber;
    uint8_t identityByte1;
    uint8_t identityByte2;
    uint16_t identityWord1;
    uint32_t identityWord2;
    uint32_t reserved; ///< 0
} vnx_TlinkDevice_Info_s;

typedef vnx_StructConfig_s vnx_TlinkDevice_Config_s;
typedef vnx_StructFormat_s vnx_TlinkDevice_Format_s;
typedef vnx_StructOutput_s vnx_TlinkDevice_Output_s;

/// A device command. The field at 16 is the response mode (1 or 2: answer
/// by status record) and the field at 24 the request id the answer carries.
typedef struct vnx_TlinkDevice_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< 0 after init
    union {
        uint32_t parameter;                         ///< codes 5 and 8
        vnx_TlinkDevice_LEDConfigPattern_s pattern; ///< code 4
    } argument;
} vnx_TlinkDevice_Command_s;

typedef struct vnx_TlinkDevice_Status_s
{
    vnx_StructStatus_s status; ///< instance: the sending device; result: a status code; extra: the request id
    uint32_t type;             ///< vnx_TlinkDevice_StatusType_e
    vnx_TlinkDevice_Info_s info; ///< type 2; zero otherwise
    uint8_t reserved[112];       ///< zero
} vnx_TlinkDevice_Status_s;

VNX_DECLARE_RECORD_FAMILY(TlinkDevice)

/// Times 0 and pattern bytes 0, 3, 0; 0 (-2 for null).
int vnx_TlinkDevice_initLEDConfigPattern(vnx_TlinkDevice_LEDConfigPattern_s* pattern);
/// All zero; 0 (-2 for null).
int vnx_TlinkDevice_initInfo(vnx_TlinkDevice_Info_s* info);

#ifdef __cplusplus
}

static_assert(sizeof(vnx_TlinkDevice_LEDConfigPattern_s) == 20);
static_assert(offsetof(vnx_TlinkDevice_LEDConfigPattern_s, time) == 0);
static_assert(offsetof(vnx_TlinkDevice_LEDConfigPattern_s, pattern) == 16);
static_assert(offsetof(vnx_TlinkDevice_LEDConfigPattern_s, padding) == 19);
static_assert(sizeof(vnx_TlinkDevice_Info_s) == 20);
static_assert(offsetof(vnx_TlinkDevice_Info_s, unitId) == 0);
static_assert(offsetof(vnx_TlinkDevice_Info_s, partNumber) == 4);
static_assert(offsetof(vnx_TlinkDevice_Info_s, identityByte1) == 8);
static_assert(offsetof(vnx_TlinkDevice_Info_s, identityByte2) == 9);
static_assert(offsetof(vnx_TlinkDevice_Info_s, identityWord1) == 10);
static_assert(offsetof(vnx_TlinkDevice_Info_s, identityWord2) == 12);
static_assert(offsetof(vnx_TlinkDevice_Info_s, reserved) == 16);
static_assert(sizeof(vnx_TlinkDevice_Command_s) == 56);
static_assert(offsetof(vnx_TlinkDevice_Command_s, command) == 0);
static_assert(offsetof(vnx_TlinkDevice_Command_s, code) == 32);
static_assert(offsetof(vnx_TlinkDevice_Command_s, argument.parameter) == 36);
static_assert(offsetof(vnx_TlinkDevice_Command_s, argument.pattern) == 36);
static_assert(sizeof(vnx_TlinkDevice_Status_s) == 168);
static_assert(offsetof(vnx_TlinkDevice_Status_s, status) == 0);
static_assert(offsetof(vnx_TlinkDevice_Status_s, type) == 32);
static_assert(offsetof(vnx_TlinkDevice_Status_s, info) == 36);
static_assert(offsetof(vnx_TlinkDevice_Status_s, reserved) == 56);
#endif
