#include "gyroBias/CalcPeak2Peak.h"

#include "gyroBias/windowRounding.h"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

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
            entry[ch] = 0.0f;
}

void CalcPeak2Peak::process(const Fp32* input, Output& out)
{
    const int channels = channelCount();
    for (int ch = 0; ch < channels; ++ch)
        ring_[position_][ch] = input[ch].value();
    if (++position_ >= entries_)
        position_ = 0;

    if (fill_ < entries_) {
        out.valid = 0;
        ++fill_;
        return;
    }
    out.valid = 1;
    // Runs per sample over the whole window: every lane of an entry (lanes
    // past the channels are never read), with the selects v > hi ? v : hi and
    // v < lo ? v : lo, which are exactly what the vector max and min compute.
    // A NaN entry is passed over, as no comparison admits it.
    float lo[kRingLanes];
    float hi[kRingLanes];
#if defined(__SSE__)
    __m128 lo0 = _mm_loadu_ps(&ring_[0][0]), lo1 = _mm_loadu_ps(&ring_[0][4]);
    __m128 hi0 = lo0, hi1 = lo1;
    for (std::uint32_t i = 1; i < entries_; ++i) {
        const __m128 v0 = _mm_loadu_ps(&ring_[i][0]);
        const __m128 v1 = _mm_loadu_ps(&ring_[i][4]);
        hi0 = _mm_max_ps(v0, hi0);
        hi1 = _mm_max_ps(v1, hi1);
        lo0 = _mm_min_ps(v0, lo0);
        lo1 = _mm_min_ps(v1, lo1);
    }
    _mm_storeu_ps(&lo[0], lo0);
    _mm_storeu_ps(&lo[4], lo1);
    _mm_storeu_ps(&hi[0], hi0);
    _mm_storeu_ps(&hi[4], hi1);
#else
    for (int ch = 0; ch < kRingLanes; ++ch)
        lo[ch] = hi[ch] = ring_[0][ch];
    for (std::uint32_t i = 1; i < entries_; ++i) {
        for (int ch = 0; ch < kRingLanes; ++ch) {
            const float v = ring_[i][ch];
            hi[ch] = v > hi[ch] ? v : hi[ch];
            lo[ch] = v < lo[ch] ? v : lo[ch];
        }
    }
#endif
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
            sum += Fp32::raw(ring_[i][c]);
        mean[c] = sum * meanScale_;
    }
}

} // namespace vnx
