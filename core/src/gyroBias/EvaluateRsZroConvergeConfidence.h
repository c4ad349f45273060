#pragma once

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "gyroBias/KfRole.h"
#include "gyroBias/rsChannels.h"
#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// Grades how far one zero-rate-offset estimator has converged: a level 0-3
/// that rises with the number of consecutive updates whose estimate stays
/// close to the measured rate. Rates and estimates are indexed by channel.
class EvaluateRsZroConvergeConfidence
{
    VNX_LOG_DEFAULT(EvaluateRsZroConvergeConfidence);

  public:
    EvaluateRsZroConvergeConfidence() = default;
    /// Copies count, level and thresholds; the logger stays.
    EvaluateRsZroConvergeConfidence& operator=(const EvaluateRsZroConvergeConfidence& other);

    /// Count and level 0; thresholds of about 0.052, 0.084 and 0.24 s of
    /// close updates (7, 11 and 30 updates at 125 Hz).
    void init(const FixedPointCal::Output& cal, std::uint8_t rsChannels = kRsChannelsDefault);
    /// Count 0; the level stays.
    void reset() { count_ = 0; }
    std::uint8_t get() const { return level_; }
    /// Level = min(level, 3).
    void set(std::uint8_t level) { level_ = level < 3 ? level : 3; }

    /// One update: rate r and the updated estimate x (rad/s, per channel).
    void process(const qdVectorFixed::Vector3& r, const qdVectorFixed::Vector3& x, KfRole_e role);

    std::uint32_t count() const { return count_; }
    std::uint32_t threshold(int i) const { return threshold_[i]; }

  private:
    std::uint32_t count_ = 0; ///< consecutive close updates
    std::uint8_t level_ = 0;
    std::uint32_t threshold_[3] = {0, 0, 0}; ///< T1, T2, T3
    std::uint8_t rsChannels_ = kRsChannelsDefault;
};

} // namespace vnx
