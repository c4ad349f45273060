#pragma once

// ExtendedCursor records (type 9): the cursor engine of the main road. The
// desktop client sets the pointer scale in the Config, sends set-bounds and
// recentre commands and reads the pointer position from every Output.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"
#include "standardCursor/StandardCursorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Command codes (Command `code`).
typedef enum vnx_ExtendedCursor_CommandCode_e
{
    ZEPHRA_CURSOR_COMMAND_FORCE_LOCATION = 1, ///< value: ForceLocationData
    ZEPHRA_CURSOR_COMMAND_FORCE_HIDE = 2,
    ZEPHRA_CURSOR_COMMAND_FORCE_SHOW = 3,
    ZEPHRA_CURSOR_COMMAND_RECENTER = 4,
    ZEPHRA_CURSOR_COMMAND_REPORT_IDLE = 5,
    ZEPHRA_CURSOR_COMMAND_GET_LOCATION = 6,
    ZEPHRA_CURSOR_COMMAND_SET_BOUNDS = 7, ///< value: SetBoundsData
    ZEPHRA_CURSOR_COMMAND_TICK = 8,
    ZEPHRA_CURSOR_COMMAND_BUTTON_SUPPRESSION_CLICK_MODE = 9, ///< value: 1 on, other off
    ZEPHRA_CURSOR_COMMAND_BUTTON_SUPPRESSION_DRAG_MODE = 10, ///< value: 1 on, other off
    ZEPHRA_CURSOR_COMMAND_LOCK_AXES = 11,                    ///< value: 0 none, 1 hold y, 2 hold x, 3 both
    ZEPHRA_CURSOR_COMMAND_SET_RECENTER_MODE = 12,            ///< value: the new recenterMode
} vnx_ExtendedCursor_CommandCode_e;

/// A rectangle in pixels.
typedef struct vnx_ExtendedCursor_Bounds_s
{
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
} vnx_ExtendedCursor_Bounds_s;

typedef struct vnx_ExtendedCursor_SetBoundsData_s
{
    vnx_ExtendedCursor_Bounds_s osdBounds;     ///< display area the pointer maps onto
    vnx_ExtendedCursor_Bounds_s pointerLimits; ///< area in which the pointer is visible
} vnx_ExtendedCursor_SetBoundsData_s;

typedef struct vnx_ExtendedCursor_ForceLocationData_s
{
    int32_t x;
    int32_t y;
} vnx_ExtendedCursor_ForceLocationData_s;

typedef struct vnx_ExtendedCursor_Config_s
{
    vnx_StructConfig_s config;
    vnx_StandardCursor_Config_s standardCursor; ///< a whole StandardCursor Config
    uint32_t enableMickeyConversion; ///< non-zero: screen height and gain follow the display bounds
    float viewingAngle;              ///< radians spanning the display width
    uint32_t curveSelector;          ///< ballistics curve and gain choice
    uint32_t preFilter;              ///< 1 tremor cancellation, 2 circular backlash, other none
    uint32_t pointingMode;           ///< 2 bounded, 3 hides off-screen, 4 absolute, other relative
    uint32_t recenterMode;           ///< 1: a shake pulls the pointer to the centre
    float alignmentScale;
    float alignmentAngle; ///< radians
    float alignmentMaxError;
    uint8_t padding[4];
} vnx_ExtendedCursor_Config_s;

typedef struct vnx_ExtendedCursor_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_ExtendedCursor_CommandCode_e
    union {
        vnx_ExtendedCursor_ForceLocationData_s forceLocation;
        vnx_ExtendedCursor_SetBoundsData_s setBounds;
        uint32_t value;
        uint8_t bytes[36];
    } data;
} vnx_ExtendedCursor_Command_s;

typedef vnx_StructStatus_s vnx_ExtendedCursor_Status_s;

typedef struct vnx_ExtendedCursor_Format_s
{
    vnx_StructFormat_s format;
    uint32_t periodUs; ///< sample period, microseconds
    uint8_t padding[4];
} vnx_ExtendedCursor_Format_s;

