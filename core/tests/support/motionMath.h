#pragma once

// Double-precision vectors and quaternions for the ground truth of generated
// motion. The truth is kept in double so that it stays far more accurate than
// the single-precision engine it is compared with, even over long traces,
// and it is computed apart from the engine's quaternion code so that a fault
// there cannot hide in the reference.
// Quaternions are (w, x, y, z), Hamilton products, body-to-world as the
// engine's: v_world = q (x) v_body (x) q*.

#include <array>
#include <cmath>

namespace vnx::testsupport {

using Vec3d = std::array<double, 3>;
/// w, x, y, z.
using Quatd = std::array<double, 4>;

inline constexpr Quatd kIdentityQuat{1.0, 0.0, 0.0, 0.0};

inline double dot(const Vec3d& a, const Vec3d& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline double norm(const Vec3d& v)
{
    return std::sqrt(dot(v, v));
}

inline Vec3d cross(const Vec3d& a, const Vec3d& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

inline Vec3d scaled(const Vec3d& v, double s)
{
    return {v[0] * s, v[1] * s, v[2] * s};
}

inline Vec3d added(const Vec3d& a, const Vec3d& b)
{
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

inline Quatd multiply(const Quatd& a, const Quatd& b)
{
    return {a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3],
            a[0] * b[1] + a[1] * b[0] + a[2] * b[3] - a[3] * b[2],
            a[0] * b[2] - a[1] * b[3] + a[2] * b[0] + a[3] * b[1],
            a[0] * b[3] + a[1] * b[2] - a[2] * b[1] + a[3] * b[0]};
}

inline Quatd conjugate(const Quatd& q)
{
    return {q[0], -q[1], -q[2], -q[3]};
}

inline Quatd normalized(const Quatd& q)
{
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    return {q[0] / n, q[1] / n, q[2] / n, q[3] / n};
}

/// Rotation by `angleRad` about the unit vector `axis` (right-handed).
inline Quatd axisAngle(const Vec3d& axis, double angleRad)
{
    const double s = std::sin(0.5 * angleRad);
    return {std::cos(0.5 * angleRad), axis[0] * s, axis[1] * s, axis[2] * s};
}

/// Body vector in world axes: q (x) v (x) q*.
inline Vec3d bodyToWorld(const Quatd& q, const Vec3d& v)
{
    const Quatd r = multiply(multiply(q, {0.0, v[0], v[1], v[2]}), conjugate(q));
    return {r[1], r[2], r[3]};
}

/// World vector in body axes: q* (x) v (x) q.
inline Vec3d worldToBody(const Quatd& q, const Vec3d& v)
{
    return bodyToWorld(conjugate(q), v);
}

} // namespace vnx::testsupport
