#pragma once

// GestureBundle records (type 67): Commands add and remove recognisers, and a
// Status reports each addition and removal with the module's type and
// instance id.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Command codes.
typedef enum vnx_GestureBundle_CommandCode_e
{
    VNX_GESTURE_BUNDLE_COMMAND_NONE = 0,
    VNX_GESTURE_BUNDLE_COMMAND_ADD_MODULE = 1,    ///< argument: the module type id
    VNX_GESTURE_BUNDLE_COMMAND_REMOVE_MODULE = 2, ///< argument: the module's instance id
} vnx_GestureBundle_CommandCode_e;

/// Status events.
typedef enum vnx_GestureBundle_Event_e
{
    VNX_GESTURE_BUNDLE_EVENT_MODULE_ADDED = 1,
    VNX_GESTURE_BUNDLE_EVENT_MODULE_REMOVED = 2,
} vnx_GestureBundle_Event_e;

typedef vnx_StructConfig_s vnx_GestureBundle_Config_s;

typedef struct vnx_GestureBundle_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_GestureBundle_CommandCode_e
    uint8_t padding[4];
    union {
        uint8_t type;        ///< add: type id of the recogniser (10, 11 or 24)
        uint64_t instanceId; ///< remove: instance id of the recogniser
    } argument;
} vnx_GestureBundle_Command_s;

/// The recogniser an event is about.
typedef struct vnx_GestureBundle_StatusModuleDetail_s
{
    uint8_t type;
    uint8_t padding[7];
    uint64_t instanceId;
} vnx_GestureBundle_StatusModuleDetail_s;

typedef struct vnx_GestureBundle_Status_s
{
    vnx_StructStatus_s status;
    uint32_t event; ///< vnx_GestureBundle_Event_e
    uint8_t padding[4];
    vnx_GestureBundle_StatusModuleDetail_s module;
} vnx_GestureBundle_Status_s;

typedef vnx_StructFormat_s vnx_GestureBundle_Format_s;
typedef vnx_StructOutput_s vnx_GestureBundle_Output_s;

VNX_DECLARE_RECORD_FAMILY(GestureBundle)

/// Zeroes type and instance id (padding left alone); 0, or -2 for null.
VNX_RECORD_FAMILY_API int
vnx_GestureBundle_initStatusModuleDetail(vnx_GestureBundle_StatusModuleDetail_s* detail);

#ifdef __cplusplus
}

#include <cstddef>

static_assert(sizeof(vnx_GestureBundle_Config_s) == 32);
static_assert(sizeof(vnx_GestureBundle_Command_s) == 48);
static_assert(offsetof(vnx_GestureBundle_Command_s, code) == 32);
static_assert(offsetof(vnx_GestureBundle_Command_s, padding) == 36);
static_assert(offsetof(vnx_GestureBundle_Command_s, argument) == 40);
static_assert(sizeof(vnx_GestureBundle_StatusModuleDetail_s) == 16);
static_assert(offsetof(vnx_GestureBundle_StatusModuleDetail_s, type) == 0);
static_assert(offsetof(vnx_GestureBundle_StatusModuleDetail_s, instanceId) == 8);
static_assert(sizeof(vnx_GestureBundle_Status_s) == 56);
static_assert(offsetof(vnx_GestureBundle_Status_s, event) == 32);
static_assert(offsetof(vnx_GestureBundle_Status_s, padding) == 36);
static_assert(offsetof(vnx_GestureBundle_Status_s, module) == 40);
static_assert(sizeof(vnx_GestureBundle_Format_s) == 16);
static_assert(sizeof(vnx_GestureBundle_Output_s) == 16);
#endif
