// The simulated presenter: its reports, the receiver backend that plays
// them, and the whole road from the reader to presenter events on the real
// engine.

#include "engineFixture.h"

#include "device/dongleReader.h"
#include "device/hidDevice.h"
#include "device/hidThreads.h"
#include "device/packetQueue.h"
#include "device/presenterCodes.h"
#include "sensor/defaultScd.h"
#include "simulation/SimulatedPresenterBackend.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unistd.h>

namespace {

using vnx::testsupport::MotionTrace;
using vnx::testsupport::MotionTraceOptions;

int16_t wordAt(const PresenterReport& report, size_t at)
{
    return static_cast<int16_t>(report[at] | report[at + 1] << 8);
}

TEST(PresenterScenario, PlaysStatusButtonsAndSamplesInScriptOrder)
{
    const MotionTraceOptions motion{.seed = 4, .gyroOffset = {0.01, 0, 0}, .accNoise = 0.02, .gyroNoise = 0.002};
    PresenterScenario scenario({.deviceNumber = 3, .firstCounter = 0xFFFE, .motion = motion});
    const std::array<uint8_t, 8> version{1, 2, 3, 4, 5, 6, 7, 8};
    scenario.identity().paired().battery(80).still(0.04).button(presenterButtonHotClick).firmware(version);
    EXPECT_EQ(scenario.periodUs(), 8000u);
    EXPECT_EQ(scenario.reportCount(), 5 + 5);

    std::vector<PresenterScenario::TimedReport> reports;
    while (auto timed = scenario.next()) {
        reports.push_back(*timed);
    }
    ASSERT_EQ(reports.size(), 10u);
    for (const auto& timed : reports) {
        EXPECT_EQ(timed.report[0], kPresenterReportId);
        EXPECT_EQ(timed.report[2], 3);
    }
    const uint8_t statusCodes[] = {receiverStatusIdentity, receiverStatusPaired, receiverStatusBattery};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(reports[i].timeUs, 0);
        EXPECT_EQ(reports[i].report[1], 8);
        EXPECT_EQ(reports[i].report[3], statusCodes[i]);
    }
    EXPECT_EQ(reports[2].report[5], 80) << "the battery level at packet byte 6";

    // The samples: the generator's records, the counter from 0xFFFE on.
    MotionTrace trace(kDefaultScdBlock, motion);
    trace.still(0.04);
    const uint16_t counters[] = {0xFFFE, 0xFFFF, 0x0000, 0x0001, 0x0002};
    trace.rewind();
    for (size_t i = 0; i < 5; ++i) {
        const auto& report = reports[3 + i].report;
        const auto& sample = trace.next()->output6AG;
        SCOPED_TRACE(i);
        EXPECT_EQ(reports[3 + i].timeUs, 8000 * static_cast<int64_t>(i + 1));
        EXPECT_EQ(report[1], 1);
        EXPECT_EQ(static_cast<uint16_t>(wordAt(report, 3)), counters[i]);
        EXPECT_EQ(wordAt(report, 5), sample.temperature);
        for (size_t axis = 0; axis < 3; ++axis) {
            EXPECT_EQ(wordAt(report, 7 + 2 * axis), sample.gyroscope[axis]);
            EXPECT_EQ(wordAt(report, 13 + 2 * axis), sample.accelerometer[axis]);
        }
    }
    EXPECT_EQ(reports[8].timeUs, 40000) << "with the sample before it";
    EXPECT_EQ(reports[8].report[1], 3);
    EXPECT_EQ(reports[8].report[3], presenterButtonHotClick);
    EXPECT_TRUE(std::equal(version.begin(), version.end(), reports[9].report.begin() + 5));

    scenario.rewind();
    EXPECT_EQ(scenario.next()->report, reports[0].report);
}

