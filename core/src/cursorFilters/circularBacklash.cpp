#include "cursorFilters/circularBacklash.h"

#include <cmath>

namespace {

float length(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

// Moves the position `amount` towards the centre, stopping there.
void pullTowardsCentre(circularBacklash_state_s* state, float amount)
{
    const float d = length(state->positionX, state->positionY);
    if (amount >= d) {
        state->positionX = 0.0f;
        state->positionY = 0.0f;
        return;
    }
    const float keep = 1.0f - amount / d;
    state->positionX *= keep;
    state->positionY *= keep;
}

} // namespace

extern "C" {

void circularBacklash_init(circularBacklash_state_s* state, float magnitude, float period)
{
    state->magnitude = magnitude;
    state->period = period;
    circularBacklash_reset(state);
}

void circularBacklash_reset(circularBacklash_state_s* state)
{
    state->positionX = 0.0f;
    state->positionY = 0.0f;
}

void circularBacklash_setMagnitude(circularBacklash_state_s* state, float magnitude)
{
    state->magnitude = magnitude;
}

void circularBacklash_setMagnitudeTowardsPoint(circularBacklash_state_s* state, float magnitude)
{
    const float shrink = state->magnitude - magnitude;
    if (shrink > 0.0f)
        pullTowardsCentre(state, shrink);
    state->magnitude = magnitude;
}

void circularBacklash_process(circularBacklash_state_s* state, const float in[2], float out[2])
{
    state->positionX += in[0] * state->period;
    state->positionY += in[1] * state->period;
    const float d = length(state->positionX, state->positionY);
    // d == 0 can only pass this test with a zero magnitude: nothing moved,
    // and the excess below would be 0 / 0.
    if (state->magnitude > d || d == 0.0f) {
        out[0] = 0.0f;
        out[1] = 0.0f;
        return;
    }
    const float s = state->magnitude / d;
    out[0] = state->positionX * (1.0f - s) / state->period;
    out[1] = state->positionY * (1.0f - s) / state->period;
    state->positionX *= s;
    state->positionY *= s;
}

void circularBacklash_leak(circularBacklash_state_s* state, float amount)
{
    if (amount > 0.0f)
        pullTowardsCentre(state, amount);
}

} // extern "C"
