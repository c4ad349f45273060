#include "activity/DetectorReorientation.h"

#include <cmath>

#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr int kQuaternionQ = 14;
constexpr float kNormSquaredLow = 0.9999999f;
constexpr float kNormSquaredHigh = 1.0000001f;

} // namespace

void DetectorReorientation::set(const std::int16_t* xyzwQ14)
{
    x_ = fptToFloat32(xyzwQ14[0], kQuaternionQ);
    y_ = fptToFloat32(xyzwQ14[1], kQuaternionQ);
    z_ = fptToFloat32(xyzwQ14[2], kQuaternionQ);
    w_ = fptToFloat32(xyzwQ14[3], kQuaternionQ);
    set_ = x_ != 0.0f || y_ != 0.0f || z_ != 0.0f;
    if (!set_) {
        w_ = 1;
        return;
    }
    const float normSquared = w_ * w_ + x_ * x_ + y_ * y_ + z_ * z_;
    if (normSquared < kNormSquaredLow || normSquared > kNormSquaredHigh) {
        const float inverse = 1.0f / std::sqrt(normSquared);
        w_ *= inverse;
        x_ *= inverse;
        y_ *= inverse;
        z_ *= inverse;
    }
}

void DetectorReorientation::rotate(const float* v, float* out) const
{
    if (!set_) {
        for (int k = 0; k < 3; ++k)
            out[k] = v[k];
        return;
    }
    // v' = v + 2w (q x v) + 2 q x (q x v), q the vector part.
    const float tx = 2.0f * (y_ * v[2] - z_ * v[1]);
    const float ty = 2.0f * (z_ * v[0] - x_ * v[2]);
    const float tz = 2.0f * (x_ * v[1] - y_ * v[0]);
    const float rx = v[0] + w_ * tx + (y_ * tz - z_ * ty);
    const float ry = v[1] + w_ * ty + (z_ * tx - x_ * tz);
    const float rz = v[2] + w_ * tz + (x_ * ty - y_ * tx);
    out[0] = rx;
    out[1] = ry;
    out[2] = rz;
}

} // namespace vnx::activity
