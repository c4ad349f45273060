#include "platform/PVScheduledTimer.h"

#include "platform/PVMainQueue.h"

std::shared_ptr<PVScheduledTimer> PVScheduledTimer::scheduledTimer(double seconds, Action action)
{
    std::shared_ptr<PVScheduledTimer> timer(new PVScheduledTimer(seconds, std::move(action)));
    // The queued work holds the timer weakly: a timer its owner has let go
    // of fires nothing.
    PVMainQueue::after(seconds, [weak = std::weak_ptr<PVScheduledTimer>(timer)] {
        if (std::shared_ptr<PVScheduledTimer> timer = weak.lock()) {
            timer->fire();
        }
    });
    return timer;
}

PVScheduledTimer::PVScheduledTimer(double seconds, Action action) : seconds_(seconds), action_(std::move(action)) {}

void PVScheduledTimer::invalidate()
{
    valid_ = false;
    action_ = nullptr;
}

void PVScheduledTimer::fire()
{
    if (!valid_) {
        return;
    }
    valid_ = false;
    // The action may drop the owner's reference to this timer (a new timer
    // takes its place); it runs from a copy so nothing it needs goes away.
    const Action action = std::move(action_);
    action_ = nullptr;
    if (action) {
        action(*this);
    }
}
