#pragma once

// Work for the main thread: queued from any thread and run in the order it
// was queued, or run once a delay has passed. Delays go through a timer seam
// that tests replace, so they need not wait.

#include <cstdint>
#include <functional>

class QObject;

class PVTimerScheduler
{
  public:
    virtual ~PVTimerScheduler() = default;
    /// Runs `work` on the main thread after `delayMs` milliseconds.
    virtual void schedule(int64_t delayMs, std::function<void()> work) = 0;
};

class PVMainQueue
{
  public:
    /// Runs `work` on the main thread after the work queued before it.
    static void async(std::function<void()> work);

    /// Runs `work` on the main thread after `seconds` (fractions allowed;
    /// negative counts as zero).
    static void after(double seconds, std::function<void()> work);
    static void afterMilliseconds(int64_t delayMs, std::function<void()> work);

    /// Replaces the timer behind `after` (null restores Qt's timers); returns
    /// the one in place before.
    static PVTimerScheduler* setTimerScheduler(PVTimerScheduler* scheduler);

    /// The longest delay one Qt timer holds; longer delays are chained.
    static constexpr int64_t kLongestTimerMs = 2'147'483'647;
};
