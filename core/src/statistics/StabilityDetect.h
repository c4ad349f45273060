#pragma once

// Stillness detector over N channels. While moving it waits for one window of
// `reportInterval` samples whose spread (max - min) stays within twice the
// square root of each channel's variance threshold; while still it reports a
// window every `reportInterval` samples, tolerates a spread up to 2*sqrt(2)
// times that root, falls back to moving when a window variance exceeds its
// threshold, and starts a fresh (still) window after `maxCount` samples.

#include <cstdint>

#include "numerics/qdVectorFixed.h"
#include "statistics/RunningStats.h"
#include "statistics/StatisticsLogger.h"

namespace vnx {

/// T: FloatingPoint<float> or float; K changes no behaviour. The owner sets
/// the thresholds, the counts and the two flags directly (it starts with
/// resetPending = 1 and state = kMoving) and, when Output::report is 1,
/// reads `stats` in the same call, before the next sample can restart it.
template <typename T, int N, int K> class StabilityDetect
{
    using MyLogger_VNX_LOG_DEFAULT = log::DefaultLogger;
    statistics::OwnedLogger dftLog_;

  public:
    static constexpr std::uint32_t kStill = 0;
    static constexpr std::uint32_t kMoving = 1;

    struct Output
    {
        T variance[N];       // window variances; 0 unless still past minCount
        std::uint8_t report; // a window of statistics is ready
        std::uint8_t motion; // motion ended the window on this sample
        std::uint8_t still;  // the state after this sample is still
    };

    /// blockName: logger block of the module that owns the detector.
    explicit StabilityDetect(const char* blockName) : dftLog_(blockName, this), stats(blockName, N) {}

    StabilityDetect(const StabilityDetect&) = delete;
    StabilityDetect& operator=(const StabilityDetect&) = delete;

    void process(const qdVectorFixed::vector<T, N>& x, Output* out)
    {
        if (resetPending) {
            resetPending = 0;
            stats.restart(x);
        } else {
            stats.addSample(x);
        }
        for (int i = 0; i < N; ++i)
            out->variance[i] = T(0.0f);
        out->report = 0;
        out->motion = 0;
        out->still = 0;

        T range[N];
        for (int i = 0; i < N; ++i)
            range[i] = stats.range(i);

        if (state == kMoving) {
            processMoving(range, out);
        } else if (state == kStill) {
            processStill(range, out);
        } else {
            state = kMoving;
        }
        out->still = state == kStill ? 1 : 0;
    }

    std::uint32_t testedChannels = N;
    T threshold[N]{};
    std::uint32_t reportInterval = 0; // samples; owners set at least 8
    std::uint32_t minCount = 0;       // samples
    std::uint32_t maxCount = 0;       // samples
    RunningStats<T, N, K> stats;
    std::uint8_t resetPending = 1;
    std::uint32_t state = kMoving;

  private:
    /// True when some tested channel's value exceeds factor * threshold
    /// (or reaches it, with `orEqual`).
    template <typename Value> bool anyOverLimit(const Value& value, float factor, bool orEqual) const
    {
        const std::uint32_t tested = testedChannels < static_cast<std::uint32_t>(N) ? testedChannels : N;
        for (std::uint32_t i = 0; i < tested; ++i) {
            const T limit = T(factor) * threshold[i];
            if (value(i) > limit || (orEqual && value(i) == limit))
                return true;
        }
        return false;
    }

    void endWindowByMotion(Output* out)
    {
        resetPending = 1;
        out->motion = 1;
    }

    bool isReportCount(std::uint32_t count) const
    {
        // A zero interval would divide by zero: such a detector never reports.
        return reportInterval != 0 && count % reportInterval == 0;
    }

    void processMoving(const T* range, Output* out)
    {
        // A spread beyond 2*sqrt(threshold) cannot belong to a still window.
        if (anyOverLimit([&](std::uint32_t i) { return range[i] * range[i]; }, 4.0f, false))
            endWindowByMotion(out);
        if (stats.count == reportInterval && !resetPending) {
            state = kStill;
            out->report = 1;
        }
    }

    void processStill(const T* range, Output* out)
    {
        // Once still, a wider spread (2*sqrt(2) times the root) is tolerated.
        if (anyOverLimit([&](std::uint32_t i) { return range[i] * range[i]; }, 8.0f, true)) {
            endWindowByMotion(out);
            state = kMoving;
        }
        if (stats.count < minCount)
            return;

        for (std::uint32_t i = 0; i < stats.channels; ++i)
            out->variance[i] = stats.variance(i);
        if (anyOverLimit([&](std::uint32_t i) { return out->variance[i]; }, 1.0f, false)) {
            endWindowByMotion(out);
            state = kMoving;
        }
        if (isReportCount(stats.count) && !resetPending)
            out->report = 1;
        if (stats.count >= maxCount) {
            // The window is full: report it and start the next one, still.
            out->report = 1;
            resetPending = 1;
        }
    }
};

} // namespace vnx
