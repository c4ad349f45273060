#include "platform/PVMainQueue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Runs scheduled work at once and records the delays asked for.
class ImmediateScheduler final : public PVTimerScheduler
{
  public:
    void schedule(int64_t delayMs, std::function<void()> work) override
    {
        delays.push_back(delayMs);
        work();
    }
    std::vector<int64_t> delays;
};

class SchedulerSeam
{
  public:
    explicit SchedulerSeam(PVTimerScheduler* scheduler) : previous_(PVMainQueue::setTimerScheduler(scheduler))
    {
    }
    ~SchedulerSeam() { PVMainQueue::setTimerScheduler(previous_); }

  private:
    PVTimerScheduler* previous_;
};

TEST(MainQueue, WorkFromThreeThreadsRunsOnTheMainThreadInEachThreadsOrder)
{
    constexpr int threads = 3;
    constexpr int perThread = 300;
    std::vector<std::pair<int, int>> ran;
    bool allOnMainThread = true;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i) {
                PVMainQueue::async([&, t, i] {
                    allOnMainThread = allOnMainThread && QThread::currentThread() == qApp->thread();
                    ran.emplace_back(t, i);
                });
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran.size() == size_t{threads * perThread}; }, 10'000));
    EXPECT_TRUE(allOnMainThread);
    int next[threads] = {};
    for (const auto& [t, i] : ran) {
        EXPECT_EQ(i, next[t]) << "thread " << t;
        next[t] = i + 1;
    }
}

TEST(MainQueue, WorkQueuedFromTheMainThreadWaitsForTheLoop)
{
    std::vector<int> order;
    PVMainQueue::async([&] { order.push_back(1); });
    PVMainQueue::async([&] { order.push_back(2); });
    order.push_back(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }, 5000));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(MainQueue, DelaysReachTheTimerInMilliseconds)
{
    ImmediateScheduler scheduler;
    SchedulerSeam seam(&scheduler);
    int ran = 0;
    for (double seconds : {0.05, 0.2, 100.0, 2'073'600.0, -3.0}) {
        PVMainQueue::after(seconds, [&] { ++ran; });
    }
    EXPECT_EQ(ran, 5);
    EXPECT_EQ(scheduler.delays, (std::vector<int64_t>{50, 200, 100'000, 2'073'600'000, 0}));
    EXPECT_LE(scheduler.delays[3], PVMainQueue::kLongestTimerMs);
}

TEST(MainQueue, QtTimerRunsDelayedWorkOnTheMainThreadAfterTheDelay)
{
    QElapsedTimer clock;
    clock.start();
    qint64 firstAt = -1;
    qint64 secondAt = -1;
    PVMainQueue::after(0.2, [&] { secondAt = clock.elapsed(); });
    std::thread([&] { PVMainQueue::after(0.05, [&] { firstAt = clock.elapsed(); }); }).join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return secondAt >= 0; }, 10'000));
    EXPECT_GE(firstAt, 50);
    EXPECT_GE(secondAt, 200);
    EXPECT_LT(firstAt, secondAt);
}

} // namespace