typedef struct vnx_ExtendedCursor_Output_s
{
    vnx_StructOutput_s output;
    uint32_t sample; ///< sample number of the SensorFusion Output
    int32_t x;       ///< pointer position, display pixels
    int32_t y;       ///< y grows downwards
    int32_t dx;      ///< relative motion of this sample, counts
    int32_t dy;
    uint32_t pointerState; ///< 0 shown, 1 hidden, 2 drag started, 3 drag ended, 4 click, 5 press held
    float distance;        ///< how far the position lies outside the pointer limits, pixels
    uint8_t padding[4];    ///< never written
} vnx_ExtendedCursor_Output_s;

VNX_DECLARE_RECORD_FAMILY(ExtendedCursor)

int vnx_ExtendedCursor_initBounds(vnx_ExtendedCursor_Bounds_s* bounds);
int vnx_ExtendedCursor_initSetBoundsData(vnx_ExtendedCursor_SetBoundsData_s* data);
int vnx_ExtendedCursor_initForceLocationData(vnx_ExtendedCursor_ForceLocationData_s* data);

#ifdef __cplusplus
}

#include <cstddef>

static_assert(sizeof(vnx_ExtendedCursor_Bounds_s) == 16);
static_assert(offsetof(vnx_ExtendedCursor_Bounds_s, x) == 0);
static_assert(offsetof(vnx_ExtendedCursor_Bounds_s, y) == 4);
static_assert(offsetof(vnx_ExtendedCursor_Bounds_s, width) == 8);
static_assert(offsetof(vnx_ExtendedCursor_Bounds_s, height) == 12);
static_assert(sizeof(vnx_ExtendedCursor_SetBoundsData_s) == 32);
static_assert(offsetof(vnx_ExtendedCursor_SetBoundsData_s, osdBounds) == 0);
static_assert(offsetof(vnx_ExtendedCursor_SetBoundsData_s, pointerLimits) == 16);
static_assert(sizeof(vnx_ExtendedCursor_ForceLocationData_s) == 8);
static_assert(offsetof(vnx_ExtendedCursor_ForceLocationData_s, x) == 0);
static_assert(offsetof(vnx_ExtendedCursor_ForceLocationData_s, y) == 4);
static_assert(sizeof(vnx_ExtendedCursor_Config_s) == 168);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, config) == 0);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, standardCursor) == 32);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, standardCursor) +
                  offsetof(vnx_StandardCursor_Config_s, rollCompensation) ==
              72);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, standardCursor) +
                  offsetof(vnx_StandardCursor_Config_s, pointerScale) ==
              108);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, enableMickeyConversion) == 128);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, viewingAngle) == 132);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, curveSelector) == 136);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, preFilter) == 140);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, pointingMode) == 144);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, recenterMode) == 148);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, alignmentScale) == 152);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, alignmentAngle) == 156);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, alignmentMaxError) == 160);
static_assert(offsetof(vnx_ExtendedCursor_Config_s, padding) == 164);
static_assert(sizeof(vnx_ExtendedCursor_Command_s) == 72);
static_assert(offsetof(vnx_ExtendedCursor_Command_s, command) == 0);
static_assert(offsetof(vnx_ExtendedCursor_Command_s, code) == 32);
static_assert(offsetof(vnx_ExtendedCursor_Command_s, data) == 36);
static_assert(sizeof(vnx_ExtendedCursor_Status_s) == 32);
static_assert(sizeof(vnx_ExtendedCursor_Format_s) == 24);
static_assert(offsetof(vnx_ExtendedCursor_Format_s, format) == 0);
static_assert(offsetof(vnx_ExtendedCursor_Format_s, periodUs) == 16);
static_assert(offsetof(vnx_ExtendedCursor_Format_s, padding) == 20);
static_assert(sizeof(vnx_ExtendedCursor_Output_s) == 48);
static_assert(offsetof(vnx_ExtendedCursor_Output_s, output) == 0);
static_assert(offsetof(vnx_ExtendedCursor_Output_s, sample) == 16);
static_assert(offsetof(vnx_ExtendedCursor_Output_s, x) == 20);
static_assert(offsetof(vnx_ExtendedCursor_Output_s, y) == 24);
static_assert(offsetof(vnx_ExtendedCursor_Output_s, dx) == 28);
static_assert(offsetof(vnx_ExtendedCursor_Output_s, dy) == 32);
static_assert(offsetof(vnx_ExtendedCursor_Output_s, pointerState) == 36);
static_assert(offsetof(vnx_ExtendedCursor_Output_s, distance) == 40);
static_assert(offsetof(vnx_ExtendedCursor_Output_s, padding) == 44);
#endif
