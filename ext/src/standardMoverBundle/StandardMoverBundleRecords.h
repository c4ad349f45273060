#pragma once

// StandardMoverBundle records (type 105): the bundle has no settings of its
// own; every kind carries its kind's header only.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef vnx_StructConfig_s vnx_StandardMoverBundle_Config_s;
typedef vnx_StructCommand_s vnx_StandardMoverBundle_Command_s;
typedef vnx_StructStatus_s vnx_StandardMoverBundle_Status_s;
typedef vnx_StructFormat_s vnx_StandardMoverBundle_Format_s;
typedef vnx_StructOutput_s vnx_StandardMoverBundle_Output_s;

VNX_DECLARE_RECORD_FAMILY(StandardMoverBundle)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_StandardMoverBundle_Config_s) == 32);
static_assert(sizeof(vnx_StandardMoverBundle_Command_s) == 32);
static_assert(sizeof(vnx_StandardMoverBundle_Status_s) == 32);
static_assert(sizeof(vnx_StandardMoverBundle_Format_s) == 16);
static_assert(sizeof(vnx_StandardMoverBundle_Output_s) == 16);
#endif
