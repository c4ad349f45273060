#pragma once

// Small solvers and angle helpers of the learned orientation-to-screen map.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Least squares y = a x + b over n samples: out = (a, b). The 2 x 2 normal
/// equations are solved with partial pivoting; a singular system gives NaN.
void m_linearFit(const float* x, const float* y, int32_t n, float out[2]);

/// LU factorisation with partial pivoting of the 3 x 3 row-major matrix a, in
/// place; pivots receive the row order.
void m_refp1_eml_xgetrf(float a[9], int32_t pivots[3]);

/// Solves a x = b for the 3 x 3 row-major matrix a (x written to out).
void m_mldivide(const float a[9], const float b[3], float out[3]);

/// atan2 with the conventions of the numerical routines: NaN for a NaN
/// argument, atan2(+-1, +-1) when both are infinite, +-pi/2 or 0 for x = 0.
double rt_atan2(double y, double x);
float rt_atan232(float y, float x);

#ifdef __cplusplus
}
#endif
