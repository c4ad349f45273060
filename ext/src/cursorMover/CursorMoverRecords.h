#pragma once

// CursorMover records (type 99): what a cursor mover does with each sample
// (the Config), the pointer area and the button events a client sends it
// (the Command).

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// What process makes of a sample.
typedef enum vnx_CursorMover_Mode_e
{
    VNX_CURSOR_MOVER_MODE_OFF = 0,      ///< nothing
    VNX_CURSOR_MOVER_MODE_DELTA = 2,    ///< relative moves from either cursor output
    VNX_CURSOR_MOVER_MODE_ABSOLUTE = 3, ///< positions only; relative counts are dropped
    // Any other value: positions from the ExtendedCursor, relative moves from
    // the StandardCursor.
} vnx_CursorMover_Mode_e;

typedef enum vnx_CursorMover_CommandCode_e
{
    VNX_CURSOR_MOVER_COMMAND_SET_BOUNDS = 0,  ///< parameter: bounds
    VNX_CURSOR_MOVER_COMMAND_SEND_BUTTONS = 1 ///< parameter: sendInput
} vnx_CursorMover_CommandCode_e;

typedef struct vnx_CursorMover_Config_s
{
    vnx_StructConfig_s config;
    uint32_t mode; ///< vnx_CursorMover_Mode_e; 0 after init
    // Settings handed to the platform layer unchanged; no operation of the
    // engine reads them.
    uint8_t platformSettings[8]; ///< 0 after init
    uint8_t platformFlagA;       ///< 1 after init
    uint8_t platformFlagB;       ///< 1 after init
    uint8_t platformFlagC;       ///< 0 after init
    uint8_t unused0;
    uint32_t platformWord; ///< 0 after init
    uint8_t unused1[4];
} vnx_CursorMover_Config_s;

/// The pointer area, in the order of the ExtendedCursor rectangle; all -1
/// after vnx_CursorMover_initBounds.
typedef struct vnx_CursorMover_Bounds_s
{
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
} vnx_CursorMover_Bounds_s;

/// A button event given by the client; bytes 16-95 of a ButtonMapper Output.
typedef struct vnx_CursorMover_SendInput_s
{
    uint8_t held;     ///< mouse buttons held
    uint8_t pressed;  ///< mouse buttons newly pressed
    uint8_t released; ///< mouse buttons newly released
    uint8_t unused;
    uint16_t wheel;
    uint16_t keys[33];     ///< key codes, ended by the first 0 entry
    uint32_t pressedKeys;  ///< bit i: key entry i was pressed
    uint32_t releasedKeys; ///< bit i: key entry i was released
} vnx_CursorMover_SendInput_s;

typedef struct vnx_CursorMover_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_CursorMover_CommandCode_e
    union {
        vnx_CursorMover_Bounds_s bounds;
        vnx_CursorMover_SendInput_s sendInput;
    } parameter;
    uint8_t unused[4];
} vnx_CursorMover_Command_s;

typedef vnx_StructStatus_s vnx_CursorMover_Status_s;
typedef vnx_StructFormat_s vnx_CursorMover_Format_s;
typedef vnx_StructOutput_s vnx_CursorMover_Output_s;

VNX_DECLARE_RECORD_FAMILY(CursorMover)

int vnx_CursorMover_initBounds(vnx_CursorMover_Bounds_s* bounds);
int vnx_CursorMover_initSendInput(vnx_CursorMover_SendInput_s* input);

#ifdef __cplusplus
}

static_assert(sizeof(vnx_CursorMover_Config_s) == 56);
static_assert(offsetof(vnx_CursorMover_Config_s, config) == 0);
static_assert(offsetof(vnx_CursorMover_Config_s, mode) == 32);
static_assert(offsetof(vnx_CursorMover_Config_s, platformSettings) == 36);
static_assert(offsetof(vnx_CursorMover_Config_s, platformFlagA) == 44);
static_assert(offsetof(vnx_CursorMover_Config_s, platformFlagB) == 45);
static_assert(offsetof(vnx_CursorMover_Config_s, platformFlagC) == 46);
static_assert(offsetof(vnx_CursorMover_Config_s, unused0) == 47);
static_assert(offsetof(vnx_CursorMover_Config_s, platformWord) == 48);
static_assert(offsetof(vnx_CursorMover_Config_s, unused1) == 52);
static_assert(sizeof(vnx_CursorMover_Bounds_s) == 16);
static_assert(offsetof(vnx_CursorMover_Bounds_s, x) == 0);
static_assert(offsetof(vnx_CursorMover_Bounds_s, y) == 4);
static_assert(offsetof(vnx_CursorMover_Bounds_s, width) == 8);
static_assert(offsetof(vnx_CursorMover_Bounds_s, height) == 12);
static_assert(sizeof(vnx_CursorMover_SendInput_s) == 80);
static_assert(offsetof(vnx_CursorMover_SendInput_s, held) == 0);
static_assert(offsetof(vnx_CursorMover_SendInput_s, pressed) == 1);
static_assert(offsetof(vnx_CursorMover_SendInput_s, released) == 2);
static_assert(offsetof(vnx_CursorMover_SendInput_s, unused) == 3);
static_assert(offsetof(vnx_CursorMover_SendInput_s, wheel) == 4);
static_assert(offsetof(vnx_CursorMover_SendInput_s, keys) == 6);
static_assert(offsetof(vnx_CursorMover_SendInput_s, pressedKeys) == 72);
static_assert(offsetof(vnx_CursorMover_SendInput_s, releasedKeys) == 76);
static_assert(sizeof(vnx_CursorMover_Command_s) == 120);
static_assert(offsetof(vnx_CursorMover_Command_s, command) == 0);
static_assert(offsetof(vnx_CursorMover_Command_s, code) == 32);
static_assert(offsetof(vnx_CursorMover_Command_s, parameter) == 36);
static_assert(offsetof(vnx_CursorMover_Command_s, unused) == 116);
#endif
