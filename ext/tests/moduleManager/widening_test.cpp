// 8-bit device counters widened into sample numbers, on the stepped engine
// clock, alone and as the host writes them into the stored records.

#include <gtest/gtest.h>

#include "hostFixture.h"
#include "moduleManager/SampleCounter.h"
#include "support/FakeModule.h"
#include "support/fusionScenarios.h"
#include "support/steppedClock.h"

namespace vnx::testsupport {
namespace {

constexpr uint32_t kPeriodUs = 8000;
constexpr int64_t kMs = 1'000'000;

struct Step
{
    const char* what;
    uint32_t from;
    uint32_t to;
    int64_t elapsedNs;
    uint32_t periodUs;
    uint32_t advance;
};

TEST(SampleCounter, StepsFollowTheCounterUnlessTheClockDisagrees)
{
    const Step steps[] = {
        {"one period", 7, 8, 8 * kMs, kPeriodUs, 1},
        {"wrap after ten", 250, 4, 80 * kMs, kPeriodUs, 10},
        {"beyond half a turn counts one wrap", 10, 200, 3568 * kMs, kPeriodUs, 446},
        {"same counter is a whole turn", 42, 42, 2048 * kMs, kPeriodUs, 256},
        {"largest forward step", 0, 128, 1024 * kMs, kPeriodUs, 128},
        {"a long pause: the clock counts", 10, 11, 60'000 * kMs, kPeriodUs, 7500},
        {"counter far ahead of the clock", 10, 200, 80 * kMs, kPeriodUs, 10},
        {"within half a second the counter counts", 10, 11, 400 * kMs, kPeriodUs, 1},
        {"no period yet: the counter alone", 10, 11, 60'000 * kMs, 0, 1},
        {"no period yet, wrap", 250, 4, 0, 0, 10},
    };
    for (const Step& step : steps) {
        SampleCounter counter;
        const uint32_t first = counter.widen(step.from, 5'000 * kMs, step.periodUs);
        EXPECT_EQ(first, step.from) << step.what << ": the first sample takes the counter";
        EXPECT_EQ(counter.widen(step.to, 5'000 * kMs + step.elapsedNs, step.periodUs), first + step.advance)
            << step.what;
    }
}

TEST(SampleCounter, OnlyTheLowByteCountsAndTheNumberWraps)
{
    SampleCounter counter;
    EXPECT_EQ(counter.widen(0x1234, 0, kPeriodUs), 0x34u);
    // A clock step of a whole 32-bit number of samples wraps the result.
    const int64_t wholeRangeNs = int64_t{1} << 32;
    EXPECT_EQ(counter.widen(0x35, wholeRangeNs * kPeriodUs * 1000, kPeriodUs), 0x34u + 4294967294u);
}

using HostWidening = HostTest;

TEST_F(HostWidening, StoredCountersBecomeSampleNumbersOnTheEngineClock)
{
    SteppedClock clock;
    FakeModuleScript script;
    script.type = kFakeType;
    script.inputInterfaces = {{22, 5}};
    script.outputInterfaces = {{5}};
    FakeModuleType& fake = useFake(script);
    const scdGen4Float_s scd = realisticDevice().period(kPeriodUs * 1e-6).build();
    host_->setScd(&scd.head);
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.maxBufferedSamplesToProcess = 0;
    ASSERT_EQ(setDeviceConfig(config), 0);

    std::vector<int32_t> run;
    auto send = [&](int32_t counter, int64_t afterMs) {
        clock.advanceMs(static_cast<uint64_t>(afterMs));
        PresenterSample sample(counter);
        ASSERT_EQ(store(sample), 0);
        run.push_back(reinterpret_cast<const vnx_DeviceSupport6AG_Output_s*>(fake.calls("process").back().inputs[0])
                          ->sampleNumber);
    };
    send(250, 0);
    send(4, 80);
    send(10, 48);
    send(200, 3568);
    EXPECT_EQ(run, (std::vector<int32_t>{250, 260, 266, 712}));
}

TEST_F(HostWidening, ThirtyTwoBitCountersAreTakenAsTheyAre)
{
    SteppedClock clock;
    FakeModuleScript script;
    script.type = kFakeType;
    script.inputInterfaces = {{22, 5}};
    script.outputInterfaces = {{5}};
    FakeModuleType& fake = useFake(script);
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.maxBufferedSamplesToProcess = 0;
    config.sampleBaseWidth = 32;
    ASSERT_EQ(setDeviceConfig(config), 0);
    PresenterSample sample(70000);
    ASSERT_EQ(store(sample), 0);
    EXPECT_EQ(reinterpret_cast<const vnx_DeviceSupport6AG_Output_s*>(fake.calls("process").back().inputs[0])
                  ->sampleNumber,
              70000);
}

} // namespace
} // namespace vnx::testsupport
