#pragma once

#include <cmath>
#include <cstdint>

namespace vnx {

/// Sample counts of the bias estimators' windows (e.g. rate x 0.16 s):
/// floor(v + 0.5) for v >= 0, floor(v - 0.5) below, in single precision.
/// Values beyond the int32 range clamp, NaN gives 0.
inline std::int32_t roundWindowLength(float v)
{
    const float r = v >= 0.0f ? std::floor(v + 0.5f) : std::floor(v - 0.5f);
    if (!(r == r))
        return 0;
    if (r >= 2147483648.0f)
        return INT32_MAX;
    if (r <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<std::int32_t>(r);
}

} // namespace vnx
