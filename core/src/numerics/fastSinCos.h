#pragma once

#include "numerics/FloatingPoint.h"

namespace vnx {

/// Sine by reduction to [-pi/4, pi/4] in steps of pi/2 and degree-7 Taylor
/// polynomials. Non-finite angles give NaN.
Fp32 sinFiMerrowind(Fp32 angle);
/// Cosine by the same reduction and polynomials.
Fp32 cosFiMerrowind(Fp32 angle);

/// Polynomial stage of sinFiMerrowind for an angle already in [-pi/4, pi/4]
/// and its quadrant 0-3; any other quadrant gives 0.
Fp32 sinNorm(Fp32 reducedAngle, int quadrant);
/// Polynomial stage of cosFiMerrowind, as sinNorm.
Fp32 cosNorm(Fp32 reducedAngle, int quadrant);

} // namespace vnx
