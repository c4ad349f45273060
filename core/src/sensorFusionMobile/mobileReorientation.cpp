#include "sensorFusionMobile/mobileReorientation.h"

#include <algorithm>
#include <cmath>

#include "numerics/fastAtan2.h"

namespace vnx::mobile {

using qdVectorFixed::Quaternion;

bool reorientationIsUsable(const vnx_Mobile_Quaternion_s& q)
{
    const double w = q.w, x = q.x, y = q.y, z = q.z;
    if (!std::isfinite(w) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return false;
    if (x == 0.0 && y == 0.0 && z == 0.0)
        return true;
    return std::sqrt(w * w + x * x + y * y + z * z) >= 1e-6;
}

bool reorientationFromClient(const vnx_Mobile_Quaternion_s& q, Quaternion& out)
{
    if (q.x == 0.0f && q.y == 0.0f && q.z == 0.0f) {
        out = Quaternion::identity();
        return false;
    }
    out = Quaternion{Fp32(q.w), Fp32(q.x), Fp32(q.y), Fp32(q.z)};
    out.renormalize();
    return true;
}

Quaternion outputReorientation(const Quaternion& configured, const vnx_Mobile_Quaternion_s& q)
{
    Quaternion wanted;
    if (!reorientationFromClient(q, wanted))
        return configured.conj();
    return configured.conj() * wanted;
}

vnx_Mobile_Quaternion_s reportedReorientation(const Quaternion& configured, const Quaternion& output)
{
    const Quaternion q = configured * output;
    return {q.x().value(), q.y().value(), q.z().value(), q.w().value()};
}

Quaternion tareAllAxes(const Quaternion& q)
{
    return q.conj();
}

Quaternion tareHeading(const Quaternion& q, const Quaternion& current)
{
    const Quaternion p = q * current;
    const float w = p.w().value(), x = p.x().value(), y = p.y().value(), z = p.z().value();
    const float pitch = std::asin(std::clamp(2.0f * (w * y - x * z), -1.0f, 1.0f));
    const float roll = atan2fMerrowind(2.0f * (w * x + y * z), 2.0f * (w * w + z * z) - 1.0f);
    const float cr = std::cos(roll * 0.5f), sr = std::sin(roll * 0.5f);
    const float cp = std::cos(pitch * 0.5f), sp = std::sin(pitch * 0.5f);
    // Roll and pitch with zero yaw (ZYX order).
    const Quaternion tilt{Fp32(cr * cp), Fp32(sr * cp), Fp32(cr * sp), Fp32(-sr * sp)};
    return q.conj() * tilt;
}

} // namespace vnx::mobile
