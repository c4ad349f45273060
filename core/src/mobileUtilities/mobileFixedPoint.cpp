#include "mobileUtilities/mobileFixedPoint.h"

#include <cmath>
#include <limits>

#include "numerics/fixedPoint.h"

namespace {

using Wide = __int128;

/// p * 2^-shift with round half up on the dropped bits, at a width that
/// cannot overflow. A shift of `signShift` or more leaves only the sign of p
/// (0 or -1).
Wide scaleRounded(std::int64_t p, int shift, int signShift)
{
    if (shift <= 0) {
        // |p| < 2^63, so p * 2^63 still fits; anything non-zero shifted
        // further is beyond every result type and only its sign matters.
        const int up = -shift;
        if (p == 0)
            return 0;
        if (up > 63)
            return p < 0 ? -(Wide(1) << 126) : (Wide(1) << 126);
        return Wide(p) * (Wide(1) << up);
    }
    if (shift >= signShift)
        return p < 0 ? -1 : 0;
    return Wide(p >> shift) + ((p >> (shift - 1)) & 1);
}

template <typename T> T clampTo(Wide v)
{
    if (v > std::numeric_limits<T>::max())
        return std::numeric_limits<T>::max();
    if (v < std::numeric_limits<T>::min())
        return std::numeric_limits<T>::min();
    return static_cast<T>(v);
}

float invSqrt(float x)
{
    return 1.0f / std::sqrt(x);
}

} // namespace

extern "C" {

int32_t vnx_Mobile_fixedPointMultiply(int32_t a, int32_t b, int8_t shift)
{
    const std::int64_t p = std::int64_t{a} * b;
    return clampTo<std::int32_t>(scaleRounded(p, shift, 64));
}

int16_t vnx_Mobile_fixedPointMultiply16(int16_t a, int16_t b, int8_t shift)
{
    // The 16-bit product always fits 32 bits; the sign-only shift is that width.
    const std::int64_t p = std::int32_t{a} * b;
    return clampTo<std::int16_t>(scaleRounded(p, shift, 32));
}

int32_t vnx_Mobile_fixedPointInvSqrt32Q23(int32_t x)
{
    constexpr int q = 23;
    // fptToFixed32 clamps the infinity of x = 0 and turns the NaN of x < 0 into 0.
    return vnx::fptToFixed32(invSqrt(vnx::fptToFloat32(x, q)), q, true, true);
}

int16_t vnx_Mobile_fixedPointInvSqrt16Q7(int16_t x)
{
    constexpr int q = 7;
    const std::int32_t r = vnx::fptToFixed32(invSqrt(vnx::fptToFloat32(x, q)), q, true, true);
    return clampTo<std::int16_t>(r);
}

void vnx_Mobile_convertToFloat(void) {}

void vnx_Mobile_convertFromFloat(void) {}

} // extern "C"
