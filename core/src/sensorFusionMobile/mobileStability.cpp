#include "sensorFusionMobile/mobileStability.h"

namespace vnx::mobile {

namespace {

// A still window must weigh more than this to count as steady.
constexpr float kSteadyWindowWeight = 0.01f;

} // namespace

std::uint8_t updateStabilityClassification(std::uint8_t previous, const StabilityInputs& in)
{
    if (in.stationary)
        return 1;
    if (in.detectorStable)
        return previous == 1 ? 1 : 3;
    if (in.motion)
        return 4;
    switch (previous) {
    case 1:
    case 2:
        return previous;
    case 3:
        return 4;
    default:
        return in.windowReported && in.windowWeight > Fp32(kSteadyWindowWeight) ? 2 : previous;
    }
}

} // namespace vnx::mobile
