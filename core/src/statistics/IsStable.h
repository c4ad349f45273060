#pragma once

// No-motion detector that counts consecutive samples its caller declares not
// moving and reports stillness once `timeS` seconds' worth of samples at the
// given rate have passed.

#include <cstdint>

#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"

namespace vnx {

class IsStable
{
    // These detectors log in the block of the weighted fusion they serve.
    VNX_LOG_DEFAULT_BLOCK("vnx_core_SensorFusionWeightedFusion");

  public:
    IsStable() = default;

    /// rateHz: sample rate; timeS: how long the caller must stay still.
    /// Restarts the count.
    void init(FloatingPoint<float> rateHz, std::uint16_t timeS);

    /// a: the sample-number step since the previous call; b: the caller's
    /// unit (1). While both moving flags are 0 and maximum gap * a >= b the
    /// count grows by b / a rounded to nearest: with b = 1 a step of 1 or 2
    /// (one lost sample) adds 1, a longer step adds 0. A zero step or a
    /// moving flag restarts the count.
    void process(std::uint32_t a, std::uint32_t b, std::int16_t moving1, std::int16_t moving2, bool* stable);

    bool getIsStable() const { return counter_ >= requiredCount_; }

    std::uint32_t counter() const { return counter_; }
    std::uint32_t requiredCount() const { return requiredCount_; }
    std::uint32_t maximumGap() const { return maximumGap_; }

  private:
    std::uint32_t counter_ = 0;
    std::uint32_t requiredCount_ = 0;
    std::uint32_t maximumGap_ = 0;
};

} // namespace vnx
