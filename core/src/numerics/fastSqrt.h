#pragma once

#include "numerics/FloatingPoint.h"

namespace vnx {

/// Square root as x times the fast inverse square root. Values below 1e-14
/// and NaN give 0; +infinity gives +infinity.
float sqrtfMerrowind(float x);

/// Inverse square root by reduction to [0.25, 1), a quadratic first guess and
/// two Newton steps. x <= 0 gives the largest float; +infinity gives 0.
float invSqrtfMerrowind(float x);

/// Square root by reduction to [0.25, 1), the exact root of the reduced value
/// and rescaling by a power of two. x <= 1e-14 gives 0; +infinity gives
/// +infinity.
float sqrtFiMerrowind(float x);

/// Square root of x in [0.25, 1) after `steps` correction steps from a linear
/// first guess; x <= 0 gives 0, steps <= 0 the first guess.
Fp32 sqrtFiNorm(Fp32 x, int steps);

/// Inverse square root of x in [0.25, 1) after `steps` Newton steps from a
/// quadratic first guess; x <= 0 gives 0, steps <= 0 the first guess.
Fp32 invSqrtFiNorm(Fp32 x, int steps);

} // namespace vnx
