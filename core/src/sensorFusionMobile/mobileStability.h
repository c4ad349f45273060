#pragma once

// Stability classification of the mobile fusion engine: 1 at rest (on a
// table), 3 held still, 4 in motion, 2 steady again after motion, 0 not yet
// known. Pure function of the previous class and the detectors' flags.

#include <cstdint>

#include "numerics/FloatingPoint.h"

namespace vnx::mobile {

struct StabilityInputs
{
    bool stationary;     ///< the zero-rate estimator sees a device at rest
    bool detectorStable; ///< the rate-based stability detector (its previous pass)
    bool motion;         ///< the stillness detector saw motion
    bool windowReported; ///< the stillness detector reported a still window
    Fp32 windowWeight;   ///< weight of that window
};

std::uint8_t updateStabilityClassification(std::uint8_t previous, const StabilityInputs& in);

} // namespace vnx::mobile
