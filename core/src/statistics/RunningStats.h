#pragma once

// Count, mean, spread, minimum and maximum of up to N channels, one sample at
// a time, in fixed arrays (no allocation after construction).

#include <cstdint>

#include "numerics/qdVectorFixed.h"
#include "statistics/RunningUpdate.h"
#include "statistics/StatisticsLogger.h"

namespace vnx {

/// T: FloatingPoint<float> or float. N: channel capacity. K: tells
/// instances apart for their owners and changes no behaviour.
/// Only the first `channels` channels are updated. Owners read the fields
/// directly; reset() (count 0) makes the next sample the first.
template <typename T, int N, int K> class RunningStats
{
    using MyLogger_VNX_LOG_DEFAULT = log::DefaultLogger;
    statistics::OwnedLogger dftLog_;

  public:
    using Accum = statistics::M2Type<T>;

    /// blockName: logger block of the module that owns these statistics.
    explicit RunningStats(const char* blockName, std::uint32_t channelCount = N)
        : dftLog_(blockName, this), channels(channelCount <= static_cast<std::uint32_t>(N) ? channelCount : N)
    {
    }

    RunningStats(const RunningStats&) = delete;
    RunningStats& operator=(const RunningStats&) = delete;

    void reset() { count = 0; }

    void addSample(const qdVectorFixed::vector<T, N>& x) { addSample(x.data()); }

    /// x: at least `channels` values.
    void addSample(const T* x)
    {
        const bool first = count == 0;
        statistics::addToMeanAndM2(count, mean.data(), M2, x, channels);
        if (first)
            statistics::startMinMax(min.data(), max.data(), x, channels);
        else
            statistics::updateMinMax(min.data(), max.data(), x, channels);
    }

    /// Makes x the only sample of a new window (count 1).
    void restart(const qdVectorFixed::vector<T, N>& x)
    {
        reset();
        addSample(x);
    }

    /// M2 / (count - 1); 0 below two samples.
    T variance(std::uint32_t i) const { return statistics::sampleVariance<T>(M2[i], count); }
    T range(std::uint32_t i) const { return max[i] - min[i]; }

    /// Largest variance and largest range among `count` channels from
    /// `first` (one sensor's axes of a multi-sensor window).
    T largestVariance(std::uint32_t first, std::uint32_t count) const
    {
        return largestOf(first, count, [this](std::uint32_t i) { return variance(i); });
    }
    T largestRange(std::uint32_t first, std::uint32_t count) const
    {
        return largestOf(first, count, [this](std::uint32_t i) { return range(i); });
    }

    std::uint32_t channels;
    std::uint32_t count = 0;
    qdVectorFixed::vector<T, N> mean{};
    Accum M2[N]{};
    qdVectorFixed::vector<T, N> min{};
    qdVectorFixed::vector<T, N> max{};

  private:
    template <typename Value> static T largestOf(std::uint32_t first, std::uint32_t count, const Value& value)
    {
        T m = value(first);
        for (std::uint32_t i = first + 1; i < first + count; ++i)
            if (m < value(i))
                m = value(i);
        return m;
    }
};

} // namespace vnx
