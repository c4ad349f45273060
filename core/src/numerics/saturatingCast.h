#pragma once

// Float-to-integer conversions for values that may lie outside the target
// range or be NaN: a plain cast of such a value is undefined behaviour. These
// truncate toward zero, clamp to the target range and give 0 for NaN.

#include <cstdint>
#include <limits>
#include <type_traits>

namespace vnx {

namespace detail {

template <typename Int, typename Real> constexpr Int saturatingTruncate(Real value)
{
    static_assert(std::is_floating_point_v<Real>, "converts a floating-point value");
    if (value != value)
        return 0;
    // Both bounds are exact in float and double: the upper one is the first
    // value past the range, the lower one the range's own minimum.
    constexpr Real kUpper = -static_cast<Real>(std::numeric_limits<Int>::min());
    constexpr Real kLower = static_cast<Real>(std::numeric_limits<Int>::min());
    if (value >= kUpper)
        return std::numeric_limits<Int>::max();
    if (value <= kLower)
        return std::numeric_limits<Int>::min();
    return static_cast<Int>(value);
}

} // namespace detail

/// value truncated toward zero into int32; out of range clamps, NaN gives 0.
constexpr std::int32_t truncateToInt32(float value)
{
    return detail::saturatingTruncate<std::int32_t>(value);
}
constexpr std::int32_t truncateToInt32(double value)
{
    return detail::saturatingTruncate<std::int32_t>(value);
}

/// value truncated toward zero into int16; out of range clamps, NaN gives 0.
constexpr std::int16_t truncateToInt16(float value)
{
    return detail::saturatingTruncate<std::int16_t>(value);
}
constexpr std::int16_t truncateToInt16(double value)
{
    return detail::saturatingTruncate<std::int16_t>(value);
}

} // namespace vnx
