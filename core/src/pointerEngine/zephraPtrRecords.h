#pragma once

// Records of the pointer engine's flat API: its configuration, the result of
// every operation and the input of each command.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ZephraPtr_Config
{
    uint32_t periodUs;               ///< sample period, microseconds
    uint32_t enableMickeyConversion; ///< 1: gain scaled by display height / 720
    float gain;
    float viewingAngle;     ///< radians spanning the display width
    uint32_t ballistics;    ///< gain mode 0 to 3
    uint32_t alignmentMode; ///< 0 relative, 1 aligned, 2 and 3 aligned with off-screen handling
    uint32_t recenterMode;  ///< stored and traced only
    uint32_t cameraMode;    ///< 0 aligned, 1 direct camera placement, 2 camera hybrid
    float alignmentScale;
    float alignmentAngle; ///< radians
    float alignmentMaxError;
    uint32_t suppression[8]; ///< stored and traced only
} ZephraPtr_Config;

/// Pointer states of a result.
enum
{
    ZEPHRA_PTR_SHOWN = 0,
    ZEPHRA_PTR_HIDDEN = 1,
    ZEPHRA_PTR_DRAG_STARTED = 2,
    ZEPHRA_PTR_DRAG_ENDED = 3,
    ZEPHRA_PTR_CLICK = 4,
    ZEPHRA_PTR_PRESS_HELD = 5,
};

typedef struct ZephraPtr_ProcessResult
{
    int32_t x; ///< pixels
    int32_t y;
    float distance;        ///< how far the position lies outside the pointer limits, 0 inside
    uint32_t pointerState; ///< ZEPHRA_PTR_*
    uint32_t flag;         ///< written as 0
} ZephraPtr_ProcessResult;

typedef struct ZephraPtr_Bounds
{
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
} ZephraPtr_Bounds;

typedef struct ZephraPtr_ProcessDeltaData
{
    int32_t x; ///< relative motion, counts
    int32_t y;
    uint32_t button;  ///< bit 0 a new press, bit 1 a release
    int32_t sampleId; ///< sample counter of the source
} ZephraPtr_ProcessDeltaData;

typedef struct ZephraPtr_ProcessDeltaHintedData
{
    ZephraPtr_ProcessDeltaData delta;
    int32_t hints[4]; ///< not read
} ZephraPtr_ProcessDeltaHintedData;

typedef struct ZephraPtr_ProcessDeltaUserframeData
{
    ZephraPtr_ProcessDeltaData delta;
    float angularPosition[4]; ///< unit quaternion w, x, y, z
} ZephraPtr_ProcessDeltaUserframeData;

typedef struct ZephraPtr_ProcessDeltaUserframeCameraData
{
    ZephraPtr_ProcessDeltaUserframeData userframe;
    uint8_t cameraFlag; ///< 1 when the camera sees the pointer
    uint8_t padding[3];
    float camera[3]; ///< horizontal and vertical position (0..1 of the internal limits), gain value
} ZephraPtr_ProcessDeltaUserframeCameraData;

typedef struct ZephraPtr_ProcessDeltaBodyframeData
{
    ZephraPtr_ProcessDeltaData delta;
    float linearAcceleration[3];
    float angularVelocity[3];
} ZephraPtr_ProcessDeltaBodyframeData;

typedef struct ZephraPtr_ForceLocationData
{
    int32_t x;
    int32_t y;
} ZephraPtr_ForceLocationData;

typedef struct ZephraPtr_SetBoundsData
{
    ZephraPtr_Bounds osdBounds;
    ZephraPtr_Bounds pointerLimits;
} ZephraPtr_SetBoundsData;

