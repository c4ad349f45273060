#include <gtest/gtest.h>

#include <time.h>

#include "common/timeSource.h"

namespace {

uint64_t fixedReading()
{
    return 2500000000u;
}
uint64_t otherReading()
{
    return 999999999u;
}

// Puts both process-wide sources back to the default after each test.
class TimeSourceTest : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        vnx_time_source(nullptr);
        vnx_thread_time_source(nullptr);
    }
};

// The two clocks share one shape: a source setter and readings in four units.
struct Clock
{
    const char* name;
    vnx_time_source_f (*setSource)(vnx_time_source_f);
    uint64_t (*ns)();
    uint64_t (*us)();
    uint64_t (*ms)();
    uint64_t (*s)();
    uint64_t (*otherClockNs)();
};

const Clock kClocks[] = {
    {"time", vnx_time_source, vnx_time_ns, vnx_time_us, vnx_time_ms, vnx_time_s, vnx_thread_time_ns},
    {"thread time", vnx_thread_time_source, vnx_thread_time_ns, vnx_thread_time_us, vnx_thread_time_ms,
     vnx_thread_time_s, vnx_time_ns},
};

TEST_F(TimeSourceTest, ReplacementSourceDrivesEveryUnitOfItsClockOnly)
{
    for (const Clock& clock : kClocks) {
        EXPECT_EQ(clock.setSource(fixedReading), fixedReading) << clock.name;
        EXPECT_EQ(clock.ns(), 2500000000u) << clock.name;
        EXPECT_EQ(clock.us(), 2500000u) << clock.name;
        EXPECT_EQ(clock.ms(), 2500u) << clock.name;
        EXPECT_EQ(clock.s(), 2u) << clock.name;
        EXPECT_NE(clock.otherClockNs(), 2500000000u) << clock.name;
        clock.setSource(nullptr);
    }
}

TEST_F(TimeSourceTest, UnitsTruncate)
{
    for (const Clock& clock : kClocks) {
        clock.setSource(otherReading);
        EXPECT_EQ(clock.us(), 999999u) << clock.name;
        EXPECT_EQ(clock.ms(), 999u) << clock.name;
        EXPECT_EQ(clock.s(), 0u) << clock.name;
        clock.setSource(nullptr);
    }
}

TEST_F(TimeSourceTest, NullRestoresTheDefault)
{
    vnx_time_source(fixedReading);
    vnx_thread_time_source(fixedReading);
    EXPECT_EQ(vnx_time_source(nullptr), vnx_time_ns_default);
    EXPECT_EQ(vnx_thread_time_source(nullptr), vnx_thread_time_ns_default);
    EXPECT_NE(vnx_time_ns(), 2500000000u);
    EXPECT_NE(vnx_thread_time_ns(), 2500000000u);
}

TEST_F(TimeSourceTest, DefaultFollowsTheMonotonicClockAndNeverDecreases)
{
    timespec before{};
    clock_gettime(CLOCK_MONOTONIC, &before);
    const uint64_t beforeNs = uint64_t(before.tv_sec) * 1000000000u + uint64_t(before.tv_nsec);

    uint64_t previous = vnx_time_ns();
    uint64_t previousThread = vnx_thread_time_ns();
    EXPECT_GE(previous, beforeNs);
    for (int i = 0; i < 10000; ++i) {
        const uint64_t now = vnx_time_ns();
        const uint64_t nowThread = vnx_thread_time_ns();
        ASSERT_GE(now, previous);
        ASSERT_GE(nowThread, previousThread);
        previous = now;
        previousThread = nowThread;
    }

    timespec after{};
    clock_gettime(CLOCK_MONOTONIC, &after);
    const uint64_t afterNs = uint64_t(after.tv_sec) * 1000000000u + uint64_t(after.tv_nsec);
    EXPECT_LE(previous, afterNs);
}

} // namespace
