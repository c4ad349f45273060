#pragma once

// Small fixed-point arithmetic for clients that keep their values in Q
// formats. Products are formed at full width and scaled by 2^-shift with the
// dropped bits rounded half up; a negative shift scales up. Results that do
// not fit the result type clamp to its ends rather than wrap.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// a * b * 2^-shift, rounded; a shift of 64 or more gives 0 or -1 by sign.
int32_t vnx_Mobile_fixedPointMultiply(int32_t a, int32_t b, int8_t shift);
/// a * b * 2^-shift, rounded; a shift of 32 or more gives 0 or -1 by sign.
int16_t vnx_Mobile_fixedPointMultiply16(int16_t a, int16_t b, int8_t shift);

/// 1 / sqrt(x) with x and the result in Q23. x = 0 gives INT32_MAX and
/// x < 0 gives 0.
int32_t vnx_Mobile_fixedPointInvSqrt32Q23(int32_t x);
/// 1 / sqrt(x) with x and the result in Q7. x = 0 gives INT16_MAX and
/// x < 0 gives 0.
int16_t vnx_Mobile_fixedPointInvSqrt16Q7(int16_t x);

/// Kept for clients built against them; they do nothing.
void vnx_Mobile_convertToFloat(void);
void vnx_Mobile_convertFromFloat(void);

#ifdef __cplusplus
} // extern "C"
#endif