TEST(PresenterScenario, LostSamplesSkipTheirCounterValues)
{
    PresenterScenario scenario({.firstCounter = 0x7FFE});
    scenario.still(0.016).gap(3).still(0.016);
    std::vector<uint16_t> counters;
    std::vector<int64_t> times;
    while (auto timed = scenario.next()) {
        counters.push_back(static_cast<uint16_t>(wordAt(timed->report, 3)));
        times.push_back(timed->timeUs);
    }
    EXPECT_EQ(counters, (std::vector<uint16_t>{0x7FFE, 0x7FFF, 0x8003, 0x8004}));
    EXPECT_EQ(times, (std::vector<int64_t>{8000, 16000, 48000, 56000}));
}

TEST(SimulatedPresenterBackend, PlaysTheScenarioOnItsClock)
{
    PresenterScenario scenario({});
    scenario.paired().still(0.016);
    SimulatedPresenterBackend hid(std::move(scenario), SimulatedPresenterBackend::Clock::Virtual);

    const auto found = hid.enumerate(0x1234, 0x5678, 0, 0);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].vendorId, 0x1234);
    EXPECT_EQ(found[0].productId, 0x5678);
    HidDeviceHandle handle = kHidNoDevice;
    EXPECT_EQ(hid.open("elsewhere", handle), HidOpenResult::NotFound);
    uint8_t buffer[80] = {};
    EXPECT_EQ(hid.read(1, buffer, sizeof buffer, 10), kHidRemoved) << "not open";

    hid.sleepMicroseconds(1000);
    ASSERT_EQ(hid.open(found[0].path, handle), HidOpenResult::Opened);
    const int64_t start = hid.nowMicroseconds();
    EXPECT_EQ(hid.read(handle, nullptr, 64, 10), kHidRefused);
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 10), 64) << "the status is due at once";
    EXPECT_EQ(buffer[3], receiverStatusPaired);
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 5), kHidTimedOut) << "the first sample comes at 8 ms";
    EXPECT_EQ(hid.nowMicroseconds(), start + 5000);
    EXPECT_EQ(hid.read(handle, buffer, 4, 100), 4) << "a short buffer takes the start of the report";
    EXPECT_EQ(hid.nowMicroseconds(), start + 8000);
    EXPECT_EQ(hid.write(handle, buffer, 32), 32) << "mode reports are taken";
    EXPECT_FALSE(hid.finished());
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 100), 64);
    EXPECT_TRUE(hid.finished());
    EXPECT_EQ(hid.read(handle, buffer, sizeof buffer, 100), kHidTimedOut);
    hid.close(handle);
    EXPECT_EQ(hid.write(handle, buffer, 32), kHidRemoved);
}

/// The reader on the simulated receiver fills a queue of the test's own;
/// the motion thread's step serves it on the real engine.
class SimulatedRoad : public EngineBridgeTest
{
  protected:
    void SetUp() override
    {
        EngineBridgeTest::SetUp();
        ASSERT_EQ(packetQueueInitSync(&queue), 0);
        ASSERT_EQ(packetQueueInit(&queue), 0);
    }

    void TearDown() override
    {
        hidDeviceAttach(nullptr, sharedPacketQueue());
        packetQueueClose(&queue);
        packetQueueDestroySync(&queue);
        EngineBridgeTest::TearDown();
    }

    /// Every report read and served; the movements reported, in order.
    std::vector<PresenterEvent> run(PresenterScenario scenario)
    {
        SimulatedPresenterBackend hid(std::move(scenario), SimulatedPresenterBackend::Clock::Virtual);
        DongleReader reader(hid, &queue, ReceiverIds{});
        reader.run([&] { return hid.finished(); });
        hidDeviceAttach(nullptr, &queue); // the layer lets go of the backend before it goes
        // Everything read is queued: a marker behind it ends the serving.
        int endMarker = 0;
        packetQueuePushBack(&queue, &endMarker);
        for (void* item = packetQueuePopFront(&queue); item != &endMarker; item = packetQueuePopFront(&queue)) {
            auto* packet = static_cast<hidPacket*>(item);
            if (packet->kind == hidPacketKindMotion) {
                clock.advanceNs(kPeriodNs);
            }
            serveMotionPacket(domain, packet);
        }
        std::vector<PresenterEvent> moves;
        std::copy_if(events.begin(), events.end(), std::back_inserter(moves),
                     [](const PresenterEvent& e) { return e.dx != 0 || e.dy != 0; });
        return moves;
    }

