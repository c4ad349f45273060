#pragma once

// Float to 16-bit word conversions of the mobile utilities. A plain cast of a
// float outside the target range (or of NaN) is undefined, and a wrapped
// 16-bit result flips the sign of a large value; these clamp instead.

#include <cmath>
#include <cstdint>

namespace vnx::mobile {

/// v truncated toward zero into [-32768, 32767]; NaN gives 0.
inline std::int16_t truncateToInt16(float v)
{
    if (!(v == v))
        return 0;
    if (v >= 32767.0f)
        return INT16_MAX;
    if (v <= -32768.0f)
        return INT16_MIN;
    return static_cast<std::int16_t>(v);
}

/// Nearest whole number, halves away from zero: floor(v + 0.5) for v >= 0,
/// floor(v - 0.5) below 0 (computed in float). NaN stays NaN.
inline float roundHalfAwayFromZero(float v)
{
    return v >= 0.0f ? std::floor(v + 0.5f) : std::floor(v - 0.5f);
}

} // namespace vnx::mobile
