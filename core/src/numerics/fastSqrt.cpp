#include "numerics/fastSqrt.h"

#include <cfloat>
#include <cmath>

namespace vnx {

namespace {

constexpr float kSqrtZeroBelow = 1e-14f;

/// Scales x by powers of four (exact in float) into [0.25, 1); returns the
/// reduced value and e with 1/sqrt(x) = 1/sqrt(reduced) * 2^e.
float reduceByFours(float x, int& e)
{
    e = 0;
    while (x >= 1.0f) {
        x *= 0.25f;
        --e;
    }
    while (x < 0.25f) {
        x *= 4.0f;
        ++e;
    }
    return x;
}

/// Quadratic first guess of 1/sqrt(x) on [0.25, 1).
float invSqrtGuess(float x)
{
    return (1.63841f * x - 3.2850401f) * x + 2.670578f;
}

} // namespace

float invSqrtfMerrowind(float x)
{
    if (x <= 0.0f)
        return FLT_MAX;
    if (std::isinf(x))
        return 0.0f; // the reduction would never end
    int e;
    const float r = reduceByFours(x, e); // NaN passes through unreduced
    float y = invSqrtGuess(r);
    y = (3.0f - r * (y * y)) * (y * 0.5f);
    y = (3.0f - r * (y * y)) * (y * 0.5f);
    return Fp32::scale2(y, e);
}

float sqrtfMerrowind(float x)
{
    if (!(x >= kSqrtZeroBelow))
        return 0.0f;
    if (std::isinf(x))
        return x;
    return invSqrtfMerrowind(x) * x;
}

float sqrtFiMerrowind(float x)
{
    if (x <= kSqrtZeroBelow)
        return 0.0f;
    if (std::isinf(x))
        return x;
    if (x >= 0.25f && x < 1.0f)
        return std::sqrt(x);
    int e;
    const float r = reduceByFours(x, e);
    return Fp32::scale2(std::sqrt(r), -e);
}

Fp32 sqrtFiNorm(Fp32 x, int steps)
{
    if (x <= Fp32(0.0f))
        return Fp32(0.0f);
    Fp32 y = Fp32(0.6666667f) * x + Fp32(0.354167f);
    const Fp32 gain = Fp32(0.763f) * x * x - Fp32(1.5688f) * x + Fp32(1.314f);
    for (int i = 0; i < steps; ++i)
        y = y + (x - y * y) * gain;
    return y;
}

Fp32 invSqrtFiNorm(Fp32 x, int steps)
{
    if (x <= Fp32(0.0f))
        return Fp32(0.0f);
    Fp32 y = Fp32(1.63841f) * x * x - Fp32(3.2850401f) * x + Fp32(2.670578f);
    for (int i = 0; i < steps; ++i)
        y = Fp32(1.5f) * y - Fp32(0.5f) * x * y * y * y;
    return y;
}

} // namespace vnx
