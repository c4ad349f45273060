#pragma once

// StandardCursor records (type 6): the simple cursor's relative pointer counts
// per sample. Its Config also opens the ExtendedCursor Config.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Config option bits (byte 41).
typedef enum vnx_StandardCursor_Option_e
{
    VNX_STANDARD_CURSOR_OPTION_TREMOR_CANCEL = 1,
    VNX_STANDARD_CURSOR_OPTION_NONLINEAR_GAIN = 2,
    VNX_STANDARD_CURSOR_OPTION_PITCH_SCALE = 4,
} vnx_StandardCursor_Option_e;

/// Config format words: the only values a Config is accepted with.
#define VNX_STANDARD_CURSOR_FORMAT_WORD_0 0xFFFFFF81u
#define VNX_STANDARD_CURSOR_FORMAT_WORD_1 127u

typedef struct vnx_StandardCursor_Config_s
{
    vnx_StructConfig_s config;
    int16_t reorientation[4]; ///< w, x, y, z with 14 fraction bits (not read by the module)
    uint8_t rollCompensation; ///< non-zero: roll compensation on
    uint8_t options;          ///< vnx_StandardCursor_Option_e bits
    uint8_t padding0[2];
    uint32_t holdTimeUs[4]; ///< button suppression hold of events 0-3 (press, release, wheel up, down)
    uint32_t radius[4];     ///< button suppression radius of events 0-3, pointer counts
    int32_t pointerScale;   ///< 16 fraction bits; 65536 is 1.0
    uint8_t outputSelector; ///< must be 0
    uint8_t padding1[3];
    uint32_t formatWord0; ///< must be VNX_STANDARD_CURSOR_FORMAT_WORD_0
    uint32_t formatWord1; ///< must be VNX_STANDARD_CURSOR_FORMAT_WORD_1
    uint8_t padding2[4];
} vnx_StandardCursor_Config_s;

typedef struct vnx_StandardCursor_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< no command is acted on
    uint8_t padding[4];
} vnx_StandardCursor_Command_s;

typedef vnx_StructStatus_s vnx_StandardCursor_Status_s;

typedef struct vnx_StandardCursor_Format_s
{
    vnx_StructFormat_s format;
    uint32_t reserved;  ///< 0 after init
    uint8_t countCode;  ///< value-format code of dx and dy
    uint8_t spreadCode; ///< value-format code of the two spread values
    uint8_t padding0[2];
    uint32_t periodUs; ///< sample period, microseconds
    uint8_t padding1[4];
} vnx_StandardCursor_Format_s;

typedef struct vnx_StandardCursor_Output_s
{
    vnx_StructOutput_s output;
    uint32_t sample; ///< sample number of the SensorFusion Output
    int32_t dx;      ///< pointer counts of this sample
    int32_t dy;
    int32_t spread0; ///< scaled spread values, counts
    int32_t spread1;
    uint8_t padding[4];
} vnx_StandardCursor_Output_s;

VNX_DECLARE_RECORD_FAMILY(StandardCursor)

#ifdef __cplusplus
}

#include <cstddef>

static_assert(sizeof(vnx_StandardCursor_Config_s) == 96);
static_assert(offsetof(vnx_StandardCursor_Config_s, config) == 0);
static_assert(offsetof(vnx_StandardCursor_Config_s, reorientation) == 32);
static_assert(offsetof(vnx_StandardCursor_Config_s, rollCompensation) == 40);
static_assert(offsetof(vnx_StandardCursor_Config_s, options) == 41);
static_assert(offsetof(vnx_StandardCursor_Config_s, padding0) == 42);
static_assert(offsetof(vnx_StandardCursor_Config_s, holdTimeUs) == 44);
static_assert(offsetof(vnx_StandardCursor_Config_s, radius) == 60);
static_assert(offsetof(vnx_StandardCursor_Config_s, pointerScale) == 76);
static_assert(offsetof(vnx_StandardCursor_Config_s, outputSelector) == 80);
static_assert(offsetof(vnx_StandardCursor_Config_s, padding1) == 81);
static_assert(offsetof(vnx_StandardCursor_Config_s, formatWord0) == 84);
static_assert(offsetof(vnx_StandardCursor_Config_s, formatWord1) == 88);
static_assert(offsetof(vnx_StandardCursor_Config_s, padding2) == 92);
static_assert(sizeof(vnx_StandardCursor_Command_s) == 40);
static_assert(offsetof(vnx_StandardCursor_Command_s, command) == 0);
static_assert(offsetof(vnx_StandardCursor_Command_s, code) == 32);
static_assert(offsetof(vnx_StandardCursor_Command_s, padding) == 36);
static_assert(sizeof(vnx_StandardCursor_Status_s) == 32);
static_assert(sizeof(vnx_StandardCursor_Format_s) == 32);
static_assert(offsetof(vnx_StandardCursor_Format_s, format) == 0);
static_assert(offsetof(vnx_StandardCursor_Format_s, reserved) == 16);
static_assert(offsetof(vnx_StandardCursor_Format_s, countCode) == 20);
static_assert(offsetof(vnx_StandardCursor_Format_s, spreadCode) == 21);
static_assert(offsetof(vnx_StandardCursor_Format_s, padding0) == 22);
static_assert(offsetof(vnx_StandardCursor_Format_s, periodUs) == 24);
static_assert(offsetof(vnx_StandardCursor_Format_s, padding1) == 28);
static_assert(sizeof(vnx_StandardCursor_Output_s) == 40);
static_assert(offsetof(vnx_StandardCursor_Output_s, output) == 0);
static_assert(offsetof(vnx_StandardCursor_Output_s, sample) == 16);
static_assert(offsetof(vnx_StandardCursor_Output_s, dx) == 20);
static_assert(offsetof(vnx_StandardCursor_Output_s, dy) == 24);
static_assert(offsetof(vnx_StandardCursor_Output_s, spread0) == 28);
static_assert(offsetof(vnx_StandardCursor_Output_s, spread1) == 32);
static_assert(offsetof(vnx_StandardCursor_Output_s, padding) == 36);
#endif
