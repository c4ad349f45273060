#pragma once

// ButtonActivity records (type 5): the state of all buttons, the wheel
// movement of the sample and the activity flags derived from them.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// `activity` value that asks the ButtonActivity module to derive the flags
/// from `buttons` and the previous sample's buttons.
#define VNX_BUTTON_ACTIVITY_DERIVE 0x80000000u

/// Activity flags.
typedef enum vnx_ButtonActivity_Flag_e
{
    VNX_BUTTON_ACTIVITY_PRESS = 1,              ///< a button went down since the previous sample
    VNX_BUTTON_ACTIVITY_RELEASE = 2,            ///< a button went up since the previous sample
    VNX_BUTTON_ACTIVITY_WHEEL_POSITIVE = 4,     ///< `wheel` above 0
    VNX_BUTTON_ACTIVITY_WHEEL_NEGATIVE = 8,     ///< `wheel` below 0
    VNX_BUTTON_ACTIVITY_FORCE_SUPPRESSION = 16, ///< the cursor holds still for this sample
} vnx_ButtonActivity_Flag_e;

typedef vnx_StructConfig_s vnx_ButtonActivity_Config_s;
typedef vnx_StructCommand_s vnx_ButtonActivity_Command_s;
typedef vnx_StructStatus_s vnx_ButtonActivity_Status_s;
typedef vnx_StructFormat_s vnx_ButtonActivity_Format_s;

typedef struct vnx_ButtonActivity_Output_s
{
    vnx_StructOutput_s output;
    uint32_t activity;  ///< vnx_ButtonActivity_Flag_e bits, or VNX_BUTTON_ACTIVITY_DERIVE
    uint32_t buttons;   ///< one bit per button, 1 = pressed
    int32_t wheel;      ///< wheel movement of this sample
    uint8_t padding[4]; ///< left alone by the initialiser
} vnx_ButtonActivity_Output_s;

VNX_DECLARE_RECORD_FAMILY(ButtonActivity)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_ButtonActivity_Output_s) == 32);
static_assert(offsetof(vnx_ButtonActivity_Output_s, output) == 0);
static_assert(offsetof(vnx_ButtonActivity_Output_s, activity) == 16);
static_assert(offsetof(vnx_ButtonActivity_Output_s, buttons) == 20);
static_assert(offsetof(vnx_ButtonActivity_Output_s, wheel) == 24);
static_assert(offsetof(vnx_ButtonActivity_Output_s, padding) == 28);
#endif
