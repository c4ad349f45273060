#pragma once

// Small 3-vector helpers of the gesture modules.

#include <array>
#include <cmath>
#include <cstddef>

namespace vnx::gesture {

using Vector3 = std::array<float, 3>;

/// `v` scaled to unit length without overflow or underflow: divided by its
/// largest absolute component first, the length of the scaled vector taken
/// with a double-precision square root. A zero vector stays zero (there is no
/// direction to keep).
template <std::size_t N> std::array<float, N> normalizedRobust(const std::array<float, N>& v)
{
    float largest = 0.0f;
    for (float component : v) {
        largest = std::fmax(largest, std::fabs(component));
    }
    if (largest == 0.0f) {
        return v;
    }
    float sumSquares = 0.0f;
    for (float component : v) {
        const float scaled = component / largest;
        sumSquares += scaled * scaled;
    }
    const float length = static_cast<float>(std::sqrt(static_cast<double>(sumSquares))) * largest;
    std::array<float, N> unit;
    for (std::size_t i = 0; i < N; ++i) {
        unit[i] = v[i] / length;
    }
    return unit;
}

inline Vector3 cross(const Vector3& a, const Vector3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

inline float dot(const Vector3& a, const Vector3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline bool isZero(const Vector3& v)
{
    return v[0] == 0.0f && v[1] == 0.0f && v[2] == 0.0f;
}

} // namespace vnx::gesture
