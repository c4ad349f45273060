#pragma once

// StandardBundle records (type 64): the Config sets the fusion option, the
// pointer scale and the reorientation of the nine-axis chain; a Command
// carries a code the bundle translates into a fusion command.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_StandardBundle_Config_s
{
    vnx_StructConfig_s config;
    uint8_t fusionOption; ///< non-zero sets bit 9 of the fusion's Config flags (default 1)
    uint8_t padding0[3];
    int32_t pointerScale;     ///< 16 fraction bits; 65536 (1.0) by default
    int16_t reorientation[4]; ///< w, x, y, z with 14 fraction bits; identity by default
} vnx_StandardBundle_Config_s;

typedef struct vnx_StandardBundle_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< 1, 2, 3, 4 become fusion commands 4, 5, 6, 9; any other code fusion command 0
    uint8_t padding[4];
} vnx_StandardBundle_Command_s;

typedef vnx_StructStatus_s vnx_StandardBundle_Status_s;
typedef vnx_StructFormat_s vnx_StandardBundle_Format_s;
typedef vnx_StructOutput_s vnx_StandardBundle_Output_s;

VNX_DECLARE_RECORD_FAMILY(StandardBundle)

#ifdef __cplusplus
}

#include <cstddef>

static_assert(sizeof(vnx_StandardBundle_Config_s) == 48);
static_assert(offsetof(vnx_StandardBundle_Config_s, fusionOption) == 32);
static_assert(offsetof(vnx_StandardBundle_Config_s, padding0) == 33);
static_assert(offsetof(vnx_StandardBundle_Config_s, pointerScale) == 36);
static_assert(offsetof(vnx_StandardBundle_Config_s, reorientation) == 40);
static_assert(sizeof(vnx_StandardBundle_Command_s) == 40);
static_assert(offsetof(vnx_StandardBundle_Command_s, code) == 32);
static_assert(offsetof(vnx_StandardBundle_Command_s, padding) == 36);
static_assert(sizeof(vnx_StandardBundle_Status_s) == 32);
static_assert(sizeof(vnx_StandardBundle_Format_s) == 16);
static_assert(sizeof(vnx_StandardBundle_Output_s) == 16);
#endif
