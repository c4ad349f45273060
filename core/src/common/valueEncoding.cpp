#include "common/valueEncoding.h"

#include <cstddef>
#include <cstdint>
#include <limits>

#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

static_assert(sizeof(vnx_Number32_u) == 4);
static_assert(offsetof(vnx_Number32_u, fixed) == 0);
static_assert(offsetof(vnx_Number32_u, real) == 0);
static_assert(offsetof(vnx_Number32_u, bits) == 0);

namespace {

// Every intermediate is formed in 128 bits: products of a word and a scale,
// quotients with 32 fractional bits and their shifts cannot overflow there.
using Wide = __int128;

constexpr std::int32_t kSymmetricInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kSymmetricInt16Max = std::numeric_limits<std::int16_t>::max();

bool isFloatCode(std::int8_t q)
{
    return q == VNX_QPOINT_FLOAT;
}
bool isAbsentCode(std::int8_t q)
{
    return q == VNX_QPOINT_INVALID;
}

/// x * 2^n for n >= 0, without overflow: a nonzero x shifted beyond the
/// int64 range only has to stay beyond the int32 range.
Wide shiftLeft(Wide x, int n)
{
    if (x == 0)
        return 0;
    if (n > 62)
        n = 62; // |x| >= 1, so the result stays far outside every word
    return x * (Wide(1) << n);
}

/// Right shift by n >= 1 rounding half up: (x >> n) + bit n - 1 of x.
Wide roundedShiftRight(Wide x, int n)
{
    return (x >> n) + ((x >> (n - 1)) & 1);
}

Wide signOf(Wide x)
{
    return x < 0 ? -1 : 0;
}

/// Re-scales x from `from` to `to` fractional bits: left shift when gaining
/// bits, rounded right shift when losing fewer than `signAtOrBeyond` bits,
/// else the sign alone (0 or -1).
Wide rescale(Wide x, int from, int to, int signAtOrBeyond)
{
    const int drop = from - to;
    if (drop <= 0)
        return shiftLeft(x, -drop);
    if (drop >= signAtOrBeyond)
        return signOf(x);
    return roundedShiftRight(x, drop);
}

bool within(Wide v, std::int64_t lo, std::int64_t hi)
{
    return v >= lo && v <= hi;
}

/// Rounds half away from zero into int16 with explicit clamping (NaN gives 0).
std::int16_t roundToInt16(float f)
{
    if (f != f)
        return 0;
    if (f <= -32768.0f)
        return std::numeric_limits<std::int16_t>::min();
    if (f > 32767.0f)
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(f >= 0.0f ? f + 0.5f : f - 0.5f);
}

/// Fixed-point word times scale, shifted to an integer by q with rounding.
Wide scaledFixed(std::int32_t word, std::int32_t scale, std::int8_t q)
{
    const Wide product = Wide(word) * scale;
    if (q <= 0)
        return shiftLeft(product, -q);
    if (q >= 64)
        return signOf(product);
    return roundedShiftRight(product, q);
}

/// value / divisor (divisor not 0 or 1) with `fractionBits` fractional bits,
/// truncated toward zero, then re-scaled to q fractional bits; dropping
/// 2 * fractionBits bits or more leaves the sign.
Wide fixedQuotient(std::int32_t value, std::int32_t divisor, int fractionBits, std::int8_t q)
{
    const Wide t = Wide(value) * (Wide(1) << fractionBits) / divisor;
    return rescale(t, fractionBits, q, 2 * fractionBits);
}

/// The integer itself with q fractional bits (divisor 1).
Wide fixedInteger(std::int32_t value, std::int8_t q)
{
    return rescale(Wide(value), 0, q, 32);
}

/// Float bits of value / divisor (divisor not 0).
vnx_Number32_u floatQuotient(std::int32_t value, std::int32_t divisor)
{
    vnx_Number32_u w;
    w.real = static_cast<float>(value);
    if (divisor != 1)
        w.real /= static_cast<float>(divisor);
    return w;
}

int32_t setInteger(std::int32_t value, std::int32_t divisor, std::int8_t q, int fractionBits, std::int64_t lo,
                   vnx_Number32_u* out)
{
    if (out == nullptr || isAbsentCode(q) || divisor == 0)
        return VNX_STATUS_INVALID_PARAMETER;
    if (isFloatCode(q)) {
        *out = floatQuotient(value, divisor);
        return VNX_STATUS_SUCCESS;
    }
    Wide result;
    if (divisor == 1) {
        result = fixedInteger(value, q);
        lo = std::numeric_limits<std::int32_t>::min(); // any whole word holds the integer itself
    } else {
        result = fixedQuotient(value, divisor, fractionBits, q);
    }
    if (!within(result, lo, std::numeric_limits<std::int32_t>::max()))
        return VNX_STATUS_SATURATION;
    out->fixed = static_cast<std::int32_t>(result);
    return VNX_STATUS_SUCCESS;
}

} // namespace

