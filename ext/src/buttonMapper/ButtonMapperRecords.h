#pragma once

// ButtonMapper records (type 98): which mouse buttons and key codes a
// device's buttons stand for (the Config), and per sample the mouse buttons
// held, pressed and released and the key codes of the buttons that changed
// (the Output).

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Device buttons, one per bit of the ButtonActivity mask.
#define VNX_BUTTON_MAPPER_BUTTONS 32

typedef struct vnx_ButtonMapper_Config_s
{
    vnx_StructConfig_s config;
    /// Mouse-button mask of device button i (several may share one; 0 none);
    /// 1, 2, 4, ..., 128 for buttons 0-7 and 0 for the others after init.
    uint8_t mouseButtonMap[VNX_BUTTON_MAPPER_BUTTONS];
    /// Key code of device button i, 0 = no key; all 0 after init.
    uint16_t keyCodes[VNX_BUTTON_MAPPER_BUTTONS];
} vnx_ButtonMapper_Config_s;

typedef vnx_StructCommand_s vnx_ButtonMapper_Command_s;
typedef vnx_StructStatus_s vnx_ButtonMapper_Status_s;
typedef vnx_StructFormat_s vnx_ButtonMapper_Format_s;

typedef struct vnx_ButtonMapper_Output_s
{
    vnx_StructOutput_s output;
    uint8_t held;     ///< mouse buttons of the device buttons down now
    uint8_t pressed;  ///< mouse buttons of the device buttons that went down
    uint8_t released; ///< mouse buttons of the device buttons that went up
    uint8_t unused;
    uint16_t wheel; ///< low 16 bits of the ButtonActivity wheel value
    /// Key codes of the buttons that changed; entry j belongs to this sample
    /// when bit j of pressedKeys or releasedKeys is set.
    uint16_t keys[33];
    uint32_t pressedKeys;
    uint32_t releasedKeys;
} vnx_ButtonMapper_Output_s;

VNX_DECLARE_RECORD_FAMILY(ButtonMapper)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_ButtonMapper_Config_s) == 128);
static_assert(offsetof(vnx_ButtonMapper_Config_s, mouseButtonMap) == 32);
static_assert(offsetof(vnx_ButtonMapper_Config_s, keyCodes) == 64);
static_assert(sizeof(vnx_ButtonMapper_Output_s) == 96);
static_assert(offsetof(vnx_ButtonMapper_Output_s, held) == 16);
static_assert(offsetof(vnx_ButtonMapper_Output_s, pressed) == 17);
static_assert(offsetof(vnx_ButtonMapper_Output_s, released) == 18);
static_assert(offsetof(vnx_ButtonMapper_Output_s, unused) == 19);
static_assert(offsetof(vnx_ButtonMapper_Output_s, wheel) == 20);
static_assert(offsetof(vnx_ButtonMapper_Output_s, keys) == 22);
static_assert(offsetof(vnx_ButtonMapper_Output_s, pressedKeys) == 88);
static_assert(offsetof(vnx_ButtonMapper_Output_s, releasedKeys) == 92);
#endif
