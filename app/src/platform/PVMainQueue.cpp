#include "platform/PVMainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

class QtTimerScheduler final : public PVTimerScheduler
{
  public:
    void schedule(int64_t delayMs, std::function<void()> work) override
    {
        // A timer holds at most 2^31-1 ms (about 24.8 days); a longer delay
        // runs as a chain of timers.
        const int64_t step = std::min(delayMs, PVMainQueue::kLongestTimerMs);
        const int64_t rest = delayMs - step;
        auto fire = [this, rest, work = std::move(work)]() mutable {
            if (rest > 0) {
                schedule(rest, std::move(work));
            } else {
                work();
            }
        };
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [step, fire = std::move(fire)]() mutable {
                QTimer::singleShot(std::chrono::milliseconds(step), Qt::PreciseTimer,
                                   QCoreApplication::instance(), std::move(fire));
            },
            Qt::QueuedConnection);
    }
};

QtTimerScheduler& qtScheduler()
{
    static QtTimerScheduler scheduler;
    return scheduler;
}

std::atomic<PVTimerScheduler*> currentScheduler{nullptr};

} // namespace

void PVMainQueue::async(std::function<void()> work)
{
    if (!work || QCoreApplication::instance() == nullptr) {
        return;
    }
    // Events posted to one receiver are delivered in the order posted, so
    // work from one thread keeps its order.
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

void PVMainQueue::afterMilliseconds(int64_t delayMs, std::function<void()> work)
{
    if (!work) {
        return;
    }
    PVTimerScheduler* scheduler = currentScheduler.load();
    (scheduler != nullptr ? *scheduler : qtScheduler())
        .schedule(std::max<int64_t>(delayMs, 0), std::move(work));
}

void PVMainQueue::after(double seconds, std::function<void()> work)
{
    const double ms = std::isnan(seconds) ? 0.0 : std::clamp(seconds * 1000.0, 0.0, 9.0e15);
    afterMilliseconds(static_cast<int64_t>(ms), std::move(work));
}

PVTimerScheduler* PVMainQueue::setTimerScheduler(PVTimerScheduler* scheduler)
{
    return currentScheduler.exchange(scheduler);
}
