#pragma once

#include "numerics/FloatingPoint.h"

// Dense solves by LU factorisation with partial pivoting, for the fixed sizes
// the calibration code uses. Matrices are stored column by column (row i,
// column j of an m-row matrix at index i + m*j).
//
// A singular A raises no error: a zero pivot makes the affected elements of x
// infinite or NaN. Where a det output is taken it may be null; otherwise it
// receives |product of the U diagonal|, which lets callers reject
// near-singular systems.

/// x = A \ b for a 3 x 3 A (A is only read).
void Matrix_3x3_3x1_mldivide(const float* A, const float* b, float* x);
void Matrix_3x3_3x1_mldivide(const double* A, const double* b, double* x);
/// Computes in float arithmetic; the solution then enters the type's range,
/// so a singular A gives the "unknown" marks +-2^31 instead of inf or NaN.
void Matrix_3x3_3x1_mldivide(const vnx::FloatingPoint<float>* A, const vnx::FloatingPoint<float>* b,
                             vnx::FloatingPoint<float>* x);

/// x = A \ b; A is factorised in place and holds the LU factors afterwards
/// (rows in pivot order, unit lower factor below the diagonal).
void Matrix_4x4_4x1_mldivide(float* A, const float* b, float* x);
void Matrix_4x4_4x1_mldivide(double* A, const double* b, double* x);

/// x = A \ b with |det A| out (A is only read).
void Matrix_2x2_2x1_mldivide(const float* A, const float* b, float* x, float* det);
void Matrix_2x2_2x1_mldivide(const double* A, const double* b, double* x, double* det);
void Matrix_4x4_4x1_mldivide(const float* A, const float* b, float* x, float* det);
void Matrix_4x4_4x1_mldivide(const double* A, const double* b, double* x, double* det);
void Matrix_6x6_6x1_mldivide(const float* A, const float* b, float* x, float* det);
void Matrix_6x6_6x1_mldivide(const double* A, const double* b, double* x, double* det);
void Matrix_9x9_9x1_mldivide(const float* A, const float* b, float* x, float* det);
void Matrix_9x9_9x1_mldivide(const double* A, const double* b, double* x, double* det);

/// X = B / A, that is X*A = B, with B and X 4 x 3 and A 3 x 3.
void Matrix_3x3_3x4_mrdivide(const float* B, const float* A, float* X);
void Matrix_3x3_3x4_mrdivide(const double* B, const double* A, double* X);

extern "C" {

/// X = B / A for 2 x 2 matrices.
void Matrix2x2_mrdivide(const float* B, const float* A, float* X);

/// Ainv = A^-1 by LU with partial pivoting, one solve per identity column.
void Matrix3x3_inv(const float* A, float* Ainv);
void Matrix4x4_inv(const float* A, float* Ainv);

} // extern "C"
