#include "numerics/angleMath.h"

#include <cmath>

#include "numerics/numericConstants.h"

namespace vnx {

float signf(float x)
{
    return x >= 0.0f ? 1.0f : -1.0f;
}

float phaseLimiter(float angleRad)
{
    float a = static_cast<float>(std::fmod(static_cast<double>(angleRad), static_cast<double>(kTwoPiF)));
    while (a <= -kPiF)
        a += kTwoPiF;
    while (a > kPiF)
        a -= kTwoPiF;
    return a;
}

} // namespace vnx
