#include "sensorFusionMobile/mobileOutputFrame.h"

namespace vnx::mobile {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;

namespace {

// An identity reorientation costs nothing per output.
bool isIdentity(const Quaternion& r)
{
    return r.w() == Fp32(1.0f);
}

} // namespace

Vector3 unrotate(const Quaternion& r, const Vector3& v)
{
    if (isIdentity(r))
        return v;
    const Vector3 axis = r.vec();
    const Fp32 w = r.w();
    const Fp32 two(2.0f);
    return two * dot(axis, v) * axis + two * w * (w * v - qdVectorFixed::cross(axis, v)) - v;
}

void writeVector(const Quaternion& r, const Vector3& v, float* out)
{
    const Vector3 u = unrotate(r, v);
    out[0] = u[1].value();
    out[1] = u[0].value();
    out[2] = -u[2].value();
}

void writeQuaternion(const Quaternion& r, const Quaternion& q, float* out)
{
    Quaternion p = q.w() < Fp32(0.0f) ? -q : q;
    if (!isIdentity(r))
        p = p * r;
    float x = p.y().value();
    float y = p.x().value();
    float z = -p.z().value();
    float w = p.w().value();
    if (w < 0.0f) {
        x = -x;
        y = -y;
        z = -z;
        w = -w;
    }
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = w;
}

} // namespace vnx::mobile
