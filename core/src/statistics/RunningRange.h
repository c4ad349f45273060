#pragma once

// Count, minimum and maximum of N channels, one sample at a time: the part of
// RunningStats a window needs when only its spread (largest - smallest) is
// read, without the per-sample mean and M2 update.

#include <cstdint>

#include "numerics/qdVectorFixed.h"
#include "statistics/RunningUpdate.h"
#include "statistics/StatisticsLogger.h"

namespace vnx {

/// T: FloatingPoint<float> or float. K: tells instances apart for their
/// owners and changes no behaviour. Owners read the fields directly;
/// reset() (count 0) makes the next sample the first.
template <typename T, int N, int K> class RunningRange
{
    using MyLogger_VNX_LOG_DEFAULT = log::DefaultLogger;
    statistics::OwnedLogger dftLog_;

  public:
    /// blockName: logger block of the module that owns these statistics.
    explicit RunningRange(const char* blockName) : dftLog_(blockName, this) {}

    RunningRange(const RunningRange&) = delete;
    RunningRange& operator=(const RunningRange&) = delete;

    void reset() { count = 0; }

    void addSample(const qdVectorFixed::vector<T, N>& x)
    {
        if (count++ == 0)
            statistics::startMinMax(min.data(), max.data(), x.data(), N);
        else
            statistics::updateMinMax(min.data(), max.data(), x.data(), N);
    }

    T range(int i) const { return max[i] - min[i]; }

    std::uint32_t count = 0;
    qdVectorFixed::vector<T, N> min{};
    qdVectorFixed::vector<T, N> max{};
};

} // namespace vnx
