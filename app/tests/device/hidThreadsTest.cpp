#include "device/hidThreads.h"
#include "device/hidCallback.h"
#include "device/receiverIds.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <unistd.h>

namespace {

// The reader thread runs for the rest of the process: each case runs in a
// process of its own.
class HidThreads : public ::testing::Test
{
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// Starts the threads (twice: the second start does nothing) and waits for
// `count` events of the real reader; exits 0 when they are all "receiver
// absent", 1 otherwise, 3 when they do not come, 4 when a start fails.
[[noreturn]] void exitAfterAbsentEvents(int count)
{
    std::mutex mutex;
    std::condition_variable changed;
    int absent = 0;
    int other = 0;
    setHidCallback([&](const PresenterEvent& event) {
        std::lock_guard<std::mutex> lock(mutex);
        (event == PresenterEvent{} ? absent : other) += 1;
        changed.notify_all();
    });
    if (startHidThreads() != 0 || startHidThreads() != 0) {
        _exit(4);
    }
    std::unique_lock<std::mutex> lock(mutex);
    const bool came =
        changed.wait_for(lock, std::chrono::seconds(30), [&] { return absent + other >= count; });
    // Straight out: the reader thread is still running.
    std::fflush(nullptr);
    _exit(!came ? 3 : other == 0 ? 0 : 1);
}

TEST_F(HidThreads, ReaderOnHidapiReportsNoReceiverEveryHalfSecond)
{
    unsetenv(kReceiverOverrideVariable);
    EXPECT_EXIT(exitAfterAbsentEvents(3), ::testing::ExitedWithCode(0), "");
}

} // namespace
