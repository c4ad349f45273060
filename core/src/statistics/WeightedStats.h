#pragma once

// Weighted mean and spread of N channels with a bounded total weight: once
// the sum of weights reaches the cap, each new sample enters with its full
// weight against a fixed total, so old samples fade.

#include <cstdint>
#include <limits>

#include "numerics/qdVectorFixed.h"

namespace vnx {

/// T: FloatingPoint<float> or float; K changes no behaviour. Plain values
/// (copyable): owners copy whole fits that hold one.
template <typename T, int N, int K> class WeightedStats
{
  public:
    WeightedStats(std::uint32_t channelCount, T cap)
        : channels(channelCount <= static_cast<std::uint32_t>(N) ? channelCount : N), weightCap(cap)
    {
    }

    void reset()
    {
        count = 0;
        sumWeights = T(0.0f);
    }

    void addSample(const qdVectorFixed::vector<T, N>& x, T w)
    {
        if (count < std::numeric_limits<std::uint32_t>::max()) {
            if (count++ == 0) {
                sumWeights = w;
                for (std::uint32_t i = 0; i < channels; ++i) {
                    mean[i] = x[i];
                    M2[i] = T(0.0f);
                    min[i] = x[i];
                    max[i] = x[i];
                }
                return;
            }
        }
        const T previous = sumWeights;
        const T total = previous + w;
        for (std::uint32_t i = 0; i < channels; ++i) {
            const T d = x[i] - mean[i];
            // A zero total (only zero weights so far) would give 0/0: such a
            // sample carries no information and moves nothing.
            const T delta = total == T(0.0f) ? T(0.0f) : w * d / total;
            mean[i] = mean[i] + delta;
            M2[i] = M2[i] + delta * d * previous;
            if (x[i] < min[i])
                min[i] = x[i];
            if (max[i] < x[i])
                max[i] = x[i];
        }
        sumWeights = total < weightCap ? total : weightCap;
    }

    /// Weighted variance M2 / sum of weights; 0 without weight.
    T variance(std::uint32_t i) const { return sumWeights == T(0.0f) ? T(0.0f) : M2[i] / sumWeights; }

    std::uint32_t channels;
    std::uint32_t count = 0;
    T weightCap;
    T sumWeights = T(0.0f);
    qdVectorFixed::vector<T, N> mean{};
    qdVectorFixed::vector<T, N> M2{};
    qdVectorFixed::vector<T, N> min{};
    qdVectorFixed::vector<T, N> max{};
};

} // namespace vnx
