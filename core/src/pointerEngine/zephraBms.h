#pragma once

// Button-motion state machine: decides whether a press is a click (the hand
// holds still, so the pointer should not move) or becomes a drag (the hand
// moves far or fast enough). UpdateFlag compares the motion since the press
// against a falling schedule of radial thresholds over 25 ms ticks.

#include <stdint.h>

#include "cursorFilters/circularBacklash.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct UpdateFlag_s
{
    float previousSteady;
    float steady; ///< 1.0 while the hand holds still
    float previousEnd;
    float end; ///< 1.0: end the suppression
    int32_t previousTick;
    int32_t tick;
    float previousX; ///< motion since the press, counts
    float currentX;
    float previousY;
    float currentY;
    float tickStartX; ///< position at the first call of the current tick
    float tickStartXBefore;
    float tickStartY;
    float tickStartYBefore;
    float drift; ///< radial change summed from tick 5 on
} UpdateFlag_s;

typedef struct zephraBms_state_s
{
    uint32_t state;       ///< 0 idle .. 5 dragging
    uint32_t elapsedMs;   ///< since the last state change
    uint32_t dtMs;        ///< since the previous call
    int32_t accumulatedX; ///< motion since the last state change
    int32_t accumulatedY;
    int32_t lastX; ///< motion of the previous call
    int32_t lastY;
    uint32_t lastTimeMs;
    circularBacklash_state_s backlash; ///< kept as state only
    UpdateFlag_s updateFlag;
    uint8_t dragFeature;
    uint8_t selectFeature;
    uint8_t padding[2];
} zephraBms_state_s;

/// Button events of zephraBms_process.
enum
{
    ZEPHRA_BMS_EVENT_NONE = 0,
    ZEPHRA_BMS_EVENT_PRESS = 1,
    ZEPHRA_BMS_EVENT_RELEASE = 2,
};

/// Codes of zephraBms_process.
enum
{
    ZEPHRA_BMS_NOTHING = 0,
    ZEPHRA_BMS_PRESS_HELD = 1,
    ZEPHRA_BMS_DRAG_STARTED = 2,
    ZEPHRA_BMS_DRAG_ENDED = 3,
    ZEPHRA_BMS_CLICK = 4,
};

/// Allocates a state (drag off, select on) into *state: 0, or -3 with a null
/// state when memory runs out; -2 for a null place.
int zephraBms_init(zephraBms_state_s** state);
/// Frees the state: 0, -1 for null.
int zephraBms_exit(zephraBms_state_s* state);
/// Back to idle with a fresh motion record; the features stay.
void zephraBms_reset(zephraBms_state_s* state);
void zephraBms_setFeatureDrag(zephraBms_state_s* state, uint8_t on);
void zephraBms_setFeatureSelect(zephraBms_state_s* state, uint8_t on);
/// One call: time in ms, event (ZEPHRA_BMS_EVENT_*), motion in and out (set
/// to 0 while suppressed), suppressed out. Returns a ZEPHRA_BMS_* code; -2
/// for a null argument.
int zephraBms_process(zephraBms_state_s* state, uint32_t timeMs, int32_t event, int32_t motion[2],
                      uint8_t* suppressed);

void UpdateFlag_init(UpdateFlag_s* flag);
/// One observation of the motion (x, y) since the press at `tick` (25 ms
/// units since the last state change), dtMs since the previous call.
void UpdateFlag_process(UpdateFlag_s* flag, int32_t tick, float x, float y, float dtMs);

/// Round half up: floor(x) + 1 when x + 0.5 reaches it, else floor(x).
float bmsRound(float x);

#ifdef __cplusplus
}

#include <cstddef>
static_assert(sizeof(UpdateFlag_s) == 60);
static_assert(offsetof(UpdateFlag_s, tick) == 20);
static_assert(offsetof(UpdateFlag_s, drift) == 56);
static_assert(sizeof(zephraBms_state_s) == 112);
static_assert(offsetof(zephraBms_state_s, lastTimeMs) == 28);
static_assert(offsetof(zephraBms_state_s, backlash) == 32);
static_assert(offsetof(zephraBms_state_s, updateFlag) == 48);
static_assert(offsetof(zephraBms_state_s, dragFeature) == 108);
static_assert(offsetof(zephraBms_state_s, selectFeature) == 109);
#endif
