#pragma once

// Builders for the accelerometer calibration tests: vectors, orientations
// and the specific force a resting accelerometer measures.

#include <cmath>
#include <string>

#include "common/NodeManager.h"
#include "log/Logger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx::accTest {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;

constexpr double kG = 9.80665;
constexpr double kDeg = M_PI / 180.0;

inline Vector3 vec(double x, double y, double z)
{
    return {Fp32(float(x)), Fp32(float(y)), Fp32(float(z))};
}

/// Rotation (body to world) by angleRad about the unit axis.
inline Quaternion axisAngle(double ax, double ay, double az, double angleRad)
{
    const double s = std::sin(angleRad / 2.0);
    return {Fp32(float(std::cos(angleRad / 2.0))), Fp32(float(ax * s)), Fp32(float(ay * s)),
            Fp32(float(az * s))};
}

/// What a resting accelerometer of orientation q measures: the upward
/// specific force g (world z up) in the body frame, conj(q) (0, 0, g) q.
inline Vector3 restingAcceleration(const Quaternion& q)
{
    const double w = q.w().value(), x = q.x().value(), y = q.y().value(), z = q.z().value();
    // Third row of the rotation matrix, body to world, read as a column.
    return vec(kG * 2.0 * (x * z - w * y), kG * 2.0 * (y * z + w * x), kG * (1.0 - 2.0 * (x * x + y * y)));
}

inline double distance(const Vector3& a, const Vector3& b)
{
    double s = 0.0;
    for (int i = 0; i < 3; ++i) {
        const double d = double(a[i].value()) - b[i].value();
        s += d * d;
    }
    return std::sqrt(s);
}

/// Block name of the logger node `path` ("(none)" when there is none).
inline std::string blockOfLogger(const char* path)
{
    NodeInterface* node = NodeManager::getInstance().getNode(path);
    if (node == nullptr || node->getNodeType() != NodeInterface::NODE_LOG)
        return "(none)";
    return static_cast<const log::Logger*>(**node)->getBlockName();
}

} // namespace vnx::accTest
