#pragma once

// A one-shot timer of the main thread that can be called off: it runs its
// action once after its interval, unless invalidated before. The delay goes
// through the main queue's timer seam, so tests step it instead of waiting.

#include <functional>
#include <memory>

class PVScheduledTimer
{
  public:
    using Action = std::function<void(PVScheduledTimer&)>;

    /// Starts a timer that calls `action` with itself after `seconds`
    /// (fractions allowed). The caller keeps the timer; once the last
    /// reference is gone the action no longer runs.
    static std::shared_ptr<PVScheduledTimer> scheduledTimer(double seconds, Action action);

    PVScheduledTimer(const PVScheduledTimer&) = delete;
    PVScheduledTimer& operator=(const PVScheduledTimer&) = delete;

    /// Calls the timer off; its action never runs. Nothing once it has run.
    void invalidate();
    /// True until the timer has fired or was invalidated.
    bool isValid() const { return valid_; }
    double timeInterval() const { return seconds_; }

  private:
    PVScheduledTimer(double seconds, Action action);
    void fire();

    double seconds_;
    Action action_;
    bool valid_ = true;
};
