#include "numerics/matrixSolversLdl.h"

#include <cmath>

namespace {

using std::abs;

// Pivot rule of the plain float and double solvers: only an exact zero pivot is
// special, and its component is dropped instead of dividing by zero.
template <typename T> struct ExactZeroPivot
{
    static T reciprocal(T d) { return d != T{} ? T(1) / d : T{}; }
    static T divide(T z, T d) { return d != T{} ? z / d : T{}; }
    static T bound(T v) { return v; }
};

// x = (scale*A) \ b by L*D*L^T. The factor is the same for A and scale*A; only
// the pivots change, so scale enters the divisions of the solve and the
// determinant. Pivot supplies the reciprocal and division rules and the
// saturation of every stored intermediate.
template <typename T, int N, typename Pivot> void ldlSolve(const T* A, const T* b, T* x, T* det, T scale)
{
    T l[N * N]; // strictly lower part used
    T d[N];
    for (int j = 0; j < N; ++j) {
        T sum{};
        for (int k = 0; k < j; ++k) {
            sum += l[j + N * k] * l[j + N * k] * d[k];
        }
        d[j] = Pivot::bound(A[j + N * j] - sum);
        const T r = Pivot::reciprocal(d[j]);
        for (int i = j + 1; i < N; ++i) {
            T rowSum{};
            for (int k = 0; k < j; ++k) {
                rowSum += l[i + N * k] * l[j + N * k] * d[k];
            }
            l[i + N * j] = Pivot::bound((A[i + N * j] - rowSum) * r);
        }
    }

    for (int i = 0; i < N; ++i) {
        T z = b[i];
        for (int k = 0; k < i; ++k) {
            z -= l[i + N * k] * x[k];
        }
        x[i] = Pivot::bound(z);
    }
    for (int j = 0; j < N; ++j) {
        x[j] = Pivot::divide(x[j], scale * d[j]);
    }
    for (int i = N - 1; i >= 0; --i) {
        T y = x[i];
        for (int k = i + 1; k < N; ++k) {
            y -= l[k + N * i] * x[k];
        }
        x[i] = Pivot::bound(y);
    }

    if (det != nullptr) {
        T product = Pivot::bound(scale * d[0]);
        for (int j = 1; j < N; ++j) {
            product = Pivot::bound(product * Pivot::bound(scale * d[j]));
        }
        *det = abs(product);
    }
}

// Pivot rule of the FloatingPoint solver: tiny and non-positive pivots get the
// largest reciprocal the type holds, and every stored value saturates the way
// a plain float entering the type does.
struct SaturatingPivot
{
    using Fp = vnx::Fp32;
    static constexpr float kPivotFloor = 3.052e-5f; // about 2^-15

    static Fp bound(Fp v) { return Fp(v.value()); }
    static Fp reciprocal(Fp p) { return p < Fp(kPivotFloor) ? Fp(Fp::kMax) : bound(Fp(1.0f) / p); }
    static Fp divide(Fp z, Fp p) { return bound(z * reciprocal(p)); }
};

template <typename T, int N> void ldlSolvePlain(const T* A, const T* b, T* x, T* det)
{
    ldlSolve<T, N, ExactZeroPivot<T>>(A, b, x, det, T(1));
}

template <typename T> void ldl2x2(const T* A, const T* b, T* x, T* det)
{
    const T d1 = A[0];
    const T l = (T(1) / A[0]) * A[1];
    const T d2 = A[3] - (T{} + l * l * d1);
    x[1] = (b[1] - b[0] * l) / d2;
    x[0] = b[0] / d1 - l * x[1];
    if (det != nullptr) {
        *det = abs(d2 * d1 * d1);
    }
}

template <typename T> void ldlFactorInPlace(T* A, T* work, int n, bool* notPositiveDefinite)
{
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k < j; ++k) {
            work[k] = A[j + n * k] * A[k + n * k]; // l_jk * d_k
        }
        T sum{};
        for (int k = 0; k < j; ++k) {
            sum += A[j + n * k] * work[k];
        }
        const T dj = A[j + n * j] - sum;
        A[j + n * j] = dj;
        // A NaN pivot is no more positive than a negative one.
        if (!(dj > T{})) {
            *notPositiveDefinite = true;
            return;
        }
        for (int i = j + 1; i < n; ++i) {
            T rowSum{};
            for (int k = 0; k < j; ++k) {
                rowSum += A[i + n * k] * work[k];
            }
            const T lij = (A[i + n * j] - rowSum) / dj;
            A[i + n * j] = lij;
            A[j + n * i] = lij;
        }
    }
    *notPositiveDefinite = false;
}

template <typename T> void forwardSubstituteUnitLower(const T* factor, const T* b, T* result, int n, int nRhs)
{
    for (int c = 0; c < nRhs; ++c) {
        const T* bc = b + n * c;
        T* xc = result + n * c;
        for (int i = 0; i < n; ++i) {
            T v = bc[i];
            for (int k = 0; k < i; ++k) {
                v -= factor[i + n * k] * xc[k];
            }
            xc[i] = v;
        }
    }
}

