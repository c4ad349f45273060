#pragma once

// Integration error scale k of the mobile fusion engine: how much process
// noise the weighted fusions add per unit of integrated rotation. Each still
// comparison of the gyro-integrated frame with gravity either raises k (the
// frames drifted apart by a clear fraction of the rotation integrated since
// the last comparison) or lets it relax toward its default. Pure function.

#include "numerics/FloatingPoint.h"

namespace vnx::mobile {

/// k before anything is learned (also its relaxation target).
inline constexpr float kDefaultIntegrationErrorScale = 30.0f;
/// Largest k learning can reach.
inline constexpr float kMaxIntegrationErrorScale = 4095.9f;

/// The new k after one still comparison: deviationRad between the frames,
/// angleRad of rotation integrated since the previous comparison.
Fp32 updateIntegrationErrorScale(Fp32 k, Fp32 deviationRad, Fp32 angleRad);

} // namespace vnx::mobile
