#include "statistics/IsStable.h"

#include <cmath>
#include <limits>

namespace vnx {

namespace {

/// floor(x) as an unsigned count, clamped to the 32-bit range (an unknown
/// rate of 2^31 must not overflow the conversion).
std::uint32_t floorToCount(float x)
{
    const float f = std::floor(x);
    if (!(f > 0.0f))
        return 0;
    if (f >= 4294967296.0f)
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(f);
}

} // namespace

void IsStable::init(FloatingPoint<float> rateHz, std::uint16_t timeS)
{
    const float time = static_cast<float>(timeS);
    requiredCount_ = floorToCount(time * rateHz.value());
    // The tolerated sample-number step is 5 % of the required run.
    maximumGap_ = floorToCount(time * 0.05f * rateHz.value());
    counter_ = 0;
}

void IsStable::process(std::uint32_t a, std::uint32_t b, std::int16_t moving1, std::int16_t moving2,
                       bool* stable)
{
    // a == 0 restarts the count: it would divide by zero below, and a
    // repeated sample number is no evidence of stillness.
    if (a != 0 && maximumGap_ * a >= b && moving1 == 0 && moving2 == 0) {
        const std::uint32_t step = (a / 2 + b) / a;
        const std::uint32_t room = std::numeric_limits<std::uint32_t>::max() - counter_;
        // Saturate: a wrapped counter would report motion after years of rest.
        counter_ += step < room ? step : room;
    } else {
        counter_ = 0;
    }
    *stable = getIsStable();
}

} // namespace vnx
