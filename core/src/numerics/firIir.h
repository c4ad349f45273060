#pragma once

// Sample-by-sample FIR and IIR filter kernels for sensor channels.
//
// A FIR filter of n taps (n >= 2) keeps n - 1 past samples per channel in a
// caller-owned, zero-initialised delay line, with a caller-owned position p
// in [0, n - 2] shared by the channels of one call. The line is circular and
// runs backwards: the newest past sample is at p, the one before it at p + 1,
// wrapping from n - 2 to 0. After each sample p moves one step down (n - 2
// after 0) and the input is stored there.
//
// Direct forms read coefficients c[0..n-1] (c[k] weighs x[t - k]). Symmetric
// (linear-phase) forms read only c[0..n/2] (c[n/2] only for odd n), c[k]
// weighing x[t - k] + x[t - n + 1 + k]; their fixed-point variants halve the
// input first (arithmetic shift) and keep the halved value in the line, so a
// pair of samples cannot overflow.
//
// Fixed-point sums wrap within 64 (32 for int16) bits. Nothing is checked:
// n >= 2, delay lines of n - 1 elements and 0 <= p <= n - 2 are the caller's.

#include <cstdint>

#include "numerics/FloatingPoint.h"

namespace vnx {

// Direct forms.

/// int32: x becomes the upper 32 bits of sum(c[k] * x[t - k]) formed in
/// 64 bits (coefficients are fractions of 2^32).
void FIR_32s_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* delay, int* p);
/// Three channels x[0..2], delay lines delays[0..2].
void FIR_32s_3ch_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* const* delays, int* p);
/// Six channels: x[0..2] with delays[0..2] and y[0..2] with delays[3..5].
void FIR_32s_6ch_I(std::int32_t* x, std::int32_t* y, int n, const std::int32_t* c,
                   std::int32_t* const* delays, int* p);
/// float: x becomes the float sum.
void FIR_32s_I(float* x, int n, const float* c, float* delay, int* p);
/// y = sum of the float products added in double, rounded to float once.
void FIR_Fixed(Fp32 x, int n, const Fp32* c, Fp32* delay, int* p, Fp32* y);
/// As FIR_Fixed, in place.
void FIR_Fixed_I(Fp32* x, int n, const Fp32* c, Fp32* delay, int* p);
/// In place, summed in float.
void FIR_Fixed_I_opt(Fp32* x, int n, const Fp32* c, Fp32* delay, int* p);

// Symmetric forms.

/// int32: the input is halved; x becomes bits 31-62 of the 64-bit sum.
void FIR_32s_Sym_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* delay, int* p);
/// Two channels x[0..1], delays[0..1].
void FIR_32s_Sym_2ch_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* const* delays, int* p);
/// Three channels x[0..2], delays[0..2].
void FIR_32s_Sym_3ch_I(std::int32_t* x, int n, const std::int32_t* c, std::int32_t* const* delays, int* p);
/// Six channels x[0..2], y[0..2], delays[0..5] in the order x0 x1 x2 y0 y1 y2.
void FIR_32s_Sym_6ch_I(std::int32_t* x, std::int32_t* y, int n, const std::int32_t* c,
                       std::int32_t* const* delays, int* p);
/// int16, three channels: the input is halved; each x becomes its 32-bit sum
/// shifted right by 15, kept as 16 bits.
void FIR_16s_Sym_3ch_I(std::int16_t* x, int n, const std::int16_t* c, std::int16_t* const* delays, int* p);
/// float: x becomes the float sum (no halving).
void FIR_32s_Sym_I(float* x, int n, const float* c, float* delay, int* p);

// IIR.

/// One Direct Form II biquad section over three channels x[0..2], state
/// (w[t-1], w[t-2]) per channel in state[0..5]:
///   w = gain * x + den[0] * w[t-1] + den[1] * w[t-2]
///   x = num[0] * w + num[1] * w[t-1] + num[2] * w[t-2]
/// The feedback coefficients are added, so they carry the negated
/// denominator terms.
void IIR_Biquad_3ch_I(Fp32* x, const Fp32* num, const Fp32* den, Fp32 gain, Fp32* state);

} // namespace vnx
