#pragma once

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "gyroBias/rsChannels.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"

namespace vnx {

/// Short-window statistics of the bias corrector: a ring of the last N
/// samples (N = 0.16 s of samples, at most 35) of the active rate channels
/// followed by acceleration x, y, z, with the spread, smallest and largest
/// value of each channel over the window.
class CalcPeak2Peak
{
    VNX_LOG_DEFAULT(CalcPeak2Peak);

  public:
    static constexpr int kMaxEntries = 35;
    /// Rate channels (2 or 3) then acceleration x, y, z.
    static constexpr int kMaxChannels = 6;

    struct Output
    {
        std::uint8_t valid = 0;    ///< the ring holds a full window
        Fp32 spread[kMaxChannels]; ///< largest - smallest
        Fp32 min[kMaxChannels];
        Fp32 max[kMaxChannels];
    };

    CalcPeak2Peak() = default;

    /// Empties the window: valid again from the N-th sample on.
    void init(const FixedPointCal::Output& cal, std::uint8_t rsChannels = kRsChannelsDefault);
    /// Stores one sample (rsChannels rates, then three accelerations) and
    /// gives the window statistics once the ring is full.
    void process(const Fp32* input, Output& out);
    /// Per rate channel the window sum times 1 / (rate x 0.16). The divisor is
    /// the nominal window length, which exceeds N when N is capped at 35.
    void calcRsMean(Fp32* mean) const;

    std::uint32_t entries() const { return entries_; }
    int channelCount() const { return rsChannels_ + 3; }

  private:
    /// Floats per ring entry: the channels padded to two vectors of four.
    static constexpr int kRingLanes = 8;

    float ring_[kMaxEntries][kRingLanes] = {};
    std::uint32_t entries_ = 1; ///< N
    std::uint16_t fill_ = 0;
    std::uint8_t position_ = 0;
    Fp32 meanScale_;
    std::uint8_t rsChannels_ = kRsChannelsDefault;
};

} // namespace vnx
