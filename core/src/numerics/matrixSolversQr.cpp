#include "numerics/matrixSolversQr.h"

#include <cmath>

#include "numerics/scaledNorm.h"

namespace {

using vnx::scaledNorm;

constexpr int kN = 3;
// Smallest normal float over the float epsilon (2^-103): below it a reflector
// norm loses accuracy, so the column is scaled up by its reciprocal (2^103).
constexpr float kSafeMin = 9.8607613e-32f;
constexpr float kSafeMinInverse = 1.0141205e31f;
constexpr int kMaxRescales = 20;

// Generates the elementary reflector H = I - tau v v^T with v = (1, x) that
// maps (alpha, x) to (beta, 0). alpha becomes beta, x becomes v's tail.
float makeReflector(float& alpha, float* x, int n)
{
    float xNorm = scaledNorm(x, n);
    if (xNorm == 0.0f) {
        return 0.0f;
    }
    float beta = std::hypot(alpha, xNorm);
    if (alpha >= 0.0f) {
        beta = -beta;
    }
    int rescales = 0;
    while (std::fabs(beta) < kSafeMin && rescales < kMaxRescales) {
        ++rescales;
        for (int i = 0; i < n; ++i) {
            x[i] *= kSafeMinInverse;
        }
        beta *= kSafeMinInverse;
        alpha *= kSafeMinInverse;
    }
    if (rescales > 0) {
        xNorm = scaledNorm(x, n);
        beta = std::hypot(alpha, xNorm);
        if (alpha >= 0.0f) {
            beta = -beta;
        }
    }
    const float tau = (beta - alpha) / beta;
    const float inverse = 1.0f / (alpha - beta);
    for (int i = 0; i < n; ++i) {
        x[i] *= inverse;
    }
    for (int k = 0; k < rescales; ++k) {
        beta *= kSafeMin;
    }
    alpha = beta;
    return tau;
}

// Applies H = I - tau v v^T (v = (1, a[k+1..]) from column k of a) to rows
// k.. of column j of m.
void applyReflector(const float* a, int k, float tau, float* m, int j)
{
    float w = m[k + kN * j];
    for (int i = k + 1; i < kN; ++i) {
        w += a[i + kN * k] * m[i + kN * j];
    }
    w *= tau;
    m[k + kN * j] -= w;
    for (int i = k + 1; i < kN; ++i) {
        m[i + kN * j] -= a[i + kN * k] * w;
    }
}

} // namespace

extern "C" void QR_3x3(float* Q, const float* A)
{
    float a[kN * kN];
    for (int i = 0; i < kN * kN; ++i) {
        a[i] = A[i];
    }
    float tau[kN];
    for (int k = 0; k < kN; ++k) {
        tau[k] = makeReflector(a[k + kN * k], &a[k + 1 + kN * k], kN - 1 - k);
        for (int j = k + 1; j < kN; ++j) {
            applyReflector(a, k, tau[k], a, j);
        }
    }
    // Q = H0 H1 H2: apply the reflectors to the identity, last one first.
    for (int i = 0; i < kN * kN; ++i) {
        Q[i] = 0.0f;
    }
    for (int i = 0; i < kN; ++i) {
        Q[i + kN * i] = 1.0f;
    }
    for (int k = kN - 1; k >= 0; --k) {
        for (int j = 0; j < kN; ++j) {
            applyReflector(a, k, tau[k], Q, j);
        }
    }
}
