#pragma once

// Accuracy figures of an orientation estimate against the truth of a
// generated trace. Quaternions are body to world (w, x, y, z); neither needs
// to be of unit length, and q and -q count as the same orientation.

#include "numerics/qdVectorFixed.h"
#include "support/motionMath.h"

namespace vnx::testsupport {

/// Tilt error in radians, [0, pi]: the angle between the true and the
/// estimated direction of gravity in the body, whatever the heading.
double inclinationError(const Quatd& truth, const Quatd& estimate);
double inclinationError(const Quatd& truth, const qdVectorFixed::Quaternion& estimate);

/// Heading error in radians, (-pi, pi]: the rotation about the world's
/// vertical that the estimate has gained over the truth (positive
/// counter-clockwise seen from above), tilt error left out.
double headingDrift(const Quatd& truth, const Quatd& estimate);
double headingDrift(const Quatd& truth, const qdVectorFixed::Quaternion& estimate);

/// The engine's single-precision quaternion in double.
Quatd toQuatd(const qdVectorFixed::Quaternion& q);

} // namespace vnx::testsupport
