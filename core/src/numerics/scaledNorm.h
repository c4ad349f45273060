#pragma once

#include <cmath>

namespace vnx {

/// Euclidean norm of x[0..n) that rescales as it goes, so the squares of very
/// large or very small elements neither overflow nor underflow. A NaN element
/// makes the result NaN.
inline float scaledNorm(const float* x, int n)
{
    float scale = 0.0f;
    float sumSquares = 1.0f;
    bool any = false;
    for (int i = 0; i < n; ++i) {
        if (x[i] == 0.0f) {
            continue;
        }
        const float magnitude = std::fabs(x[i]);
        if (!any) {
            scale = magnitude;
            any = true;
        } else if (scale < magnitude) {
            const float ratio = scale / magnitude;
            sumSquares = 1.0f + sumSquares * ratio * ratio;
            scale = magnitude;
        } else {
            const float ratio = magnitude / scale;
            sumSquares += ratio * ratio;
        }
    }
    return any ? scale * std::sqrt(sumSquares) : 0.0f;
}

} // namespace vnx
