#pragma once

// CursorGesture records (type 11): gestures drawn with the pointer, matched
// against the module's library or learned into it.

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "gesture/CursorGestureLearningRecords.h"
#include "gesture/gestureTextSizes.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum vnx_CursorGesture_CommandCode_e
{
    VNX_CURSOR_GESTURE_COMMAND_NONE = 0,
    VNX_CURSOR_GESTURE_COMMAND_START_CAPTURE = 1, ///< a gesture begins with the next sample
    VNX_CURSOR_GESTURE_COMMAND_STOP_CAPTURE = 2,  ///< the next sample ends and evaluates it
    VNX_CURSOR_GESTURE_COMMAND_START_LEARNING = 3,
    VNX_CURSOR_GESTURE_COMMAND_STOP_LEARNING = 4, ///< reports the outcome in a Status
    VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE = 5,   ///< the Definition joins the library
    VNX_CURSOR_GESTURE_COMMAND_RESERVED = 6,      ///< not implemented
    VNX_CURSOR_GESTURE_COMMAND_CLEAR_GESTURES = 7,
} vnx_CursorGesture_CommandCode_e;

/// A gesture to store: its name and its direction code as text (one value
/// per non-blank character position, e.g. "5 5 7 7 1 1 3 3").
typedef struct vnx_CursorGesture_Definition_s
{
    char name[VNX_GESTURE_NAME_SIZE];
    char code[VNX_GESTURE_CODE_TEXT_SIZE];
} vnx_CursorGesture_Definition_s;

typedef vnx_StructConfig_s vnx_CursorGesture_Config_s;

typedef struct vnx_CursorGesture_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code; ///< vnx_CursorGesture_CommandCode_e
    vnx_CursorGesture_Definition_s definition;
    uint8_t padding[4];
} vnx_CursorGesture_Command_s;

typedef struct vnx_CursorGesture_Status_s
{
    vnx_StructStatus_s status;
    uint32_t statusType; ///< vnx_CursorGesture_StatusType_e
    vnx_CursorGesture_LearningSuccessData_s learning;
    uint8_t padding[4];
} vnx_CursorGesture_Status_s;

typedef vnx_StructFormat_s vnx_CursorGesture_Format_s;

/// Why a capture stopped growing (Output `captureState`).
typedef enum vnx_CursorGesture_CaptureState_e
{
    VNX_CURSOR_GESTURE_CAPTURE_NORMAL = 0,
    VNX_CURSOR_GESTURE_CAPTURE_TIME_LIMIT = 1,   ///< ten seconds of samples
    VNX_CURSOR_GESTURE_CAPTURE_LENGTH_LIMIT = 2, ///< 625 steps
} vnx_CursorGesture_CaptureState_e;

typedef struct vnx_CursorGesture_Output_s
{
    vnx_StructOutput_s output;
    uint32_t sampleNumber; ///< of the cursor output; 0 while learning
    uint8_t result;        ///< 1 on the sample at which a drawn gesture was evaluated
    /// Matched gesture or "Not matched"; no terminator at 128 characters.
    char name[VNX_GESTURE_NAME_SIZE];
    uint8_t padding1[3];
    double score; ///< percent, 0 when not matched
    // The rest only for a match, in the cursor's units, from the start of the gesture.
    float durationS;
    float centreX; ///< centre of the bounding box of the captured positions
    float centreY;
    float width;
    float height;
    float lastX;
    float lastY;
    float pathLength;
    uint32_t captureState; ///< vnx_CursorGesture_CaptureState_e
    uint8_t padding2[4];
} vnx_CursorGesture_Output_s;

VNX_DECLARE_RECORD_FAMILY(CursorGesture)

/// Zeroes the 192 bytes; 0 (-2 for null).
VNX_RECORD_FAMILY_API int vnx_CursorGesture_initDefinition(vnx_CursorGesture_Definition_s* definition);
/// Zeroes the 72 bytes; 0 (-2 for null).
VNX_RECORD_FAMILY_API int
vnx_CursorGesture_initLearningSuccessData(vnx_CursorGesture_LearningSuccessData_s* data);

#ifdef __cplusplus
}

static_assert(sizeof(vnx_CursorGesture_Definition_s) == 192);
static_assert(offsetof(vnx_CursorGesture_Definition_s, name) == 0);
static_assert(offsetof(vnx_CursorGesture_Definition_s, code) == 128);
static_assert(sizeof(vnx_CursorGesture_Config_s) == 32);
static_assert(sizeof(vnx_CursorGesture_Command_s) == 232);
static_assert(offsetof(vnx_CursorGesture_Command_s, command) == 0);
static_assert(offsetof(vnx_CursorGesture_Command_s, code) == 32);
static_assert(offsetof(vnx_CursorGesture_Command_s, definition) == 36);
static_assert(offsetof(vnx_CursorGesture_Command_s, padding) == 228);
static_assert(sizeof(vnx_CursorGesture_Status_s) == 112);
static_assert(offsetof(vnx_CursorGesture_Status_s, status) == 0);
static_assert(offsetof(vnx_CursorGesture_Status_s, statusType) == 32);
static_assert(offsetof(vnx_CursorGesture_Status_s, learning) == 36);
static_assert(offsetof(vnx_CursorGesture_Status_s, padding) == 108);
static_assert(sizeof(vnx_CursorGesture_Format_s) == 16);
static_assert(sizeof(vnx_CursorGesture_Output_s) == 200);
static_assert(offsetof(vnx_CursorGesture_Output_s, output) == 0);
static_assert(offsetof(vnx_CursorGesture_Output_s, sampleNumber) == 16);
static_assert(offsetof(vnx_CursorGesture_Output_s, result) == 20);
static_assert(offsetof(vnx_CursorGesture_Output_s, name) == 21);
static_assert(offsetof(vnx_CursorGesture_Output_s, padding1) == 149);
static_assert(offsetof(vnx_CursorGesture_Output_s, score) == 152);
static_assert(offsetof(vnx_CursorGesture_Output_s, durationS) == 160);
static_assert(offsetof(vnx_CursorGesture_Output_s, centreX) == 164);
static_assert(offsetof(vnx_CursorGesture_Output_s, centreY) == 168);
static_assert(offsetof(vnx_CursorGesture_Output_s, width) == 172);
static_assert(offsetof(vnx_CursorGesture_Output_s, height) == 176);
static_assert(offsetof(vnx_CursorGesture_Output_s, lastX) == 180);
static_assert(offsetof(vnx_CursorGesture_Output_s, lastY) == 184);
static_assert(offsetof(vnx_CursorGesture_Output_s, pathLength) == 188);
static_assert(offsetof(vnx_CursorGesture_Output_s, captureState) == 192);
static_assert(offsetof(vnx_CursorGesture_Output_s, padding2) == 196);
#endif
