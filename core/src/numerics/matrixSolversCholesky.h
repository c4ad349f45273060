#pragma once

#include "numerics/FloatingPoint.h"

// Lower Cholesky factors L (A = L L^T) of column-major symmetric matrices;
// only the elements on and below the diagonal of A are read. A diagonal whose
// remaining value is not positive becomes 0, and so does the column below it,
// so a matrix that is not positive definite gives a finite, partial factor.

/// out (n x n) = lower Cholesky factor of in (n x n); out is cleared first.
void cholesky(const vnx::FloatingPoint<float>* in, vnx::FloatingPoint<float>* out, int n);

extern "C" {

/// Float form of cholesky.
void cholesky_f(const float* in, float* out, int n);

/// out = lower Cholesky factor of the 3 x 3 matrix in.
void Cholesky_decomposition(const float* in, float* out);

} // extern "C"
