#include "gyroBias/CalcPeak2Peak.h"

#include "gyroBias/windowRounding.h"

namespace vnx {

namespace {

// Window of the statistics, in seconds.
constexpr float kWindowS = 0.16f;

} // namespace

void CalcPeak2Peak::init(const FixedPointCal::Output& cal, std::uint8_t rsChannels)
{
    rsChannels_ = clampRsChannels(rsChannels);
    fill_ = 1;
    position_ = 0;
    const float window = cal.rate * kWindowS;
    const std::int32_t n = roundWindowLength(window);
    // At least one entry, so a very low rate cannot leave the ring empty.
    entries_ = n < 1 ? 1u : (n > kMaxEntries ? kMaxEntries : static_cast<std::uint32_t>(n));
    meanScale_ = Fp32(1.0f) / Fp32(window);
    const int channels = channelCount();
    for (auto& entry : ring_)
        for (int ch = 0; ch < channels; ++ch)
            entry[ch] = Fp32(0.0f);
}

void CalcPeak2Peak::process(const Fp32* input, Output& out)
{
    const int channels = channelCount();
    for (int ch = 0; ch < channels; ++ch)
        ring_[position_][ch] = input[ch];
    if (++position_ >= entries_)
        position_ = 0;

    if (fill_ < entries_) {
        out.valid = 0;
        ++fill_;
        return;
    }
    out.valid = 1;
    // Runs per sample over the whole window: plain floats and branch-free
    // selects, entry by entry, so the compiler keeps all channels in
    // registers. A NaN entry is passed over, as no comparison admits it.
    float lo[kMaxChannels];
    float hi[kMaxChannels];
    for (int ch = 0; ch < channels; ++ch)
        lo[ch] = hi[ch] = ring_[0][ch].value();
    for (std::uint32_t i = 1; i < entries_; ++i) {
        for (int ch = 0; ch < channels; ++ch) {
            const float v = ring_[i][ch].value();
            hi[ch] = v > hi[ch] ? v : hi[ch];
            lo[ch] = v < lo[ch] ? v : lo[ch];
        }
    }
    for (int ch = 0; ch < channels; ++ch) {
        out.min[ch] = Fp32::raw(lo[ch]);
        out.max[ch] = Fp32::raw(hi[ch]);
        out.spread[ch] = out.max[ch] - out.min[ch];
    }
}

void CalcPeak2Peak::calcRsMean(Fp32* mean) const
{
    for (int c = 0; c < rsChannels_; ++c) {
        Fp32 sum(0.0f);
        for (std::uint32_t i = 0; i < entries_; ++i)
            sum += ring_[i][c];
        mean[c] = sum * meanScale_;
    }
}

} // namespace vnx
