#pragma once

// Quaternions of the client's output frame (x, y, z, w) seen in the engine's
// internal frame (w, x, y, z): the output frame swaps x and y and negates z,
// so the internal quaternion is (w, y, x, -z). Values are taken as they are
// (no saturation), so NaN input reads as NaN.

#include "numerics/qdVectorFixed.h"
#include "sensorFusionMobile/mobileRecords.h"

namespace vnx::mobile {

inline qdVectorFixed::Quaternion toInternalFrame(float x, float y, float z, float w)
{
    return {Fp32::raw(w), Fp32::raw(y), Fp32::raw(x), Fp32::raw(-z)};
}

inline qdVectorFixed::Quaternion toInternalFrame(const vnx_Mobile_Quaternion_s& q)
{
    return toInternalFrame(q.x, q.y, q.z, q.w);
}

} // namespace vnx::mobile
