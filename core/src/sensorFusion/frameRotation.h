#pragma once

// Small vector and frame helpers shared by the fusion building blocks. Pure
// functions over the numeric value types; nothing here keeps state or logs.

#include "numerics/numericConstants.h"
#include "numerics/qdVectorFixed.h"

namespace vnx::sensorFusion {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;

/// Vector part of q (x) (0, v) (x) q*: v carried by the rotation q.
inline Vector3 rotateByQuaternion(const Quaternion& q, const Vector3& v)
{
    const Quaternion p{Fp32(0.0f), v[0], v[1], v[2]};
    return (q * p * q.conj()).vec();
}

/// Vector part of q* (x) (0, v) (x) q: v carried by the inverse rotation,
/// e.g. a world axis expressed in the device frame that q describes.
inline Vector3 rotateByConjugate(const Quaternion& q, const Vector3& v)
{
    const Quaternion p{Fp32(0.0f), v[0], v[1], v[2]};
    return (q.conj() * p * q).vec();
}

/// Passes a computed value through the saturating conversion, so that NaN
/// and +-inf from a division or a square root become the +-2^31 "unknown"
/// marks instead of spreading through the state.
inline Fp32 saturated(Fp32 x)
{
    return Fp32(x.value());
}

/// v / |v|, each component saturated (a zero vector gives 2^31 marks, not
/// NaN). Callers test for a zero vector first where it has a meaning.
inline Vector3 normalizedSaturated(const Vector3& v)
{
    const Fp32 n = v.norm();
    return {saturated(v[0] / n), saturated(v[1] / n), saturated(v[2] / n)};
}

/// Every component's magnitude is at most the float epsilon.
inline bool isNegligible(const Vector3& v)
{
    return v.infNorm() <= Fp32(kSmallValueF);
}

} // namespace vnx::sensorFusion
