#include "numerics/matrixProducts.h"

#include <algorithm>
#include <utility>

namespace {

// P (m x p) = A (m x n) B (n x p); the sizes are template arguments where they
// are fixed so that the loops unroll.
template <typename T> void multiply(const T* A, const T* B, T* P, int m, int n, int p)
{
    for (int j = 0; j < p; ++j) {
        for (int i = 0; i < m; ++i) {
            T sum{};
            for (int k = 0; k < n; ++k) {
                sum += A[i + m * k] * B[k + n * j];
            }
            P[i + m * j] = sum;
        }
    }
}

template <typename T, int M, int N, int Pc> void multiplyFixed(const T* A, const T* B, T* P)
{
    multiply(A, B, P, M, N, Pc);
}

template <typename T, int N> void transposeInPlace(T* A)
{
    for (int j = 1; j < N; ++j) {
        for (int i = 0; i < j; ++i) {
            std::swap(A[i + N * j], A[j + N * i]);
        }
    }
}

// Shift rule of the integer products. The sum is shifted as an unsigned
// value, so a left shift wraps instead of overflowing, and the low 32 bits
// are taken modulo 2^32.
int32_t shiftedLow32(int64_t sum, int8_t shift)
{
    if (shift >= 0) {
        const uint64_t shifted = static_cast<uint64_t>(sum) << (shift % 64);
        return static_cast<int32_t>(static_cast<uint32_t>(shifted));
    }
    const int count = std::min(-static_cast<int>(shift), 63);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(sum >> count)));
}

void integerMultiply(const int32_t* A, const int32_t* B, int32_t* P, int m, int n, int p, int8_t shift)
{
    for (int j = 0; j < p; ++j) {
        for (int i = 0; i < m; ++i) {
            int64_t sum = 0;
            for (int k = 0; k < n; ++k) {
                // Wrapping add: 2^8 products of 2^62 can leave the 64-bit range.
                sum = static_cast<int64_t>(
                    static_cast<uint64_t>(sum) +
                    static_cast<uint64_t>(static_cast<int64_t>(A[i + m * k]) * B[k + n * j]));
            }
            P[i + m * j] = shiftedLow32(sum, shift);
        }
    }
}

} // namespace

void Matrix_9x9_9x1_multiply(const float* A, const float* x, float* y)
{
    multiplyFixed<float, 9, 9, 1>(A, x, y);
}
void Matrix_9x9_9x1_multiply(const double* A, const double* x, double* y)
{
    multiplyFixed<double, 9, 9, 1>(A, x, y);
}
void Matrix_9x9_9x9_multiply(const float* A, const float* B, float* P)
{
    multiplyFixed<float, 9, 9, 9>(A, B, P);
}
void Matrix_9x9_9x9_multiply(const double* A, const double* B, double* P)
{
    multiplyFixed<double, 9, 9, 9>(A, B, P);
}
void Matrix_9x9_transpose(float* A)
{
    transposeInPlace<float, 9>(A);
}
void Matrix_9x9_transpose(double* A)
{
    transposeInPlace<double, 9>(A);
}

extern "C" void Matrix_3x3_3x1_multiply(const float* A, const float* x, float* y)
{
    multiplyFixed<float, 3, 3, 1>(A, x, y);
}
extern "C" void Matrix_1x9_9x9_multiply(const float* x, const float* A, float* y)
{
    multiplyFixed<float, 1, 9, 9>(x, A, y);
}
extern "C" void Matrix_3x3_3x3_multiply(const float* A, const float* B, float* P)
{
    multiplyFixed<float, 3, 3, 3>(A, B, P);
}
extern "C" void Matrix_3x3_transpose(float* A)
{
    transposeInPlace<float, 3>(A);
}

extern "C" void MatMultRR_Sgl(float* P, const float* A, const float* B, const int* dims)
{
    const int m = dims[0];
    const int n = dims[1];
    const int p = dims[2];
    if (m < 1 || p < 1) {
        return;
    }
    multiply(A, B, P, m, std::max(n, 0), p);
}

extern "C" void rt_MatMultRR_Sgl(float* P, const float* A, const float* B, const int* dims)
{
    MatMultRR_Sgl(P, A, B, dims);
}

extern "C" void MatrixMatrix_Multiply(const int32_t* A, const int32_t* B, int32_t* P, uint8_t m, uint8_t n,
                                      uint8_t p, int8_t shift)
{
    integerMultiply(A, B, P, m, n, p, shift);
}

extern "C" void MatrixVector_Multiply(const int32_t* A, const int32_t* x, int32_t* y, uint8_t rows,
                                      uint8_t columns, int8_t shift)
{
    integerMultiply(A, x, y, rows, columns, 1, shift);
}
