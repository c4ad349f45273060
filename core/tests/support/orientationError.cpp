#include "support/orientationError.h"

#include <cmath>
#include <numbers>

namespace vnx::testsupport {

namespace {

/// The world's vertical seen in the body.
Vec3d verticalInBody(const Quatd& q)
{
    return worldToBody(normalized(q), {0.0, 0.0, 1.0});
}

} // namespace

Quatd toQuatd(const qdVectorFixed::Quaternion& q)
{
    return {q[0].value(), q[1].value(), q[2].value(), q[3].value()};
}

double inclinationError(const Quatd& truth, const Quatd& estimate)
{
    const Vec3d a = verticalInBody(truth);
    const Vec3d b = verticalInBody(estimate);
    // atan2 keeps small angles accurate where acos of the dot product would not.
    return std::atan2(norm(cross(a, b)), dot(a, b));
}

double inclinationError(const Quatd& truth, const qdVectorFixed::Quaternion& estimate)
{
    return inclinationError(truth, toQuatd(estimate));
}

double headingDrift(const Quatd& truth, const Quatd& estimate)
{
    // World-frame error e with estimate = e (x) truth; its twist about the
    // vertical is the heading part whichever way the tilt part is split off.
    const Quatd e = multiply(normalized(estimate), conjugate(normalized(truth)));
    double angle = 2.0 * std::atan2(e[3], e[0]); // (-2 pi, 2 pi]
    if (angle > std::numbers::pi)
        angle -= 2.0 * std::numbers::pi;
    if (angle <= -std::numbers::pi)
        angle += 2.0 * std::numbers::pi;
    return angle;
}

double headingDrift(const Quatd& truth, const qdVectorFixed::Quaternion& estimate)
{
    return headingDrift(truth, toQuatd(estimate));
}

} // namespace vnx::testsupport
