#pragma once

// Classic ballistics: an integer speed-to-gain stage. The integer speed of a
// sample's count motion indexes a table of multipliers (1/128 units), a
// post-gain (1/128 units) scales them, and two accumulators carry the
// fractions of a count in 1/128 units.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct zephraAlg_ballisticsState_s
{
    int32_t accumulatorX; ///< position on x in 1/128 counts
    int32_t accumulatorY; ///< position on y in 1/128 counts
    int32_t postGain;     ///< 128 = 1.0, kept within -374..650
} zephraAlg_ballisticsState_s;

/// Multipliers in 1/128 indexed by the integer speed of a sample; entries
/// past 193 are 0 and never read.
extern const int32_t multiplierLookupTable[256];

/// Accumulators := 64 (half a count), post-gain := 138.
void zephraAlg_initBallisticsState(zephraAlg_ballisticsState_s* state);
/// Post-gain := postGain limited to -374..650.
void zephraAlg_setBallisticsPostgain(zephraAlg_ballisticsState_s* state, int postGain);
/// Turns the count motion (dx, dy) of one sample into output counts.
void zephraAlg_applyBallistics(zephraAlg_ballisticsState_s* state, int dx, int dy, int* outX, int* outY);

#ifdef __cplusplus
}

#include <cstddef>
static_assert(sizeof(zephraAlg_ballisticsState_s) == 12);
static_assert(offsetof(zephraAlg_ballisticsState_s, accumulatorX) == 0);
static_assert(offsetof(zephraAlg_ballisticsState_s, accumulatorY) == 4);
static_assert(offsetof(zephraAlg_ballisticsState_s, postGain) == 8);
#endif
