#pragma once

#include <cstdint>
#include <limits>

#include "numerics/FloatingPoint.h"

// The two conversions are inline: they sit on per-sample paths and the record
// value encoding uses them without linking the numerics library.

namespace vnx {

/// Nearest fixed-point number with q fractional bits: value * 2^q plus or
/// minus 0.5 (computed in float), truncated toward zero, i.e. rounding half
/// away from zero. Results beyond the int32 range clamp to INT32_MIN or
/// INT32_MAX and NaN gives 0. The scale is exactly 2^q for any q, negative
/// ones included. The two flags are accepted for callers that state rounding
/// and saturation; the conversion always rounds and clamps.
inline std::int32_t fptToFixed32(float value, int q, bool /*round*/, bool /*saturate*/)
{
    constexpr float kTwoPow31 = 2147483648.0f;
    const float scaled = Fp32::scale2(value, q) + (value >= 0.0f ? 0.5f : -0.5f);
    if (scaled != scaled)
        return 0;
    // A float cast outside the int32 range is undefined: clamp first.
    if (scaled >= kTwoPow31)
        return std::numeric_limits<std::int32_t>::max();
    if (scaled < -kTwoPow31)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(scaled);
}

/// value * 2^-q as float (exact scaling by the power of two).
inline float fptToFloat32(std::int32_t value, int q)
{
    return Fp32::scale2(static_cast<float>(value), -q);
}

/// n / d truncated toward zero. d == 0 gives 0; INT64_MIN / -1 gives INT64_MAX.
std::int64_t sdiv6432(std::int64_t n, std::int32_t d);

/// (n + (d >> 1)) / d truncated toward zero, the sum formed without overflow;
/// d >> 1 is an arithmetic shift (d = 3 adds 1, d = -3 adds -2). d == 0 gives
/// 0 and a quotient beyond the int64 range clamps.
std::int64_t sdiv6432_round(std::int64_t n, std::int32_t d);

/// n / d truncated. d == 0 gives 0.
std::uint64_t udiv6432(std::uint64_t n, std::uint32_t d);

/// The same truncated quotient as udiv6432 (it adds no half divisor).
std::uint64_t udiv6432_round(std::uint64_t n, std::uint32_t d);

} // namespace vnx
