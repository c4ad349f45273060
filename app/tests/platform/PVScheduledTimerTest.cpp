#include "platform/PVScheduledTimer.h"
#include "support/SteppedTimers.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(ScheduledTimer, FiresOnceAtItsTimeAndIsThenSpent)
{
    SteppedTimers timers;
    int fired = 0;
    const auto timer = PVScheduledTimer::scheduledTimer(2'073'600.0, [&fired](PVScheduledTimer& self) {
        EXPECT_FALSE(self.isValid());
        ++fired;
    });
    EXPECT_TRUE(timer->isValid());
    EXPECT_EQ(timer->timeInterval(), 2'073'600.0);
    timers.advanceMilliseconds(2'073'599'999);
    EXPECT_EQ(fired, 0);
    timers.advanceMilliseconds(1);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer->isValid());
    timers.advance(5'000'000.0);
    EXPECT_EQ(fired, 1);
}

TEST(ScheduledTimer, NeitherAnInvalidatedTimerNorOneLetGoFires)
{
    SteppedTimers timers;
    int fired = 0;
    auto invalidated = PVScheduledTimer::scheduledTimer(1.0, [&fired](PVScheduledTimer&) { ++fired; });
    auto dropped = PVScheduledTimer::scheduledTimer(1.0, [&fired](PVScheduledTimer&) { ++fired; });
    invalidated->invalidate();
    EXPECT_FALSE(invalidated->isValid());
    dropped.reset();
    timers.advance(2.0);
    EXPECT_EQ(fired, 0);
}

// An action that replaces its owner's timer with a new one (a retry) lets
// the running timer go while it runs.
TEST(ScheduledTimer, AnActionMayReplaceItsOwnTimer)
{
    SteppedTimers timers;
    std::shared_ptr<PVScheduledTimer> current;
    std::vector<int> fired;
    std::function<void(PVScheduledTimer&)> retry = [&](PVScheduledTimer&) {
        fired.push_back(static_cast<int>(fired.size()));
        current = PVScheduledTimer::scheduledTimer(10.0, retry);
    };
    current = PVScheduledTimer::scheduledTimer(10.0, retry);
    timers.advance(35.0);
    EXPECT_EQ(fired, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(current->isValid());
}

} // namespace
