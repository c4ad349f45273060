#pragma once

#include "numerics/FloatingPoint.h"

namespace vnx {

/// e^x for x <= 0 by two degree-7 polynomials in -x (one for x > -1.5, one
/// for -7.25 < x <= -1.5); x <= -7.25 gives 0. Positive x is evaluated on the
/// first polynomial.
float expT(float x);
/// expT on the scalar type.
Fp32 expTFi(Fp32 x);

/// Natural logarithm for 0 < x < 1 by four degree-7 polynomials chosen by the
/// interval of x; x >= 1 and NaN give 0, non-positive x uses the first one.
float logT(float x);

} // namespace vnx
