#pragma once

// Four sliding windows of running statistics over one value, staggered by
// a hop of W samples: window 1 restarts when window 0 holds W samples,
// window 2 when window 1 holds W, window 3 when window 2 holds W, and
// window 0 when it holds 4W. Every window sees every sample, so at any time
// one of them covers close to the last 4W samples; the fullest one (the
// lowest of equals) is the one a detector reads.

#include <cstdint>

#include "numerics/FloatingPoint.h"
#include "statistics/RunningStats.h"

namespace vnx::activity {

class WindowBank
{
  public:
    static constexpr int kWindows = 4;
    using Stats = RunningStats<FloatingPoint<float>, 1, 9>;

    /// blockName: logger block of the owner; the windows become subnodes of
    /// `owner` named prefix0 .. prefix3.
    WindowBank(const char* blockName, const void* owner, const char* const (&names)[kWindows]);
    WindowBank(const WindowBank&) = delete;
    WindowBank& operator=(const WindowBank&) = delete;

    void restartAll();
    /// Adds x to every window.
    void add(float x);
    /// The staggered restarts after a sample, with hop W.
    void stagger(std::int32_t hop);
    /// The window with the most samples; ties go to the lower one.
    int fullest() const;

    std::uint32_t count(int k) const { return windows_[k].count; }
    float mean(int k) const { return windows_[k].mean[0].value(); }
    float minimum(int k) const { return windows_[k].min[0].value(); }
    /// Sample standard deviation; 0 below two samples.
    float deviation(int k) const;

  private:
    /// Where a sample is handed over: the statistics read as many values as
    /// they have channels, which the compiler cannot bound.
    FloatingPoint<float> sample_{0.0f};
    Stats windows_[kWindows];
};

} // namespace vnx::activity
