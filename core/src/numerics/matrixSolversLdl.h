#pragma once

#include "numerics/FloatingPoint.h"

// Solves of symmetric systems by an L*D*L^T factorisation without pivoting.
// Only the elements on and below the diagonal of A are read (column-major).
// Where a det output is taken it may be null.

/// Closed form for 2 x 2: d1 = a11, l = a21 / a11, d2 = a22 - l^2 d1, and
/// det = |d2 * d1 * d1| (the first pivot enters squared). There is no pivot
/// check: a11 = 0 gives non-finite results.
void Matrix_2x2_2x1_ldl(const float* A, const float* b, float* x, float* det);
void Matrix_2x2_2x1_ldl(const double* A, const double* b, double* x, double* det);

/// General sizes; det = |product of the pivots d_j|. Only an exactly zero pivot
/// is special: its component of the solution is dropped (set to 0), so a
/// singular A still gives a finite x.
void Matrix_3x3_3x1_ldl(const float* A, const float* b, float* x, float* det);
void Matrix_3x3_3x1_ldl(const double* A, const double* b, double* x, double* det);
void Matrix_4x4_4x1_ldl(const float* A, const float* b, float* x, float* det);
void Matrix_4x4_4x1_ldl(const double* A, const double* b, double* x, double* det);
void Matrix_6x6_6x1_ldl(const float* A, const float* b, float* x, float* det);
void Matrix_6x6_6x1_ldl(const double* A, const double* b, double* x, double* det);
void Matrix_9x9_9x1_ldl(const float* A, const float* b, float* x, float* det);
void Matrix_9x9_9x1_ldl(const double* A, const double* b, double* x, double* det);

/// Solves (scale * A) x = b. Differs from the float form in three points: a
/// pivot below 3.052e-5 (about 2^-15, negative pivots included) has the
/// reciprocal 2^31 instead of 1/d; every stored intermediate and the
/// determinant saturate into [-2^31, 2^31]; the solve divides by scale * d_j,
/// and det = |product of scale * d_j|.
void Matrix_9x9_9x1_ldl(const vnx::FloatingPoint<float>* A, const vnx::FloatingPoint<float>* b,
                        vnx::FloatingPoint<float>* x, vnx::FloatingPoint<float>* det,
                        vnx::FloatingPoint<float> scale);

/// In-place L*D*L^T of the n x n matrix A: L strictly below the diagonal
/// (mirrored above it, so the back substitution can read L^T as an upper
/// factor), D on the diagonal. work holds n values. Stops at the first pivot
/// <= 0 with *notPositiveDefinite = true, leaving the partial factor;
/// otherwise sets it to false.
void MWDSP_LDL_R(double* A, double* work, int n, bool* notPositiveDefinite);
void MWDSP_LDL_R(float* A, float* work, int n, bool* notPositiveDefinite);

/// Forward substitution with the unit lower triangle of factor (n x n) for
/// nRhs right sides (n x nRhs, column-major). result may be b itself.
void MWDSP_FSub_U_RR_R(const double* factor, const double* b, double* result, int n, int nRhs);
void MWDSP_FSub_U_RR_R(const float* factor, const float* b, float* result, int n, int nRhs);

/// Back substitution with the unit upper triangle of factor (n x n) for nRhs
/// right sides. result may be b itself.
void MWDSP_BSub_U_RR_R(const double* factor, const double* b, double* result, int n, int nRhs);
void MWDSP_BSub_U_RR_R(const float* factor, const float* b, float* result, int n, int nRhs);

/// Work space of Matrix_9x9_inv_LDL_simulink; the caller reads the
/// positive-definiteness flag from it afterwards.
template <typename T> struct Inv9x9IntermediateResult
{
    T factor[81]; // L*D*L^T of the input
    T work[9];
    bool notPositiveDefinite;
};
using inv9x9IntermediateResult_t = Inv9x9IntermediateResult<double>;
using inv9x9IntermediateResult32_t = Inv9x9IntermediateResult<float>;

/// Ainv = A^-1 from the L*D*L^T of A, computed whatever the flag in work says.
void Matrix_9x9_inv_LDL_simulink(const double* A, double* Ainv, inv9x9IntermediateResult_t* work);
void Matrix_9x9_inv_LDL_simulink(const float* A, float* Ainv, inv9x9IntermediateResult32_t* work);
