#pragma once

// Outcome of a CursorGesture learning run, reported in the module's Status
// record. Plain C layout: it crosses the library boundary.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Status type of a learning run.
typedef enum vnx_CursorGesture_StatusType_e
{
    VNX_CURSOR_GESTURE_LEARNING_SUCCESS = 1, ///< a new code was made
    VNX_CURSOR_GESTURE_LEARNING_FAILED = 2,  ///< no training gesture, or they disagree
} vnx_CursorGesture_StatusType_e;

/// Longest code whose digits the record carries.
#define VNX_CURSOR_GESTURE_MAX_LEARNED_DIGITS 63

typedef struct vnx_CursorGesture_LearningSuccessData_s
{
    uint8_t codeLength;                                    ///< library code length L
    uint8_t digits[VNX_CURSOR_GESTURE_MAX_LEARNED_DIGITS]; ///< direction digits 1-8, the rest 0
    uint32_t reserved;                                     ///< always 0
    float quality;                                         ///< percent: (1 - worst cost) * 100
} vnx_CursorGesture_LearningSuccessData_s;

#ifdef __cplusplus
}

static_assert(sizeof(vnx_CursorGesture_LearningSuccessData_s) == 72);
static_assert(offsetof(vnx_CursorGesture_LearningSuccessData_s, codeLength) == 0);
static_assert(offsetof(vnx_CursorGesture_LearningSuccessData_s, digits) == 1);
static_assert(offsetof(vnx_CursorGesture_LearningSuccessData_s, reserved) == 64);
static_assert(offsetof(vnx_CursorGesture_LearningSuccessData_s, quality) == 68);
#endif
