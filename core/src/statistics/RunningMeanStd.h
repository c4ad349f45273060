#pragma once

// Count, mean and spread (M2) of N channels, one sample at a time.

#include <cstdint>

#include "numerics/qdVectorFixed.h"
#include "statistics/RunningUpdate.h"
#include "statistics/StatisticsLogger.h"

namespace vnx {

/// T: FloatingPoint<float> or float; K changes no behaviour. Owners read
/// count, mean and M2 directly and restart with reset() (count 0).
template <typename T, int N, int K> class RunningMeanStd
{
    using MyLogger_VNX_LOG_DEFAULT = log::DefaultLogger;
    statistics::OwnedLogger dftLog_;

  public:
    /// blockName: logger block of the module that owns these statistics.
    explicit RunningMeanStd(const char* blockName) : dftLog_(blockName, this) {}

    RunningMeanStd(const RunningMeanStd&) = delete;
    RunningMeanStd& operator=(const RunningMeanStd&) = delete;

    void reset() { count = 0; }

    void addSample(const qdVectorFixed::vector<T, N>& x)
    {
        statistics::addToMeanAndM2(count, mean.data(), M2, x.data(), N);
    }

    /// Makes x the only sample of a new window (count 1).
    void restart(const qdVectorFixed::vector<T, N>& x)
    {
        reset();
        addSample(x);
    }

    /// M2 / (count - 1); 0 below two samples.
    T variance(int i) const { return statistics::sampleVariance<T>(M2[i], count); }

    std::uint32_t count = 0;
    qdVectorFixed::vector<T, N> mean{};
    double M2[N]{};
};

} // namespace vnx
