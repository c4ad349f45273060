#pragma once

#include "numerics/FloatingPoint.h"

namespace vnx {

/// Fast atan2 by a rational approximation per octant; result in [-pi, pi],
/// error below 3e-5 rad. |x| at or below the float epsilon gives +-pi/2 (so
/// (0, 0) gives pi/2); else |y| at or below it gives 0 or +pi.
float atan2fMerrowind(float y, float x);

/// The library atan2f on the two values (no approximation).
Fp32 atan2FiMerrowindNorm(Fp32 y, Fp32 x);

} // namespace vnx
