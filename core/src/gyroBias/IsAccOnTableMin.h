#pragma once

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "gyroBias/CalcPeak2Peak.h"
#include "gyroBias/rsChannels.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"

namespace vnx {

/// Tells a device lying on a table from one held in the hand: every window
/// of the short-window statistics must stay within per-channel limits (an
/// unwatched accelerometer within looser ones), and the watched channels
/// (acceleration when the gyroscope is too noisy to judge, else the rates)
/// must keep their spread over a longer run of windows. While the device stays still it answers true once
/// every 50 - W samples (W = 0.16 s of samples).
class IsAccOnTableMin
{
    VNX_LOG_DEFAULT(IsAccOnTableMin);

  public:
    IsAccOnTableMin() = default;

    void init(const FixedPointCal::Output& cal, std::uint8_t rsChannels = kRsChannelsDefault);
    void reset() { counter_ = 0; }
    /// stats: the window statistics; input: the sample they were built from
    /// (rates, then acceleration x, y, z).
    bool process(const CalcPeak2Peak::Output& stats, const Fp32* input);
    /// Widens the running smallest and largest of the first n watched
    /// channels by the given values.
    void evaAndUpdateBuffer(const Fp32* smallest, const Fp32* largest, int n);

    Fp32 limit(int channel) const { return limit_[channel]; }
    bool accelerationWatched() const { return accWatched_ != 0; }
    std::uint32_t window() const { return window_; }

  private:
    /// First statistics channel and count of the watched channels.
    int watchedFirst() const { return accWatched_ ? rsChannels_ : 0; }
    int watchedCount() const { return accWatched_ ? 3 : rsChannels_; }

    std::uint32_t counter_ = 0;
    Fp32 limit_[CalcPeak2Peak::kMaxChannels]; ///< per statistics channel
    Fp32 runMin_[3];
    Fp32 runMax_[3];
    std::uint8_t accWatched_ = 0;
    std::uint32_t window_ = 0; ///< W, samples
    std::uint8_t rsChannels_ = kRsChannelsDefault;
};

} // namespace vnx
