#include "numerics/wahba.h"

#include <algorithm>

#include "numerics/svd.h"

namespace {

// Determinant of a 3 x 3 matrix by the rule of Sarrus.
float determinant3x3(const float* M)
{
    return M[0] * M[4] * M[8] + M[3] * M[7] * M[2] + M[6] * M[1] * M[5] - M[6] * M[4] * M[2] -
           M[0] * M[7] * M[5] - M[3] * M[1] * M[8];
}

} // namespace

extern "C" void solveWahbaUsingSVD(const float* B, float* R)
{
    float X[9];
    std::copy(B, B + 9, X);
    float s[3];
    float e[3];
    float work[3];
    float U[9];
    float V[9];
    DSP_SVD_R(X, 3, 3, s, e, work, U, V, 1);

    float UVt[9];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            UVt[i + 3 * j] = U[i] * V[j] + U[i + 3] * V[j + 3] + U[i + 6] * V[j + 6];
        }
    }
    // Flipping the weakest axis turns a reflection into the nearest rotation.
    const float d = determinant3x3(UVt);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            R[i + 3 * j] = U[i] * V[j] + U[i + 3] * V[j + 3] + d * U[i + 6] * V[j + 6];
        }
    }
}
