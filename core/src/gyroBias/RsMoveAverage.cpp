#include "gyroBias/RsMoveAverage.h"

#include <cmath>

namespace vnx {

void RsMoveAverage::init(const FixedPointCal::Output& cal, std::uint8_t rsChannels)
{
    cal_ = &cal;
    rsChannels_ = clampRsChannels(rsChannels);
    for (int c = 0; c < 3; ++c) {
        count_[c] = 0;
        mean_[c] = max_[c] = min_[c] = Fp32(0.0f);
    }
}

void RsMoveAverage::reset()
{
    const float rate = cal_ != nullptr ? std::floor(cal_->rate) : 0.0f;
    const std::uint32_t oneSecond =
        rate > 0.0f ? (rate < 4294967295.0f ? static_cast<std::uint32_t>(rate) : 0xFFFFFFFFu) : 0u;
    for (int c = 0; c < 3; ++c)
        count_[c] = oneSecond;
    max_[0] = Fp32(1.0f);
    min_[0] = Fp32(2.0f);
}

void RsMoveAverage::process(qdVectorFixed::Vector3& weights)
{
    for (int c = 0; c < rsChannels_; ++c) {
        if (count_[c] != 0xFFFFFFFFu)
            ++count_[c]; // a wrap to 0 would give an infinite weight
        weights[c] = Fp32(1.0f) / Fp32(static_cast<float>(count_[c]));
    }
}

void RsMoveAverage::processWithStats(const qdVectorFixed::Vector3& v, const qdVectorFixed::Vector3& weights,
                                     qdVectorFixed::Vector3& mean, qdVectorFixed::Vector3& spread)
{
    if (restartPending()) {
        for (int c = 0; c < 3; ++c) {
            count_[c] = 0;
            mean_[c] = max_[c] = min_[c] = Fp32(0.0f);
        }
    }
    for (int c = 0; c < rsChannels_; ++c) {
        if (count_[c] == 1) {
            mean_[c] = max_[c] = min_[c] = v[c];
        } else {
            mean_[c] += (v[c] - mean_[c]) * weights[c];
            max_[c] = max(max_[c], v[c]);
            min_[c] = min(min_[c], v[c]);
        }
        mean[c] = mean_[c];
        spread[c] = max_[c] - min_[c];
    }
}

} // namespace vnx
