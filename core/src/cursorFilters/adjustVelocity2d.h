#pragma once

// Steering of a two-dimensional velocity towards a target point.

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Steers velocity v at p0 towards target p1: turns it by at most maxAngle
/// (radians; 0 turns nothing) towards the target, then scales it so that its
/// projection reaches the target, the scale within [minScale, maxScale].
/// Returns true.
bool adjustVeloctiy2d(const float p0[2], const float v[2], const float p1[2], float minScale, float maxScale,
                      float maxAngle, float out[2]);

/// adjustVeloctiy2d in fixed point: p0 and p1 with 19 fraction bits, v 24,
/// the scales 29, the angle 28, the output 22 (saturated). Returns 1.
int vxcAdjustVelocity2d(const int32_t p0[2], const int32_t v[2], const int32_t p1[2], int32_t minScale,
                        int32_t maxScale, int32_t maxAngle, int32_t out[2]);

#ifdef __cplusplus
}
#endif
