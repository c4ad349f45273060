#pragma once

// Logger module records (type 96): the Config names the capture file's stem
// and switches writing on. The Config carries the address of a string of the
// caller, so Logger Configs stay inside the process: never in a pipe or a
// file.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Longest file name stem a Logger keeps; longer names are cut.
#define VNX_LOGGER_NAME_MAX 255

/// `mode` values that switch writing on; any other leaves it off.
#define VNX_LOGGER_MODE_WRITE 1
#define VNX_LOGGER_MODE_WRITE_ALT 4

typedef struct vnx_Logger_Config_s
{
    vnx_StructConfig_s config;
    const char* name; ///< NUL-terminated file name stem owned by the caller; null keeps the current stem
    uint32_t mode;    ///< 1 or 4: write from the next process call on; 1 after init
    uint8_t reserved[4];
} vnx_Logger_Config_s;

typedef struct vnx_Logger_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< accepted and ignored; 0 after init
    uint8_t reserved[4];
} vnx_Logger_Command_s;

typedef vnx_StructStatus_s vnx_Logger_Status_s;
typedef vnx_StructFormat_s vnx_Logger_Format_s;
typedef vnx_StructOutput_s vnx_Logger_Output_s;

VNX_DECLARE_RECORD_FAMILY(Logger)

#ifdef __cplusplus
}

static_assert(sizeof(void*) == 8, "the Logger Config holds a 64-bit address");
static_assert(sizeof(vnx_Logger_Config_s) == 48);
static_assert(offsetof(vnx_Logger_Config_s, name) == 32);
static_assert(offsetof(vnx_Logger_Config_s, mode) == 40);
static_assert(offsetof(vnx_Logger_Config_s, reserved) == 44);
static_assert(sizeof(vnx_Logger_Command_s) == 40);
static_assert(offsetof(vnx_Logger_Command_s, code) == 32);
#endif
