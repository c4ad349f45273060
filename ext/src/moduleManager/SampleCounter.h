#pragma once

// Widens a device's 8-bit sample counter into a 32-bit sample number. A step
// of the counter is taken as the smaller forward distance (1 to 128) or, past
// that, as the distance plus one wrap; the engine clock corrects the step
// when it disagrees with the counter by more than half a second, so a burst
// of lost samples or a long pause still advances the number by about the
// time that passed.

#include <cstdint>

namespace vnx {

class SampleCounter
{
  public:
    /// The next sample: its 8-bit counter `counter` (low 8 bits used),
    /// arriving at `nowNs` on the engine clock, with the sampling period
    /// `periodUs` (0: unknown, the clock correction is skipped). Answers the
    /// widened sample number.
    uint32_t widen(uint32_t counter, int64_t nowNs, uint32_t periodUs);

    /// The next sample is taken as the first again.
    void restart() { first_ = true; }

  private:
    /// Largest step the clock correction gives.
    static constexpr int64_t kMaxStep = 4'294'967'294;
    /// Disagreement between counter and clock beyond which the clock wins.
    static constexpr int64_t kToleranceNs = 500'000'000;

    int64_t lastNs_ = 0;
    uint32_t lastCounter_ = 0;
    uint32_t widened_ = 0;
    bool first_ = true;
};

} // namespace vnx
