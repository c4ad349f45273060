#pragma once

// Confirms the peaks of one step channel as steps only when their intervals
// form a rhythm: each interval is compared with the one two steps away (the
// same foot), and a step counts when its neighbours on both sides agree
// within the tolerance and it is longer than the minimum interval. Until
// five intervals are known the total is recomputed from the whole history,
// so early steps are counted once a rhythm emerges (the first peak counts
// one at once); after that each peak adds at most one, with a one-time
// correction at the seventh interval.

#include <cstdint>

#include "log/DefaultLogger.h"

struct vnx_StepCounterConfig_s
{
    float toleranceS;   ///< largest difference of two same-foot intervals
    float minIntervalS; ///< shortest interval that can be a step
};

namespace vnx::activity {

class StepCounter
{
    VNX_LOG_DEFAULT(StepCounter);

  public:
    static constexpr int kVersion = 1;
    static constexpr int kHistory = 9;

    StepCounter() = default;
    ~StepCounter();

    /// Fresh state: empty history, total 0.
    void init(const vnx_StepCounterConfig_s& config);
    /// Derives the sample counts T and M for samples dtS seconds apart.
    void setSamplePeriod(float dtS);
    /// One peak, intervalSamples after the previous one; the change of the total.
    std::int32_t process(std::int32_t intervalSamples);

    std::int32_t total() const { return total_; }
    /// 0 to 3: how many of the three newest steps were confirmed.
    int rank() const;
    /// Mean of the three newest intervals, in samples.
    float averagePeriod() const;

    std::int32_t toleranceSamples() const { return toleranceSamples_; }
    std::int32_t minIntervalSamples() const { return minIntervalSamples_; }

  private:
    /// Consistency flags of the history after a new interval.
    void steadyFlags(int* f) const;
    void warmUpFlags(int* f) const;
    bool agree(std::int32_t a, std::int32_t b) const;

    vnx_StepCounterConfig_s config_{};
    std::int32_t toleranceSamples_ = 0;     ///< T
    std::int32_t minIntervalSamples_ = 0;   ///< M
    std::int32_t intervals_[kHistory] = {}; ///< newest last, 0 = empty
    int recorded_ = 0;                      ///< intervals seen, saturating at 8
    std::int32_t total_ = 0;
    std::uint8_t confirmed_[kHistory] = {}; ///< per-step confirmation, newest last
};

} // namespace vnx::activity
