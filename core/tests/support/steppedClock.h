#pragma once

// Test helper: makes the engine clock (vnx_time_ns) a counter the test moves
// by hand, so time-outs fire exactly when the test says and no test sleeps.
// The default clock is back when the object goes. One at a time.

#include <cstdint>

#include "common/timeSource.h"

namespace vnx::testsupport {

class SteppedClock
{
  public:
    explicit SteppedClock(uint64_t startNs = 1'000'000'000'000ull)
    {
        now_ = startNs;
        vnx_time_source(&read);
    }
    ~SteppedClock() { vnx_time_source(nullptr); }
    SteppedClock(const SteppedClock&) = delete;
    SteppedClock& operator=(const SteppedClock&) = delete;

    uint64_t now() const { return now_; }
    void advanceNs(uint64_t ns) { now_ += ns; }
    void advanceMs(uint64_t ms) { now_ += ms * 1'000'000ull; }

  private:
    static uint64_t read() { return now_; }
    static inline uint64_t now_ = 0;
};

} // namespace vnx::testsupport