/// Command codes of zephraPtr_run.
enum
{
    ZEPHRA_PTR_PROCESS_DELTA = 0,
    ZEPHRA_PTR_PROCESS_DELTA_HINTED = 1,
    ZEPHRA_PTR_PROCESS_DELTA_USERFRAME = 2,
    ZEPHRA_PTR_PROCESS_DELTA_BODYFRAME = 3,
    ZEPHRA_PTR_PROCESS_DELTA_USERFRAME_CAMERA = 4,
    ZEPHRA_PTR_FORCE_LOCATION = 5,
    ZEPHRA_PTR_FORCE_HIDE = 6,
    ZEPHRA_PTR_FORCE_SHOW = 7,
    ZEPHRA_PTR_RECENTER = 8,
    ZEPHRA_PTR_REPORT_IDLE = 9,
    ZEPHRA_PTR_GET_LOCATION = 10,
    ZEPHRA_PTR_SET_BOUNDS = 11,
    ZEPHRA_PTR_TICK = 12,
};

/// A command of zephraPtr_run: the code, then its data.
typedef struct ZephraPtr_Command
{
    uint32_t code;
    union {
        ZephraPtr_ProcessDeltaData delta;
        ZephraPtr_ProcessDeltaHintedData hinted;
        ZephraPtr_ProcessDeltaUserframeData userframe;
        ZephraPtr_ProcessDeltaUserframeCameraData camera;
        ZephraPtr_ProcessDeltaBodyframeData bodyframe;
        ZephraPtr_ForceLocationData forceLocation;
        ZephraPtr_SetBoundsData setBounds;
    } data;
} ZephraPtr_Command;

/// Flat-API status codes.
enum
{
    ZEPHRA_PTR_ERROR_NULL_HANDLE = -1001,
    ZEPHRA_PTR_ERROR_NULL_TIME_SOURCE = -1002,
    ZEPHRA_PTR_ERROR_NO_ALIGNMENT = -1003,
    ZEPHRA_PTR_ERROR_UNKNOWN_COMMAND = -1007,
    ZEPHRA_PTR_ERROR_NOT_SUPPORTED = -1008,
};

typedef uint64_t (*ZephraPtr_TimeSource)(void);
/// Receives one trace line (a terminated text).
typedef void (*ZephraPtr_TraceCallback)(const char* line);

#ifdef __cplusplus
}

#include <cstddef>
static_assert(sizeof(ZephraPtr_Config) == 76);
static_assert(offsetof(ZephraPtr_Config, gain) == 8);
static_assert(offsetof(ZephraPtr_Config, alignmentMaxError) == 40);
static_assert(offsetof(ZephraPtr_Config, suppression) == 44);
static_assert(sizeof(ZephraPtr_ProcessResult) == 20);
static_assert(offsetof(ZephraPtr_ProcessResult, distance) == 8);
static_assert(offsetof(ZephraPtr_ProcessResult, pointerState) == 12);
static_assert(offsetof(ZephraPtr_ProcessResult, flag) == 16);
static_assert(sizeof(ZephraPtr_ProcessDeltaData) == 16);
static_assert(offsetof(ZephraPtr_ProcessDeltaData, button) == 8);
static_assert(offsetof(ZephraPtr_ProcessDeltaData, sampleId) == 12);
static_assert(sizeof(ZephraPtr_ProcessDeltaUserframeData) == 32);
static_assert(offsetof(ZephraPtr_ProcessDeltaUserframeData, angularPosition) == 16);
static_assert(sizeof(ZephraPtr_ProcessDeltaUserframeCameraData) == 48);
static_assert(offsetof(ZephraPtr_ProcessDeltaUserframeCameraData, cameraFlag) == 32);
static_assert(offsetof(ZephraPtr_ProcessDeltaUserframeCameraData, camera) == 36);
static_assert(sizeof(ZephraPtr_ProcessDeltaBodyframeData) == 40);
static_assert(offsetof(ZephraPtr_ProcessDeltaBodyframeData, angularVelocity) == 28);
static_assert(sizeof(ZephraPtr_ForceLocationData) == 8);
static_assert(sizeof(ZephraPtr_SetBoundsData) == 32);
static_assert(offsetof(ZephraPtr_SetBoundsData, pointerLimits) == 16);
static_assert(offsetof(ZephraPtr_Command, data) == 4);
#endif
