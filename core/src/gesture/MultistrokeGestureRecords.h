#pragma once

// MultistrokeGesture records (type 24): written symbols of one or two pen
// strokes each, recognised against the module's library.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "gesture/gestureTextSizes.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum vnx_MultistrokeGesture_CommandCode_e
{
    VNX_MULTISTROKE_GESTURE_COMMAND_BEGIN_STROKE = 1,
    VNX_MULTISTROKE_GESTURE_COMMAND_END_STROKE = 2,
    VNX_MULTISTROKE_GESTURE_COMMAND_ADD_SYMBOL = 3, ///< the Definition joins the library
    VNX_MULTISTROKE_GESTURE_COMMAND_RESERVED = 4,   ///< not implemented
    VNX_MULTISTROKE_GESTURE_COMMAND_CLEAR_SYMBOLS = 5,
    VNX_MULTISTROKE_GESTURE_COMMAND_RECOGNISE = 6, ///< the next sample with no stroke open recognises
} vnx_MultistrokeGesture_CommandCode_e;

/// Most symbol names an Output carries; the count may be larger.
#define VNX_MULTISTROKE_GESTURE_MAX_SYMBOLS 10

/// A symbol to store: its name and its direction code as text.
typedef struct vnx_MultistrokeGesture_Definition_s
{
    char name[VNX_GESTURE_NAME_SIZE];
    char code[VNX_GESTURE_CODE_TEXT_SIZE];
} vnx_MultistrokeGesture_Definition_s;

typedef struct vnx_MultistrokeGesture_Config_s
{
    vnx_StructConfig_s config;
    /// Two neighbouring strokes whose boxes lie closer than this (pointer
    /// units) may form one symbol.
    double groupingDistance;
} vnx_MultistrokeGesture_Config_s;

typedef struct vnx_MultistrokeGesture_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_MultistrokeGesture_CommandCode_e
    uint8_t reserved1[4];
    vnx_MultistrokeGesture_Definition_s definition;
    uint8_t reserved2[832];
} vnx_MultistrokeGesture_Command_s;

typedef vnx_StructStatus_s vnx_MultistrokeGesture_Status_s;
typedef vnx_StructFormat_s vnx_MultistrokeGesture_Format_s;

typedef struct vnx_MultistrokeGesture_Output_s
{
    vnx_StructOutput_s output;
    /// The first recognised symbols in writing order, "?" for a stroke that
    /// matched nothing; no terminator at 128 characters.
    char names[VNX_MULTISTROKE_GESTURE_MAX_SYMBOLS][VNX_GESTURE_NAME_SIZE];
    uint8_t result; ///< 1 on the sample at which recognition ran
    uint8_t padding[3];
    uint32_t count; ///< recognised symbols, may exceed the names carried
} vnx_MultistrokeGesture_Output_s;

VNX_DECLARE_RECORD_FAMILY(MultistrokeGesture)

/// Zeroes the 192 bytes; 0 (-2 for null).
VNX_RECORD_FAMILY_API int
vnx_MultistrokeGesture_initDefinition(vnx_MultistrokeGesture_Definition_s* definition);

#ifdef __cplusplus
}

static_assert(sizeof(vnx_MultistrokeGesture_Definition_s) == 192);
static_assert(offsetof(vnx_MultistrokeGesture_Definition_s, name) == 0);
static_assert(offsetof(vnx_MultistrokeGesture_Definition_s, code) == 128);
static_assert(sizeof(vnx_MultistrokeGesture_Config_s) == 40);
static_assert(offsetof(vnx_MultistrokeGesture_Config_s, config) == 0);
static_assert(offsetof(vnx_MultistrokeGesture_Config_s, groupingDistance) == 32);
static_assert(sizeof(vnx_MultistrokeGesture_Command_s) == 1064);
static_assert(offsetof(vnx_MultistrokeGesture_Command_s, command) == 0);
static_assert(offsetof(vnx_MultistrokeGesture_Command_s, code) == 32);
static_assert(offsetof(vnx_MultistrokeGesture_Command_s, reserved1) == 36);
static_assert(offsetof(vnx_MultistrokeGesture_Command_s, definition) == 40);
static_assert(offsetof(vnx_MultistrokeGesture_Command_s, reserved2) == 232);
static_assert(sizeof(vnx_MultistrokeGesture_Status_s) == 32);
static_assert(sizeof(vnx_MultistrokeGesture_Format_s) == 16);
static_assert(sizeof(vnx_MultistrokeGesture_Output_s) == 1304);
static_assert(offsetof(vnx_MultistrokeGesture_Output_s, output) == 0);
static_assert(offsetof(vnx_MultistrokeGesture_Output_s, names) == 16);
static_assert(offsetof(vnx_MultistrokeGesture_Output_s, result) == 1296);
static_assert(offsetof(vnx_MultistrokeGesture_Output_s, padding) == 1297);
static_assert(offsetof(vnx_MultistrokeGesture_Output_s, count) == 1300);
#endif