template <typename T> void backSubstituteUnitUpper(const T* factor, const T* b, T* result, int n, int nRhs)
{
    for (int c = 0; c < nRhs; ++c) {
        const T* bc = b + n * c;
        T* xc = result + n * c;
        for (int i = n - 1; i >= 0; --i) {
            T v = bc[i];
            for (int k = i + 1; k < n; ++k) {
                v -= factor[i + n * k] * xc[k];
            }
            xc[i] = v;
        }
    }
}

template <typename T> void inverse9x9FromLdl(const T* A, T* Ainv, Inv9x9IntermediateResult<T>* work)
{
    constexpr int n = 9;
    for (int i = 0; i < n * n; ++i) {
        work->factor[i] = A[i];
        Ainv[i] = T{};
    }
    ldlFactorInPlace(work->factor, work->work, n, &work->notPositiveDefinite);
    for (int i = 0; i < n; ++i) {
        Ainv[i + n * i] = T(1);
    }
    forwardSubstituteUnitLower(work->factor, Ainv, Ainv, n, n);
    for (int c = 0; c < n; ++c) {
        for (int i = 0; i < n; ++i) {
            Ainv[i + n * c] /= work->factor[i + n * i];
        }
    }
    backSubstituteUnitUpper(work->factor, Ainv, Ainv, n, n);
}

} // namespace

void Matrix_2x2_2x1_ldl(const float* A, const float* b, float* x, float* det)
{
    ldl2x2(A, b, x, det);
}
void Matrix_2x2_2x1_ldl(const double* A, const double* b, double* x, double* det)
{
    ldl2x2(A, b, x, det);
}

void Matrix_3x3_3x1_ldl(const float* A, const float* b, float* x, float* det)
{
    ldlSolvePlain<float, 3>(A, b, x, det);
}
void Matrix_3x3_3x1_ldl(const double* A, const double* b, double* x, double* det)
{
    ldlSolvePlain<double, 3>(A, b, x, det);
}
void Matrix_4x4_4x1_ldl(const float* A, const float* b, float* x, float* det)
{
    ldlSolvePlain<float, 4>(A, b, x, det);
}
void Matrix_4x4_4x1_ldl(const double* A, const double* b, double* x, double* det)
{
    ldlSolvePlain<double, 4>(A, b, x, det);
}
void Matrix_6x6_6x1_ldl(const float* A, const float* b, float* x, float* det)
{
    ldlSolvePlain<float, 6>(A, b, x, det);
}
void Matrix_6x6_6x1_ldl(const double* A, const double* b, double* x, double* det)
{
    ldlSolvePlain<double, 6>(A, b, x, det);
}
void Matrix_9x9_9x1_ldl(const float* A, const float* b, float* x, float* det)
{
    ldlSolvePlain<float, 9>(A, b, x, det);
}
void Matrix_9x9_9x1_ldl(const double* A, const double* b, double* x, double* det)
{
    ldlSolvePlain<double, 9>(A, b, x, det);
}

void Matrix_9x9_9x1_ldl(const vnx::Fp32* A, const vnx::Fp32* b, vnx::Fp32* x, vnx::Fp32* det, vnx::Fp32 scale)
{
    ldlSolve<vnx::Fp32, 9, SaturatingPivot>(A, b, x, det, scale);
}

void MWDSP_LDL_R(double* A, double* work, int n, bool* notPositiveDefinite)
{
    ldlFactorInPlace(A, work, n, notPositiveDefinite);
}
void MWDSP_LDL_R(float* A, float* work, int n, bool* notPositiveDefinite)
{
    ldlFactorInPlace(A, work, n, notPositiveDefinite);
}

void MWDSP_FSub_U_RR_R(const double* factor, const double* b, double* result, int n, int nRhs)
{
    forwardSubstituteUnitLower(factor, b, result, n, nRhs);
}
void MWDSP_FSub_U_RR_R(const float* factor, const float* b, float* result, int n, int nRhs)
{
    forwardSubstituteUnitLower(factor, b, result, n, nRhs);
}
void MWDSP_BSub_U_RR_R(const double* factor, const double* b, double* result, int n, int nRhs)
{
    backSubstituteUnitUpper(factor, b, result, n, nRhs);
}
void MWDSP_BSub_U_RR_R(const float* factor, const float* b, float* result, int n, int nRhs)
{
    backSubstituteUnitUpper(factor, b, result, n, nRhs);
}

void Matrix_9x9_inv_LDL_simulink(const double* A, double* Ainv, inv9x9IntermediateResult_t* work)
{
    inverse9x9FromLdl(A, Ainv, work);
}
void Matrix_9x9_inv_LDL_simulink(const float* A, float* Ainv, inv9x9IntermediateResult32_t* work)
{
    inverse9x9FromLdl(A, Ainv, work);
}
