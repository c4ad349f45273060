#pragma once

#include <cmath>

namespace vnx {

/// Keeps a quaternion (four elements, w first) at unit norm the cheap way:
/// when the squared norm n lies outside [0.9999999, 1.0000001] every element
/// is multiplied by 1/sqrt(n); inside that band it is left bit-for-bit as it
/// is, which saves the square root on almost every sample. T is float or a
/// type with float-like arithmetic and explicit conversion to float.
template <typename T> inline void renormalizeUnitQuaternion(T* q)
{
    const T n = q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3];
    const float nf = static_cast<float>(n);
    if (nf < 0.9999999f || nf > 1.0000001f) {
        const T inv = T(1.0f / std::sqrt(nf));
        for (int i = 0; i < 4; ++i)
            q[i] = q[i] * inv;
    }
}

} // namespace vnx
