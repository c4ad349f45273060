#include "numerics/matrixSolversCholesky.h"

#include <cmath>

namespace {

using std::sqrt;

template <typename T> void choleskyLower(const T* in, T* out, int n)
{
    for (int i = 0; i < n * n; ++i) {
        out[i] = T{};
    }
    for (int j = 0; j < n; ++j) {
        T sumSquares{};
        for (int k = 0; k < j; ++k) {
            sumSquares += out[j + n * k] * out[j + n * k];
        }
        const T remaining = in[j + n * j] - sumSquares;
        if (!(remaining > T{})) {
            continue; // not positive definite here: the column stays 0
        }
        const T diagonal = sqrt(remaining);
        out[j + n * j] = diagonal;
        for (int i = j + 1; i < n; ++i) {
            T sumProducts{};
            for (int k = 0; k < j; ++k) {
                sumProducts += out[i + n * k] * out[j + n * k];
            }
            out[i + n * j] = (in[i + n * j] - sumProducts) / diagonal;
        }
    }
}

} // namespace

void cholesky(const vnx::Fp32* in, vnx::Fp32* out, int n)
{
    choleskyLower(in, out, n);
}

extern "C" void cholesky_f(const float* in, float* out, int n)
{
    choleskyLower(in, out, n);
}

extern "C" void Cholesky_decomposition(const float* in, float* out)
{
    choleskyLower(in, out, 3);
}
