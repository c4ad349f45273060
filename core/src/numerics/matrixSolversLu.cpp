#include "numerics/matrixSolversLu.h"

#include <cmath>
#include <utility>

namespace {

using std::abs;

// Factorises the column-major N x N matrix a in place: P*A = L*U with L unit
// lower (stored below the diagonal) and U upper. perm[i] is the original row
// now at row i. The largest |a_pk| wins the pivot; on a tie the upper row
// stays. A zero pivot leaves its column unscaled and raises no error.
template <typename T, int N> void luFactorInPlace(T* a, int* perm)
{
    for (int i = 0; i < N; ++i) {
        perm[i] = i;
    }
    for (int k = 0; k < N - 1; ++k) {
        int p = k;
        T largest = abs(a[k + N * k]);
        for (int i = k + 1; i < N; ++i) {
            const T magnitude = abs(a[i + N * k]);
            if (magnitude > largest) {
                largest = magnitude;
                p = i;
            }
        }
        if (p != k) {
            for (int j = 0; j < N; ++j) {
                std::swap(a[k + N * j], a[p + N * j]);
            }
            std::swap(perm[k], perm[p]);
        }
        const T pivot = a[k + N * k];
        if (pivot != T{}) {
            for (int i = k + 1; i < N; ++i) {
                a[i + N * k] /= pivot;
            }
        }
        for (int j = k + 1; j < N; ++j) {
            for (int i = k + 1; i < N; ++i) {
                a[i + N * j] -= a[i + N * k] * a[k + N * j];
            }
        }
    }
}

// Solves L*U*x = P*b with the factors of luFactorInPlace.
template <typename T, int N> void luSolveFactored(const T* lu, const int* perm, const T* b, T* x)
{
    for (int i = 0; i < N; ++i) {
        x[i] = b[perm[i]];
    }
    for (int i = 1; i < N; ++i) {
        for (int k = 0; k < i; ++k) {
            x[i] -= lu[i + N * k] * x[k];
        }
    }
    for (int i = N - 1; i >= 0; --i) {
        for (int k = i + 1; k < N; ++k) {
            x[i] -= lu[i + N * k] * x[k];
        }
        x[i] /= lu[i + N * i];
    }
}

template <typename T, int N> T luDeterminantMagnitude(const T* lu)
{
    T product = lu[0];
    for (int i = 1; i < N; ++i) {
        product *= lu[i + N * i];
    }
    return abs(product);
}

template <typename T, int N> void luSolveInPlace(T* a, const T* b, T* x, T* det)
{
    int perm[N];
    luFactorInPlace<T, N>(a, perm);
    if (det != nullptr) {
        *det = luDeterminantMagnitude<T, N>(a);
    }
    luSolveFactored<T, N>(a, perm, b, x);
}

template <typename T, int N> void luSolve(const T* A, const T* b, T* x, T* det)
{
    T a[N * N];
    for (int i = 0; i < N * N; ++i) {
        a[i] = A[i];
    }
    luSolveInPlace<T, N>(a, b, x, det);
}

// X*A = B  <=>  A^T * X^T = B^T: factorise A^T once, then solve one right
// side per row of B (a column of B^T).
template <typename T, int N, int Rows> void luRightDivide(const T* B, const T* A, T* X)
{
    T at[N * N];
    for (int i = 0; i < N; ++i) {
        for (int j = 0; j < N; ++j) {
            at[i + N * j] = A[j + N * i];
        }
    }
    int perm[N];
    luFactorInPlace<T, N>(at, perm);
    for (int r = 0; r < Rows; ++r) {
        T rhs[N];
        T x[N];
        for (int j = 0; j < N; ++j) {
            rhs[j] = B[r + Rows * j];
        }
        luSolveFactored<T, N>(at, perm, rhs, x);
        for (int j = 0; j < N; ++j) {
            X[r + Rows * j] = x[j];
        }
    }
}

template <typename T, int N> void luInverse(const T* A, T* Ainv)
{
    T a[N * N];
    for (int i = 0; i < N * N; ++i) {
        a[i] = A[i];
    }
    int perm[N];
    luFactorInPlace<T, N>(a, perm);
    for (int j = 0; j < N; ++j) {
        T unit[N] = {};
        unit[j] = T(1);
        luSolveFactored<T, N>(a, perm, unit, Ainv + N * j);
    }
}

} // namespace

void Matrix_3x3_3x1_mldivide(const float* A, const float* b, float* x)
{
    luSolve<float, 3>(A, b, x, nullptr);
}
void Matrix_3x3_3x1_mldivide(const double* A, const double* b, double* x)
{
    luSolve<double, 3>(A, b, x, nullptr);
}
void Matrix_3x3_3x1_mldivide(const vnx::Fp32* A, const vnx::Fp32* b, vnx::Fp32* x)
{
    luSolve<vnx::Fp32, 3>(A, b, x, nullptr);
    for (int i = 0; i < 3; ++i) {
        x[i] = vnx::Fp32(x[i].value());
    }
}

void Matrix_4x4_4x1_mldivide(float* A, const float* b, float* x)
{
    luSolveInPlace<float, 4>(A, b, x, nullptr);
}
void Matrix_4x4_4x1_mldivide(double* A, const double* b, double* x)
{
    luSolveInPlace<double, 4>(A, b, x, nullptr);
}

void Matrix_2x2_2x1_mldivide(const float* A, const float* b, float* x, float* det)
{
    luSolve<float, 2>(A, b, x, det);
}
void Matrix_2x2_2x1_mldivide(const double* A, const double* b, double* x, double* det)
{
    luSolve<double, 2>(A, b, x, det);
}
void Matrix_4x4_4x1_mldivide(const float* A, const float* b, float* x, float* det)
{
    luSolve<float, 4>(A, b, x, det);
}
void Matrix_4x4_4x1_mldivide(const double* A, const double* b, double* x, double* det)
{
    luSolve<double, 4>(A, b, x, det);
}
void Matrix_6x6_6x1_mldivide(const float* A, const float* b, float* x, float* det)
{
    luSolve<float, 6>(A, b, x, det);
}
void Matrix_6x6_6x1_mldivide(const double* A, const double* b, double* x, double* det)
{
    luSolve<double, 6>(A, b, x, det);
}
void Matrix_9x9_9x1_mldivide(const float* A, const float* b, float* x, float* det)
{
    luSolve<float, 9>(A, b, x, det);
}
void Matrix_9x9_9x1_mldivide(const double* A, const double* b, double* x, double* det)
{
    luSolve<double, 9>(A, b, x, det);
}

void Matrix_3x3_3x4_mrdivide(const float* B, const float* A, float* X)
{
    luRightDivide<float, 3, 4>(B, A, X);
}
void Matrix_3x3_3x4_mrdivide(const double* B, const double* A, double* X)
{
    luRightDivide<double, 3, 4>(B, A, X);
}

extern "C" void Matrix2x2_mrdivide(const float* B, const float* A, float* X)
{
    luRightDivide<float, 2, 2>(B, A, X);
}

extern "C" void Matrix3x3_inv(const float* A, float* Ainv)
{
    luInverse<float, 3>(A, Ainv);
}
extern "C" void Matrix4x4_inv(const float* A, float* Ainv)
{
    luInverse<float, 4>(A, Ainv);
}
