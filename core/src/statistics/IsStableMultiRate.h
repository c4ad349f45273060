#pragma once

// No-motion detector for streams of any rate: accumulates the elapsed time
// while every component of a watched 3-vector stays below a threshold and
// reports stillness once the required time has passed.

#include <cstdint>

#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

class IsStableMultiRate
{
    // These detectors log in the block of the weighted fusion they serve.
    VNX_LOG_DEFAULT_BLOCK("vnx_core_SensorFusionWeightedFusion");

  public:
    IsStableMultiRate() = default;

    /// requiredS: seconds of stillness; threshold: in the unit of the watched
    /// vector. Restarts the accumulated time.
    void init(std::int16_t requiredS, FloatingPoint<float> threshold);

    /// elapsedUs: time since the previous call; a gap above 0.25 s restarts
    /// the accumulation. A component of exactly -2^31 (a missing value)
    /// counts as motion. The accumulated time stops at the required time.
    void process(std::uint32_t elapsedUs, const qdVectorFixed::vector<FloatingPoint<float>, 3>& v,
                 bool* event);

    bool getIsStable() const { return accumulatedS_ >= requiredS_; }

    float accumulatedS() const { return accumulatedS_; }

  private:
    FloatingPoint<float> threshold_{};
    float accumulatedS_ = 0.0f;
    float requiredS_ = 0.0f;
};

} // namespace vnx
