#pragma once

// The frame of every output of the mobile fusion engine. The engine runs in
// the sensor frame after the configured reorientation; a vector goes out
// through the inverse of the effective output reorientation R, then with its
// x and y axes swapped and z negated. Quaternions go out as q (x) R in the
// same axis order, with w >= 0. Pure functions.

#include "numerics/qdVectorFixed.h"

namespace vnx::mobile {

/// v carried by the inverse of R (w, x, y, z): 2 (r.v) r + 2 w (w v - r x v) - v.
/// R with w exactly 1 leaves v as it is.
qdVectorFixed::Vector3 unrotate(const qdVectorFixed::Quaternion& r, const qdVectorFixed::Vector3& v);

/// Writes v in the output frame into out[0..2].
void writeVector(const qdVectorFixed::Quaternion& r, const qdVectorFixed::Vector3& v, float* out);
/// Writes q (w, x, y, z) in the output frame as x, y, z, w into out[0..3].
void writeQuaternion(const qdVectorFixed::Quaternion& r, const qdVectorFixed::Quaternion& q, float* out);

} // namespace vnx::mobile
