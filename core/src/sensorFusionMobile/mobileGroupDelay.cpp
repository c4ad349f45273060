#include "sensorFusionMobile/mobileGroupDelay.h"

#include "numerics/numericConstants.h"

namespace vnx::mobile {

namespace {

// Gyroscope error (rad/s) above which the delay limits shrink.
constexpr float kErrorForFullDelay = 0.22f;
// Relative growth of a positive delay per step.
constexpr float kGrowth = 1.01f;

} // namespace

bool GroupDelay::isSettled() const
{
    return abs(delayS - settledS) <= Fp32(kSmallValueF);
}

GroupDelayInput_e updateGroupDelay(GroupDelay& g, const GroupDelayStep& step)
{
    const Fp32 halfStep = step.stepS >> 1;
    const Fp32 before = g.delayS;
    Fp32 d = g.delayS;

    if (step.intervalUs >= kGroupDelayGapUs) {
        d = -halfStep;
        g.state = GroupDelay::kGrowingAfterGap;
    }
    if (step.disturbed) {
        d = step.disturbedDelayS;
        g.state = GroupDelay::kGrowingAfterDisturbance;
    }

    const bool settledState = g.state == GroupDelay::kStill || g.state == GroupDelay::kSettled;
    if (settledState && step.motion) {
        g.state = GroupDelay::kAtLimit;
    } else if (!settledState && step.still) {
        // A still window: its mean is as good as a long filter, at once.
        g.state = GroupDelay::kStill;
        g.delayS = g.settledS - Fp32(kSmallValueF);
        g.coefficient = Fp32(0.0f);
        return GroupDelayInput_e::kStillMean;
    }

    switch (g.state) {
    case GroupDelay::kGrowingAfterGap:
    case GroupDelay::kGrowingAfterDisturbance:
        if (d > Fp32(0.0f))
            d = d * Fp32(kGrowth);
        d = min(d + halfStep, step.limitS);
        if (d == step.limitS)
            g.state = GroupDelay::kAtLimit;
        break;
    case GroupDelay::kStill:
    case GroupDelay::kSettled:
        d = g.settledS;
        break;
    default:
        d = step.limitS;
        break;
    }

    g.delayS = d;
    if (d == before)
        return GroupDelayInput_e::kCurrent;
    if (d > Fp32(0.0f)) {
        const Fp32 half = d >> 1;
        g.coefficient = -half / (step.stepS + half);
        return GroupDelayInput_e::kCurrent;
    }
    g.coefficient = Fp32(0.0f);
    return GroupDelayInput_e::kRestartCurrent;
}

Fp32 accelerometerDelayLimit(Fp32 gyroErrorRadPerS)
{
    if (gyroErrorRadPerS > Fp32(kErrorForFullDelay))
        return max(Fp32(1.0f), Fp32(0.44f) / gyroErrorRadPerS);
    return Fp32(2.0f);
}

Fp32 magnetometerDelayLimit(Fp32 gyroErrorRadPerS)
{
    if (gyroErrorRadPerS > Fp32(kErrorForFullDelay))
        return Fp32(0.22f) / gyroErrorRadPerS;
    return Fp32(1.0f);
}

} // namespace vnx::mobile
