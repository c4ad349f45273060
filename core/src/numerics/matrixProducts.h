#pragma once

#include <cstdint>

// Products and transposes of column-major matrices. Every sum starts from 0
// and adds its terms in index order, so results are reproducible bit for bit.
// Outputs must not overlap inputs, except for the in-place transposes.

/// y = A x for 9 x 9 A.
void Matrix_9x9_9x1_multiply(const float* A, const float* x, float* y);
void Matrix_9x9_9x1_multiply(const double* A, const double* x, double* y);

/// P = A B for 9 x 9 matrices.
void Matrix_9x9_9x9_multiply(const float* A, const float* B, float* P);
void Matrix_9x9_9x9_multiply(const double* A, const double* B, double* P);

/// Transposes a 9 x 9 matrix in place.
void Matrix_9x9_transpose(float* A);
void Matrix_9x9_transpose(double* A);

extern "C" {

/// y = A x for 3 x 3 A.
void Matrix_3x3_3x1_multiply(const float* A, const float* x, float* y);

/// y = x A: row vector x (9) times the 9 x 9 matrix A.
void Matrix_1x9_9x9_multiply(const float* x, const float* A, float* y);

/// P = A B for 3 x 3 matrices.
void Matrix_3x3_3x3_multiply(const float* A, const float* B, float* P);

/// Transposes a 3 x 3 matrix in place.
void Matrix_3x3_transpose(float* A);

/// P (m x p) = A (m x n) B (n x p) with dims = {m, n, p}. Nothing is written
/// when m < 1 or p < 1; n = 0 writes zeros.
void MatMultRR_Sgl(float* P, const float* A, const float* B, const int* dims);
void rt_MatMultRR_Sgl(float* P, const float* A, const float* B, const int* dims);

/// Integer products in 64-bit sums of 32-bit products. A shift s >= 0 moves
/// each sum left by s modulo 64; s < 0 shifts it right arithmetically by
/// min(-s, 63). The low 32 bits of the shifted sum are stored.
/// P (m x p) = A (m x n) B (n x p).
void MatrixMatrix_Multiply(const int32_t* A, const int32_t* B, int32_t* P, uint8_t m, uint8_t n, uint8_t p,
                           int8_t shift);
/// y (rows) = A (rows x columns) x (columns).
void MatrixVector_Multiply(const int32_t* A, const int32_t* x, int32_t* y, uint8_t rows, uint8_t columns,
                           int8_t shift);

} // extern "C"
