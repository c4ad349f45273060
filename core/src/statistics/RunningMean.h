#pragma once

// Count and mean of N channels, one sample at a time.

#include <cstdint>

#include "numerics/qdVectorFixed.h"
#include "statistics/RunningUpdate.h"
#include "statistics/StatisticsLogger.h"

namespace vnx {

/// T: FloatingPoint<float> or float. Owners read count and mean directly and
/// may set them (a decimator restarts with reset(), a long mean halves its
/// count to let old samples fade).
template <typename T, int N> class RunningMean
{
    using MyLogger_VNX_LOG_DEFAULT = log::DefaultLogger;
    statistics::OwnedLogger dftLog_;

  public:
    /// blockName: logger block of the module that owns this mean.
    explicit RunningMean(const char* blockName) : dftLog_(blockName, this) {}

    RunningMean(const RunningMean&) = delete;
    RunningMean& operator=(const RunningMean&) = delete;

    void reset() { count = 0; }

    void addSample(const qdVectorFixed::vector<T, N>& x)
    {
        const std::uint32_t c = count;
        count = c + 1u;
        if (c == 0) {
            restart(x);
            return;
        }
        const T r = T(statistics::runningReciprocal(c));
        for (int i = 0; i < N; ++i)
            statistics::runningMeanStep(mean[i], x[i], r);
    }

    /// Makes x the only sample (count 1).
    void restart(const qdVectorFixed::vector<T, N>& x)
    {
        count = 1;
        for (int i = 0; i < N; ++i)
            mean[i] = x[i];
    }

    std::uint32_t count = 0;
    qdVectorFixed::vector<T, N> mean{};
};

} // namespace vnx
