#pragma once

// Band-limiting before decimation: one second-order low-pass section per axis
// whose cut-off suits keeping one sample in 2, 5, 10 or 20. The caller owns
// the state (two floats per axis, zero to start), runs every input sample
// through the filter and passes an output buffer only on the samples it
// keeps; the state advances either way. Per sample and axis:
//   w = g x + a1 s1 - a2 s2
//   y = c w + 2c s1 + c s2      (only when an output is asked for)
//   s2 = s1; s1 = w
// The section passes a constant with a gain within 1e-5 of 1 and has a
// double zero at the input's Nyquist frequency.

#include <stdint.h>

#ifdef __cplusplus
namespace vnx::mobile {

// One float sample through the section of each factor; y may be null.
void dec2_iirBiquad(float x, float* y, float* state);
void dec5_iirBiquad(float x, float* y, float* state);
void dec10_iirBiquad(float x, float* y, float* state);
void dec20_iirBiquad(float x, float* y, float* state);

} // namespace vnx::mobile

extern "C" {
#endif

/// Filters three 16-bit samples with state[6] (axis i in state[2i],
/// state[2i+1]) for a factor of 2, 5, 10 or 20; out, when given, receives
/// floor(y) clamped to the 16-bit range. Any other factor copies in to out
/// (when given) and leaves the state alone. VNX_STATUS_INVALID_PARAMETER
/// (-2) when a pointer the call needs is null (nothing written).
int vnx_Mobile_bandlimitSensor(float* state, const int16_t* in, int32_t factor, int16_t* out);

#ifdef __cplusplus
} // extern "C"
#endif
