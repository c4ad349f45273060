#include "cursorBlocks/OutputConditioningMin.h"

#include <cmath>

namespace vnx {

namespace {

// Below this squared rate (0.02 rad/s) the hand is taken as still.
constexpr float kStillRateSquared = 0.0004f;

// One axis: scaled value plus the carried fraction, limited to +-127 counts.
// Motion beyond the limit is dropped, so the residual never grows past it.
std::int16_t quantise(float scaled, float& residual)
{
    const float v = scaled + residual;
    constexpr float kMax = static_cast<float>(OutputConditioningMin::kMaxCount);
    if (v > kMax) {
        residual = 0.0f;
        return OutputConditioningMin::kMaxCount;
    }
    if (v < -kMax) {
        residual = 0.0f;
        return -OutputConditioningMin::kMaxCount;
    }
    if (v != v) {
        // A NaN sample moves nothing and must not stay in the residual, where
        // it would freeze the axis for good.
        residual = 0.0f;
        return 0;
    }
    float count = std::floor(v);
    if (v < 0.0f)
        count += 1.0f;
    residual = v - count;
    return static_cast<std::int16_t>(count);
}

} // namespace

void OutputConditioningMin::init(Fp32 pointerScaleFactor)
{
    pointerScaleFactor_ = pointerScaleFactor;
    residualX_ = 0.0f;
    residualY_ = 0.0f;
}

void OutputConditioningMin::setPointerScaleFactor(Fp32 pointerScaleFactor)
{
    pointerScaleFactor_ = pointerScaleFactor;
}

float OutputConditioningMin::nonlinearFactor(float rateSquared)
{
    if (rateSquared <= kStillRateSquared)
        return 0.0f;
    const float r = std::sqrt(rateSquared);
    if (r <= 0.1392f)
        return 1305.8608f * r * r * r - 338.73627f * r * r + 31.455677f * r - 0.50406593f;
    if (r < 0.1457f)
        return 116357.04f * r * r * r - 50657.41f * r * r + 7352.2583f * r - 354.87228f;
    return 1.0f - 0.02f / r;
}

void OutputConditioningMin::process(std::uint16_t flags, Fp32 gainParameter, std::uint32_t sampleCount,
                                    const Fp32 rate[2], const Fp32 spread[2], Output& out)
{
    const Fp32 g(gainParameter.value() * kCountsPerRadian); // saturates into +-2^31
    const float x = rate[0].value();
    const float y = rate[1].value();
    const float rateSquared = x * x + y * y;

    float k;
    if (flags & kNonlinearGain)
        k = g.value() * nonlinearFactor(rateSquared);
    else
        k = rateSquared > kStillRateSquared ? g.value() : 0.0f;
    k *= pointerScaleFactor_.value();
    if (sampleCount < 2)
        k *= static_cast<float>(sampleCount);

    out.scaledX = x * k;
    out.scaledY = y * k;
    out.scaledSpread0 = spread[0].value() * k;
    out.scaledSpread1 = spread[1].value() * k;
    out.countX = quantise(out.scaledX, residualX_);
    out.countY = quantise(out.scaledY, residualY_);
}

} // namespace vnx
