#pragma once

// Replaces the main queue's timers while the object lives: delayed work runs
// only when the test moves the clock past its time, in time order.

#include "platform/PVMainQueue.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

class SteppedTimers final : public PVTimerScheduler
{
  public:
    SteppedTimers() : previous_(PVMainQueue::setTimerScheduler(this)) {}
    ~SteppedTimers() override { PVMainQueue::setTimerScheduler(previous_); }
    SteppedTimers(const SteppedTimers&) = delete;
    SteppedTimers& operator=(const SteppedTimers&) = delete;

    void schedule(int64_t delayMs, std::function<void()> work) override
    {
        pending_.push_back({nowMs_ + delayMs, nextOrder_++, std::move(work)});
    }

    /// Moves the clock forward by `ms`, running every work that falls due.
    void advanceMilliseconds(int64_t ms)
    {
        const int64_t until = nowMs_ + ms;
        for (;;) {
            auto next =
                std::min_element(pending_.begin(), pending_.end(), [](const Timer& a, const Timer& b) {
                    return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.order < b.order;
                });
            if (next == pending_.end() || next->dueMs > until) {
                break;
            }
            nowMs_ = next->dueMs;
            std::function<void()> work = std::move(next->work);
            pending_.erase(next);
            work();
        }
        nowMs_ = until;
    }
    void advance(double seconds) { advanceMilliseconds(static_cast<int64_t>(seconds * 1000.0)); }

    size_t pendingCount() const { return pending_.size(); }

  private:
    struct Timer
    {
        int64_t dueMs;
        uint64_t order;
        std::function<void()> work;
    };

    PVTimerScheduler* previous_;
    int64_t nowMs_ = 0;
    uint64_t nextOrder_ = 0;
    std::vector<Timer> pending_;
};
