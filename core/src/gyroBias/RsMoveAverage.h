#pragma once

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "gyroBias/rsChannels.h"
#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// Per-channel update weights 1/n of the offset estimators, and the running
/// mean and spread of the rate that seed "Main" before the short-window
/// statistics are valid.
class RsMoveAverage
{
    VNX_LOG_DEFAULT(RsMoveAverage);

  public:
    RsMoveAverage() = default;

    /// Counts and statistics 0.
    void init(const FixedPointCal::Output& cal, std::uint8_t rsChannels = kRsChannelsDefault);
    /// Counts of one second of samples (weights start small), and the next
    /// processWithStats restarts the running statistics.
    void reset();
    /// One sample: per channel count + 1 and weight 1 / count.
    void process(qdVectorFixed::Vector3& weights);
    /// Running mean and spread (largest - smallest) of v per channel, with
    /// the weights of process, which must run first.
    void processWithStats(const qdVectorFixed::Vector3& v, const qdVectorFixed::Vector3& weights,
                          qdVectorFixed::Vector3& mean, qdVectorFixed::Vector3& spread);

    std::uint32_t count(int channel) const { return count_[channel]; }

  private:
    /// Channel 0's smallest above its largest marks a pending restart.
    bool restartPending() const { return min_[0] > max_[0]; }

    std::uint32_t count_[3] = {0, 0, 0};
    qdVectorFixed::Vector3 mean_{};
    qdVectorFixed::Vector3 max_{};
    qdVectorFixed::Vector3 min_{};
    const FixedPointCal::Output* cal_ = nullptr;
    std::uint8_t rsChannels_ = kRsChannelsDefault;
};

} // namespace vnx
