#include <cmath>

#include "cursorFilters/adjustVelocity2d.h"
#include "numerics/fixedPoint.h"

namespace {

// Below this length a velocity or a distance has no direction.
constexpr float kNoDirection = 1e-7f;

constexpr int kPointFractionBits = 19;
constexpr int kVelocityFractionBits = 24;
constexpr int kScaleFractionBits = 29;
constexpr int kAngleFractionBits = 28;
constexpr int kOutputFractionBits = 22;

} // namespace

extern "C" {

bool adjustVeloctiy2d(const float p0[2], const float v[2], const float p1[2], float minScale, float maxScale,
                      float maxAngle, float out[2])
{
    out[0] = v[0];
    out[1] = v[1];
    float vx = v[0];
    float vy = v[1];
    const float speed = std::sqrt(vx * vx + vy * vy);
    if (speed <= kNoDirection)
        return true;
    const float dx = p1[0] - p0[0];
    const float dy = p1[1] - p0[1];
    const float distance = std::sqrt(dx * dx + dy * dy);
    if (distance <= kNoDirection)
        return true;

    if (maxAngle != 0.0f) {
        const float cosine = (vx * dx + vy * dy) / (speed * distance);
        const float angle = (cosine >= -1.0f && cosine <= 1.0f) ? std::acos(cosine) : 0.0f;
        float turn = angle < maxAngle ? angle : maxAngle;
        if (vx * dy - vy * dx < 0.0f)
            turn = -turn;
        const float c = std::cos(turn);
        const float s = std::sin(turn);
        const float rx = vx * c - vy * s;
        const float ry = vx * s + vy * c;
        vx = rx;
        vy = ry;
    }

    float scale = (vx * dx + vy * dy) / (vx * vx + vy * vy);
    if (scale < minScale)
        scale = minScale;
    if (scale > maxScale)
        scale = maxScale;
    out[0] = vx * scale;
    out[1] = vy * scale;
    return true;
}

int vxcAdjustVelocity2d(const int32_t p0[2], const int32_t v[2], const int32_t p1[2], int32_t minScale,
                        int32_t maxScale, int32_t maxAngle, int32_t out[2])
{
    const float start[2] = {vnx::fptToFloat32(p0[0], kPointFractionBits),
                            vnx::fptToFloat32(p0[1], kPointFractionBits)};
    const float velocity[2] = {vnx::fptToFloat32(v[0], kVelocityFractionBits),
                               vnx::fptToFloat32(v[1], kVelocityFractionBits)};
    const float target[2] = {vnx::fptToFloat32(p1[0], kPointFractionBits),
                             vnx::fptToFloat32(p1[1], kPointFractionBits)};
    float adjusted[2];
    adjustVeloctiy2d(start, velocity, target, vnx::fptToFloat32(minScale, kScaleFractionBits),
                     vnx::fptToFloat32(maxScale, kScaleFractionBits),
                     vnx::fptToFloat32(maxAngle, kAngleFractionBits), adjusted);
    out[0] = vnx::fptToFixed32(adjusted[0], kOutputFractionBits, true, false);
    out[1] = vnx::fptToFixed32(adjusted[1], kOutputFractionBits, true, false);
    return 1;
}

} // extern "C"
