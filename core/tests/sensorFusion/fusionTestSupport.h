#pragma once

// Small builders and comparisons for the fusion building-block tests.

#include <gtest/gtest.h>

#include <cmath>

#include "numerics/qdVectorFixed.h"
#include "sensorFusion/frameRotation.h"

namespace vnx::fusionTest {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;

inline Vector3 vec(float x, float y, float z)
{
    return {Fp32(x), Fp32(y), Fp32(z)};
}

inline Quaternion quat(float w, float x, float y, float z)
{
    return {Fp32(w), Fp32(x), Fp32(y), Fp32(z)};
}

/// Rotation by angleRad about the (not necessarily unit) axis.
inline Quaternion axisAngle(float ax, float ay, float az, float angleRad)
{
    const double n = std::sqrt(double(ax) * ax + double(ay) * ay + double(az) * az);
    const double s = std::sin(angleRad / 2.0) / n;
    return quat(float(std::cos(angleRad / 2.0)), float(ax * s), float(ay * s), float(az * s));
}

/// Rotation angle (rad) between two orientations, sign of q ignored.
inline double angleBetween(const Quaternion& a, const Quaternion& b)
{
    double d = 0.0, na = 0.0, nb = 0.0;
    for (int i = 0; i < 4; ++i) {
        d += double(a[i].value()) * b[i].value();
        na += double(a[i].value()) * a[i].value();
        nb += double(b[i].value()) * b[i].value();
    }
    const double c = std::fabs(d) / std::sqrt(na * nb);
    return 2.0 * std::acos(std::fmin(1.0, c));
}

/// A world vector seen in the device frame of orientation q.
inline Vector3 deviceVector(const Quaternion& q, const Vector3& world)
{
    return sensorFusion::rotateByConjugate(q, world);
}

inline bool isFiniteUnit(const Quaternion& q, double tolerance = 1e-5)
{
    double n = 0.0;
    for (int i = 0; i < 4; ++i) {
        if (!std::isfinite(q[i].value()))
            return false;
        n += double(q[i].value()) * q[i].value();
    }
    return std::fabs(n - 1.0) < tolerance;
}

inline void expectVectorNear(const Vector3& actual, const Vector3& expected, float tolerance)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i].value(), expected[i].value(), tolerance) << "component " << i;
}

/// Unit field direction in the world frame for the inclination term d (the
/// dot product of unit gravity, straight down, and the unit field).
inline Vector3 worldField(float d)
{
    return vec(std::sqrt(1.0f - d * d), 0.0f, -d);
}

inline const Vector3 kDown = vec(0.0f, 0.0f, -1.0f);

} // namespace vnx::fusionTest
