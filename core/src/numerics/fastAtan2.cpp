#include "numerics/fastAtan2.h"

#include <cmath>

#include "numerics/numericConstants.h"

namespace vnx {

float atan2fMerrowind(float y, float x)
{
    const float ax = std::fabs(x);
    const float ay = std::fabs(y);
    if (ax <= kSmallValueF)
        return y >= 0.0f ? kPiOver2F : -kPiOver2F;
    if (ay <= kSmallValueF)
        return x >= 0.0f ? 0.0f : kPiF;

    const float r = y / x;
    const int octant = 4 * (y > 0.0f) + 2 * (x > 0.0f) + (ay >= ax);
    const float r2 = r * r;
    float a;
    if (ay < ax) {
        a = (r + 0.372003f * (r2 * r)) / (1.0f + 0.703384f * r2 + 0.043562f * (r2 * r2));
    } else {
        a = (0.372003f * r + r2 * r) / (r2 * r2 + 0.703384f * r2 + 0.043562f);
        // For |y/x| above ~7e12 both r^3 and r^4 overflow and the quotient is
        // NaN; atan(1/r) is then 0 to float precision.
        if (a != a && r == r)
            a = 0.0f;
    }

    switch (octant) {
    case 0:
        return a - kPiF;
    case 1:
    case 3:
        return -(a + kPiOver2F);
    case 4:
        return a + kPiF;
    case 5:
    case 7:
        return kPiOver2F - a;
    default:
        return a; // octants 2 and 6
    }
}

Fp32 atan2FiMerrowindNorm(Fp32 y, Fp32 x)
{
    return Fp32::raw(std::atan2(y.value(), x.value()));
}

} // namespace vnx