extern "C" {

int32_t vnx_getFloat32(vnx_Number32_u word, int8_t q, float* out)
{
    if (out == nullptr || isAbsentCode(q))
        return VNX_STATUS_INVALID_PARAMETER;
    *out = isFloatCode(q) ? word.real : vnx::fptToFloat32(word.fixed, q);
    return VNX_STATUS_SUCCESS;
}

int32_t vnx_getFloat32WithDefault(vnx_Number32_u word, int8_t q, float* out, float defaultValue)
{
    const int32_t status = vnx_getFloat32(word, q, out);
    if (status == VNX_STATUS_INVALID_PARAMETER && out != nullptr)
        *out = defaultValue;
    return status;
}

int32_t vnx_getInt16(vnx_Number32_u word, int16_t scale, int8_t q, int16_t* out)
{
    if (out == nullptr || isAbsentCode(q))
        return VNX_STATUS_INVALID_PARAMETER;
    if (isFloatCode(q)) {
        *out = roundToInt16(word.real * static_cast<float>(scale));
        return VNX_STATUS_SUCCESS;
    }
    const Wide v = scaledFixed(word.fixed, scale, q);
    if (!within(v, -kSymmetricInt16Max, kSymmetricInt16Max))
        return VNX_STATUS_SATURATION;
    *out = static_cast<int16_t>(v);
    return VNX_STATUS_SUCCESS;
}

int32_t vnx_getInt32(vnx_Number32_u word, int32_t scale, int8_t q, int32_t* out)
{
    if (out == nullptr || isAbsentCode(q))
        return VNX_STATUS_INVALID_PARAMETER;
    if (isFloatCode(q)) {
        const float f = scale == 1 ? word.real : word.real * static_cast<float>(scale);
        *out = vnx::fptToFixed32(f, 0, true, true);
        return VNX_STATUS_SUCCESS;
    }
    const Wide v = scaledFixed(word.fixed, scale, q);
    if (!within(v, -kSymmetricInt32Max, kSymmetricInt32Max))
        return VNX_STATUS_SATURATION;
    *out = static_cast<int32_t>(v);
    return VNX_STATUS_SUCCESS;
}

int32_t vnx_setFloat32(float value, int8_t q, vnx_Number32_u* out)
{
    if (out == nullptr || isAbsentCode(q))
        return VNX_STATUS_INVALID_PARAMETER;
    if (isFloatCode(q)) {
        out->real = value;
    } else {
        out->fixed = vnx::fptToFixed32(value, q, true, true);
    }
    return VNX_STATUS_SUCCESS;
}

int32_t vnx_setInt16(int16_t value, int16_t divisor, int8_t q, vnx_Number32_u* out)
{
    return setInteger(value, divisor, q, 16, std::numeric_limits<std::int32_t>::min(), out);
}

int32_t vnx_setInt32(int32_t value, int32_t divisor, int8_t q, vnx_Number32_u* out)
{
    return setInteger(value, divisor, q, 32, -kSymmetricInt32Max, out);
}

} // extern "C"
