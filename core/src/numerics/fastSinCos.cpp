#include "numerics/fastSinCos.h"

#include <cmath>

#include "numerics/numericConstants.h"

namespace vnx {

namespace {

// Up to this magnitude the angle is reduced by repeated subtraction of pi/2
// in float (a few hundred steps at most). Beyond it that loop is slow and, once
// pi/2 falls below the float spacing, never ends; the reduction is then done
// in double instead.
constexpr float kLoopReductionLimitRad = 1024.0f;

struct Reduced
{
    float angle;
    int quadrant;
};

Reduced reduceToQuarterTurn(float a)
{
    int k = 0;
    if (std::fabs(a) > kLoopReductionLimitRad) {
        const double turns = std::nearbyint(static_cast<double>(a) / (M_PI / 2.0));
        a = static_cast<float>(static_cast<double>(a) - turns * (M_PI / 2.0));
        k = static_cast<int>(std::fmod(turns, 4.0));
        k = (k + 4) & 3;
    }
    while (a > kPiOver4F || a < -kPiOver4F) {
        while (a > kPiOver4F) {
            a -= kPiOver2F;
            k = (k + 1) & 3;
        }
        while (a < -kPiOver4F) {
            a += kPiOver2F;
            k = (k + 3) & 3;
        }
    }
    return {a, k};
}

float polySin(float a)
{
    const float a2 = a * a;
    return a + a * a2 * (-0.16666667f + a2 * (0.008333334f + a2 * -0.0001984127f));
}

float polyCos(float a)
{
    const float a2 = a * a;
    return 1.0f + a2 * (-0.5f + a2 * (0.041666668f + a2 * -0.0013888889f));
}

} // namespace

Fp32 sinNorm(Fp32 reducedAngle, int quadrant)
{
    const float a = reducedAngle.value();
    switch (quadrant) {
    case 0:
        return Fp32::raw(polySin(a));
    case 1:
        return Fp32::raw(polyCos(a));
    case 2:
        return Fp32::raw(-polySin(a));
    case 3:
        return Fp32::raw(-polyCos(a));
    default:
        return Fp32(0.0f);
    }
}

Fp32 cosNorm(Fp32 reducedAngle, int quadrant)
{
    const float a = reducedAngle.value();
    switch (quadrant) {
    case 0:
        return Fp32::raw(polyCos(a));
    case 1:
        return Fp32::raw(-polySin(a));
    case 2:
        return Fp32::raw(-polyCos(a));
    case 3:
        return Fp32::raw(polySin(a));
    default:
        return Fp32(0.0f);
    }
}

Fp32 sinFiMerrowind(Fp32 angle)
{
    if (!std::isfinite(angle.value()))
        return Fp32::raw(NAN);
    const Reduced r = reduceToQuarterTurn(angle.value());
    return sinNorm(Fp32::raw(r.angle), r.quadrant);
}

Fp32 cosFiMerrowind(Fp32 angle)
{
    if (!std::isfinite(angle.value()))
        return Fp32::raw(NAN);
    const Reduced r = reduceToQuarterTurn(angle.value());
    return cosNorm(Fp32::raw(r.angle), r.quadrant);
}

} // namespace vnx
