#include "numerics/matrixSolversGivens.h"

#include <cmath>

extern "C" void rotg32(float* a, float* b, float* c, float* s)
{
    const float absA = std::fabs(*a);
    const float absB = std::fabs(*b);
    const bool aDominates = absA > absB;

    // r = max(|a|, |b|) * sqrt(1 + (min/max)^2): the ratio keeps the square
    // from overflowing or underflowing where a*a + b*b would.
    float r;
    if (aDominates) {
        const float ratio = *b / *a;
        r = absA * std::sqrt(ratio * ratio + 1.0f);
    } else if (*b == 0.0f) {
        r = 0.0f;
    } else {
        const float ratio = *a / *b;
        r = absB * std::sqrt(ratio * ratio + 1.0f);
    }
    const float signSource = aDominates ? *a : *b;
    if (!(signSource > 0.0f)) {
        r = -r;
    }

    if (r != 0.0f) {
        *c = *a / r;
        *s = *b / r;
    } else {
        *c = 1.0f;
        *s = 0.0f;
    }

    // z lets a caller rebuild (c, s) from one stored number.
    float z;
    if (aDominates) {
        z = *s;
    } else if (*c != 0.0f) {
        z = 1.0f / *c;
    } else {
        z = 1.0f;
    }
    *a = r;
    *b = z;
}

extern "C" void rot_real32(int n, float c, float s, float* x, float* y)
{
    for (int i = 0; i < n; ++i) {
        const float xi = x[i];
        const float yi = y[i];
        x[i] = c * xi + s * yi;
        y[i] = c * yi - s * xi;
    }
}