    packetQueue queue{};
};

TEST_F(SimulatedRoad, StillPresenterMovesNothingAfterTheCentring)
{
    PresenterScenario scenario({.deviceNumber = 4,
                                .firstCounter = 0x7000,
                                .motion = {.seed = 9, .gyroOffset = {0.02, -0.01, 0.015}, .accNoise = 0.02,
                                           .gyroNoise = 0.002}});
    scenario.identity().paired().battery(55).still(40.0);
    const std::vector<PresenterEvent> moves = run(std::move(scenario));
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.front(), (PresenterEvent{1, 1, 2560, -1600, 0, 0, 55}));
    EXPECT_EQ(moves.size(), 1u);
    EXPECT_TRUE(std::find(events.begin(), events.end(), PresenterEvent{1, 1, 0, 0, 0, 0, 55}) != events.end())
        << "the battery level reported";
    EXPECT_EQ(motionBridge().deviceIdentity[0], 4);
}

TEST_F(SimulatedRoad, TurnsAboutTheVerticalMoveThePointerOneWayEach)
{
    PresenterScenario scenario({.deviceNumber = 0x41,
                                .motion = {.seed = 5, .gyroOffset = {0.01, 0.01, -0.01}, .accNoise = 0.02,
                                           .gyroNoise = 0.002}});
    scenario.identity().still(3.0).turn({0, 0, 1}, 0.25, 1.0).still(1.0);
    std::vector<PresenterEvent> moves = run(scenario);
    ASSERT_GT(moves.size(), 50u);
    moves.erase(moves.begin()); // the centring
    EXPECT_TRUE(std::all_of(moves.begin(), moves.end(), [](const PresenterEvent& e) { return e.dx >= 0; }));
    int64_t right = 0;
    for (const PresenterEvent& e : moves) {
        right += e.dx;
    }
    EXPECT_GT(right, 1500) << "a quarter radian of a view half a radian wide";

    PresenterScenario back({.deviceNumber = 0x42, .motion = {.seed = 6, .accNoise = 0.02, .gyroNoise = 0.002}});
    back.identity().still(3.0).turn({0, 0, 1}, -0.25, 1.0).still(1.0);
    events.clear();
    resetMotionBridge();
    moves = run(back);
    ASSERT_GT(moves.size(), 50u);
    moves.erase(moves.begin());
    EXPECT_TRUE(std::all_of(moves.begin(), moves.end(), [](const PresenterEvent& e) { return e.dx <= 0; }));
}

// The program's threads on the simulated receiver in real time: exits 0
// once the motion thread reported the pointer moving right.
[[noreturn]] void threadsReportATurn()
{
    setenv("VNX_LOG_GLOBAL_LEVEL", "OFF", 1);
    std::mutex mutex;
    std::condition_variable changed;
    int right = 0;
    setHidCallback([&](const PresenterEvent& event) {
        std::lock_guard<std::mutex> lock(mutex);
        if (event.dx > 0 && event.dx < 1000) {
            ++right;
            changed.notify_all();
        }
    });
    PresenterScenario scenario({.deviceNumber = 2, .motion = {.seed = 1, .accNoise = 0.02, .gyroNoise = 0.002}});
    scenario.identity().paired().still(0.5).turn({0, 0, 1}, 0.3, 1.0).still(0.5);
    if (startHidThreads(new SimulatedPresenterBackend(std::move(scenario))) != 0) {
        _exit(4);
    }
    std::unique_lock<std::mutex> lock(mutex);
    const bool came = changed.wait_for(lock, std::chrono::seconds(60), [&] { return right >= 20; });
    std::fflush(nullptr);
    _exit(came ? 0 : 3);
}

TEST(SimulatedPresenterThreads, ReaderAndMotionThreadCarryATurnToEvents)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(threadsReportATurn(), ::testing::ExitedWithCode(0), "");
}

} // namespace
