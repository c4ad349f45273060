#include "numerics/svdJacobi.h"

#include <utility>

#include "numerics/numericConstants.h"

namespace {

using vnx::Fp32;

constexpr int kSweeps = 2;
constexpr int kPairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};

Fp32 saturated(Fp32 v)
{
    return Fp32(v.value());
}

// Dot product of the column vectors i and j of the row-major 3 x 3 arrays.
Fp32 columnDot(const Fp32* X, int i, const Fp32* Y, int j)
{
    Fp32 sum{};
    for (int r = 0; r < 3; ++r) {
        sum += X[i + 3 * r] * Y[j + 3 * r];
    }
    return sum;
}

// [x_i x_j] <- [x_i x_j] [c s; -s c]
void rotateColumns(Fp32* X, int i, int j, Fp32 c, Fp32 s)
{
    for (int r = 0; r < 3; ++r) {
        const Fp32 xi = X[i + 3 * r];
        const Fp32 xj = X[j + 3 * r];
        X[i + 3 * r] = c * xi - s * xj;
        X[j + 3 * r] = s * xi + c * xj;
    }
}

void swapColumns(Fp32* X, int i, int j)
{
    for (int r = 0; r < 3; ++r) {
        std::swap(X[i + 3 * r], X[j + 3 * r]);
    }
}

} // namespace

void svdFixed3x3(Fp32* A, Fp32* U, Fp32* sigma, Fp32* V)
{
    for (int k = 0; k < 9; ++k) {
        V[k] = Fp32(k % 4 == 0 ? 1.0f : 0.0f);
    }

    for (int sweep = 0; sweep < kSweeps; ++sweep) {
        for (const auto& pair : kPairs) {
            const int i = pair[0];
            const int j = pair[1];
            const Fp32 gamma = saturated(columnDot(A, i, A, j));
            const Fp32 twoGamma = gamma << 1;
            if (twoGamma == Fp32(0.0f)) {
                continue; // already orthogonal
            }
            const Fp32 alpha = columnDot(A, i, A, i);
            const Fp32 beta = columnDot(A, j, A, j);
            const Fp32 zeta = (beta - alpha) / twoGamma;
            // The smaller root of t^2 + 2 zeta t - 1 = 0: the rotation by at
            // most 45 degrees that makes the two columns orthogonal.
            const Fp32 magnitude = abs(zeta);
            Fp32 t = Fp32(1.0f) / (magnitude + sqrt(Fp32(1.0f) + magnitude * magnitude));
            if (zeta < Fp32(0.0f)) {
                t = -t;
            }
            const Fp32 c = saturated(Fp32(1.0f) / sqrt(t * t + Fp32(1.0f)));
            const Fp32 s = saturated(c * t);
            rotateColumns(A, i, j, c, s);
            rotateColumns(V, i, j, c, s);
        }
    }

    // Column norms are the singular values; normalised columns form U.
    const Fp32 zeroBelow = Fp32(2.0f * vnx::kSmallValueF);
    for (int k = 0; k < 3; ++k) {
        sigma[k] = saturated(sqrt(columnDot(A, k, A, k)));
        for (int r = 0; r < 3; ++r) {
            U[k + 3 * r] = sigma[k] < zeroBelow ? Fp32(0.0f) : A[k + 3 * r] / sigma[k];
        }
    }

    for (int k = 0; k < 2; ++k) {
        int largest = k;
        for (int m = k + 1; m < 3; ++m) {
            if (sigma[m] > sigma[largest]) {
                largest = m;
            }
        }
        if (largest != k) {
            std::swap(sigma[k], sigma[largest]);
            swapColumns(U, k, largest);
            swapColumns(V, k, largest);
        }
    }
}
