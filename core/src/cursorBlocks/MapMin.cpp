#include "cursorBlocks/MapMin.h"

#include <cmath>

#include "common/NodeManager.h"

namespace vnx {

namespace {

float clampRate(float rate)
{
    const float upper = rate < MapMin::kRateLimit ? rate : MapMin::kRateLimit;
    return upper > -MapMin::kRateLimit ? upper : -MapMin::kRateLimit;
}

} // namespace

MapMin::MapMin()
{
    NodeManager::getInstance().addNode(this, &conditioning_, NodeInterface::NODE_SUBNODE,
                                       "OutputConditioning");
}

MapMin::~MapMin()
{
    NodeManager::getInstance().removeNode(&conditioning_);
}

void MapMin::init()
{
    pointingState_ = 1;
}

void MapMin::process(std::uint16_t flags, std::uint16_t, const Fp32 rate[2], const Fp32 spread[2],
                     const qdVectorFixed::quaternion<float>& q, Output& out)
{
    out.word = 0;
    if (!(flags & kEnable))
        return;

    const float w = q.e[0], x = q.e[1], y = q.e[2], z = q.e[3];
    const float sinPitch = 2.0f * (-z * x - w * y);
    const float s = sinPitch * sinPitch;
    if (s >= kVerticalEnter)
        pointingState_ = 0;
    else if (s <= kVerticalLeave)
        pointingState_ = 1;
    out.pointingState = pointingState_;

    float a = clampRate(rate[1].value());
    float b = clampRate(rate[0].value());
    float e = spread[0].value();
    float f = spread[1].value();

    if ((flags & kRollCompensation) && pointingState_ == 1) {
        const float m = 2.0f * (w * x - z * y);
        const float n = 2.0f * (x * x + y * y) - 1.0f;
        const float k = 1.0f / std::sqrt(m * m + n * n);
        const float c = n * k;
        const float t = m * k;
        float a2 = -(a * c + b * t);
        const float b2 = -(b * c - a * t);
        const float f2 = std::sqrt(t * t * e * e + c * c * f * f);
        const float e2 = std::sqrt(c * c * e * e);
        if (flags & kPitchScale)
            a2 = Fp32(a2 / std::sqrt(1.0f - s)).value(); // clamped to +-2^31
        a = a2;
        b = b2;
        e = e2;
        f = f2;
    }

    out.rateA = a;
    out.rateB = -b;
    out.spreadB = f;
    out.spreadA = e;
}

} // namespace vnx
