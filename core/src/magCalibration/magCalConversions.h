#pragma once

// Small conversions shared by the parts of the magnetometer calibration: the
// saturation of solver results into the FloatingPoint range (so that an
// overflow or a 0/0 of a degenerate fit reads as "unknown" instead of
// spreading inf or NaN through the calibration state) and the column-major
// float arrays of the plain-array solvers.

#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"

namespace vnx::magcal {

using Fp = FloatingPoint<float>;
using Vec3 = qdVectorFixed::Vector3;
using Mat3 = qdVectorFixed::Matrix3;

/// Clamps into [-2^31, 2^31]; NaN becomes 2^31.
inline Fp saturated(Fp x)
{
    return Fp(x.value());
}

inline Vec3 saturated(const Vec3& v)
{
    return {saturated(v[0]), saturated(v[1]), saturated(v[2])};
}

inline Mat3 saturated(Mat3 m)
{
    for (int i = 0; i < Mat3::size(); ++i)
        m[i] = saturated(m[i]);
    return m;
}

/// Element (i, j) at index i + 3j.
inline void toColumnMajor(const Mat3& m, float* out)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i + 3 * j] = m(i, j).value();
}

/// Reads element (i, j) from index i + 3j, saturating each element.
inline Mat3 fromColumnMajor(const float* in)
{
    Mat3 m;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m(i, j) = Fp(in[i + 3 * j]);
    return m;
}

} // namespace vnx::magcal
