#pragma once

// Two-dimensional backlash filter of a rate signal: the rate is integrated
// into a position that may wander freely inside a circle; only motion that
// pushes the circle along passes, turned back into a rate. Hand jitter inside
// the circle gives no output; a sustained sweep passes at its full rate once
// the circle has been taken up.

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct circularBacklash_state_s
{
    float positionX; ///< integrated input relative to the circle's centre
    float positionY;
    float magnitude; ///< circle radius, input units times seconds
    float period;    ///< integration step, seconds
} circularBacklash_state_s;

/// Stores magnitude and period; position := (0, 0).
void circularBacklash_init(circularBacklash_state_s* state, float magnitude, float period);
/// Position := (0, 0).
void circularBacklash_reset(circularBacklash_state_s* state);
void circularBacklash_setMagnitude(circularBacklash_state_s* state, float magnitude);
/// Sets the magnitude; when the circle shrinks, the position moves towards
/// the centre by the amount it shrank.
void circularBacklash_setMagnitudeTowardsPoint(circularBacklash_state_s* state, float magnitude);
/// One step: in and out are rate pairs (x, y).
void circularBacklash_process(circularBacklash_state_s* state, const float in[2], float out[2]);
/// Moves the position `amount` towards the centre, stopping there.
void circularBacklash_leak(circularBacklash_state_s* state, float amount);

#ifdef __cplusplus
}

#include <cstddef>
static_assert(sizeof(circularBacklash_state_s) == 16);
static_assert(offsetof(circularBacklash_state_s, positionX) == 0);
static_assert(offsetof(circularBacklash_state_s, positionY) == 4);
static_assert(offsetof(circularBacklash_state_s, magnitude) == 8);
static_assert(offsetof(circularBacklash_state_s, period) == 12);
#endif
