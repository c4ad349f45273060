// The bridge on the real engine: device set-up, packets of every kind, the
// output callback and the sample counter's wraps.

#include "engineFixture.h"

#include "device/presenterCodes.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "common/valueEncoding.h"
#include "deviceDomain/DeviceRecords.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "sensorFusionModule/SensorFusionRecords.h"

namespace {

constexpr uint8_t kDeviceNumber = 5;

hidPacket statusPacket(uint8_t code, std::vector<uint8_t> data = {}, uint8_t deviceNumber = kDeviceNumber)
{
    return packetOf(statusReport(deviceNumber, code, data));
}

hidPacket buttonPacket(uint8_t code, uint8_t deviceNumber = kDeviceNumber)
{
    return packetOf(buttonReport(deviceNumber, code));
}

/// A presenter lying on the table with realistic noise and gyroscope offset.
PresenterScenario stillPresenter(uint16_t firstCounter, double seconds, uint8_t deviceNumber = kDeviceNumber)
{
    PresenterScenario scenario({.deviceNumber = deviceNumber,
                                .firstCounter = firstCounter,
                                .motion = {.seed = 11,
                                           .gyroOffset = {0.02, -0.01, 0.015},
                                           .accNoise = 0.02,
                                           .gyroNoise = 0.002}});
    scenario.still(seconds);
    return scenario;
}

/// The next `count` motion packets of the scenario.
std::vector<hidPacket> motionPackets(PresenterScenario& scenario, int count)
{
    std::vector<hidPacket> packets;
    while (static_cast<int>(packets.size()) < count) {
        auto timed = scenario.next();
        if (!timed) {
            break;
        }
        packets.push_back(packetOf(timed->report));
    }
    return packets;
}

/// The ExtendedCursor Config of the device, or the engine's refusal.
int cursorConfig(vnx_DeviceHandle_s* device, vnx_ExtendedCursor_Config_s& config)
{
    vnx_ExtendedCursor_initConfig(&config);
    return vnx_Device_getConfig(device, vnx_ExtendedCursor_upCastConfig(&config));
}

int setSampleBaseWidth(vnx_DeviceHandle_s* device, uint8_t width)
{
    vnx_Device_Config_s config;
    vnx_Device_initConfig(&config);
    const int result = vnx_Device_getConfig(device, vnx_Device_upCastConfig(&config));
    if (result < 0) {
        return result;
    }
    config.sampleBaseWidth = width;
    return vnx_Device_setConfig(device, vnx_Device_upCastConfig(&config));
}

PresenterEvent event(int dx, int dy, uint8_t hot, uint8_t pointer, short pairState = 0, uint64_t info = 0)
{
    return PresenterEvent{1, pairState, dx, dy, hot, pointer, info};
}

using MotionBridge = EngineBridgeTest;

TEST_F(MotionBridge, IdentityMakesAnOpenDeviceHostingThePipeBundle)
{
    serve(statusPacket(receiverStatusIdentity, {}, 0x2A));
    ASSERT_NE(device(), nullptr);
    EXPECT_EQ(motionBridge().deviceIdentityPending, 0);
    const uint8_t identity[8] = {0x2A, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(std::memcmp(motionBridge().deviceIdentity, identity, 8), 0);
    EXPECT_STREQ(getDeviceName(device()), "ManualDevice-2A-02-03-04-05-06-07-08");

    vnx_Device_Config_s host;
    vnx_Device_initConfig(&host);
    ASSERT_EQ(vnx_Device_getConfig(device(), vnx_Device_upCastConfig(&host)), 0);
    EXPECT_EQ(host.typeId, 102);
    EXPECT_EQ(host.sampleBaseWidth, 8);
    EXPECT_EQ(host.logRawInput, 0);
    EXPECT_EQ(host.logOutput, 0);
    EXPECT_EQ(vnx_Device_isOpen(device()), 1);
    EXPECT_TRUE(events.empty()) << "an identity is not reported";
}

TEST_F(MotionBridge, ModuleReadySetsTheCursorAndActivityAndCentresThePointer)
{
    serve(statusPacket(receiverStatusIdentity));
    PresenterScenario scenario = stillPresenter(0, 1.0);
    for (const hidPacket& packet : motionPackets(scenario, 3)) {
        serve(packet);
    }
    vnx_ExtendedCursor_Config_s cursor;
    ASSERT_EQ(cursorConfig(device(), cursor), 0);
    uint8_t bytes[sizeof cursor];
    std::memcpy(bytes, &cursor, sizeof cursor);
    float viewingAngle = 0;
    int32_t scale = 0;
    uint32_t curve = 0;
    uint32_t mode = 0;
    std::memcpy(&viewingAngle, bytes + 132, 4);
    std::memcpy(&curve, bytes + 136, 4);
    std::memcpy(&mode, bytes + 144, 4);
    std::memcpy(&scale, bytes + 108, 4);
    EXPECT_FLOAT_EQ(viewingAngle, 0.5395598f);
    EXPECT_EQ(curve, 3u);
    EXPECT_EQ(mode, 3u);
    EXPECT_EQ(scale, 65536);

    vnx_ActivityClassification_Config_s activity;
    vnx_ActivityClassification_initConfig(&activity);
    ASSERT_EQ(vnx_Device_getConfig(device(), vnx_ActivityClassification_upCastConfig(&activity)), 0);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&activity)[44], 3);

    // The bounds 0, 0, 5120, 3200 put the pointer at their centre, reported
    // as the change from the initial position (0, 0).
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), event(2560, -1600, 0, 0));
    EXPECT_EQ(motionBridge().lastCursorX, 2560);
    EXPECT_EQ(motionBridge().lastCursorY, 1600);
}

TEST_F(MotionBridge, SampleGoesInAsTwoRecordsWithDerivedButtons)
{
    struct Seen
    {
        size_t count = 0;
        uint8_t types[2] = {};
        int32_t sampleNumber = 0;
        int16_t accelerometer0 = 0;
    };
    static Seen seen;
    seen = {};
    auto record = [](vnx_DeviceHandle_s*, size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s**,
                     void*) {
        seen.count = n;
        for (size_t i = 0; i < n && i < 2; ++i) {
            seen.types[i] = outputs[i]->header.type;
        }
        const auto* sample = vnx_DeviceSupport6AG_dynamicDownCastConstOutput(outputs[0]);
        if (sample != nullptr) {
            seen.sampleNumber = sample->sampleNumber;
            seen.accelerometer0 = sample->accelerometer[0];
        }
    };
    serve(statusPacket(receiverStatusIdentity));
    vnx_Device_Config_s host;
    vnx_Device_initConfig(&host);
    ASSERT_EQ(vnx_Device_getConfig(device(), vnx_Device_upCastConfig(&host)), 0);
    host.reportMotionInput = 1;
    ASSERT_EQ(vnx_Device_setConfig(device(), vnx_Device_upCastConfig(&host)), 0);
    vnx_Device_registerDeviceListener(device(), nullptr, nullptr, record, nullptr, nullptr);

    PresenterScenario scenario = stillPresenter(0xFFFF, 1.0);
    const hidPacket first = motionPackets(scenario, 1).front();
    serve(first);
    EXPECT_EQ(seen.count, 2u);
    EXPECT_EQ(seen.types[0], VNX_TYPE_DEVICE_SUPPORT_6AG);
    EXPECT_EQ(seen.types[1], VNX_TYPE_BUTTON_ACTIVITY);
    EXPECT_EQ(seen.sampleNumber, -1) << "the first sample: FF FF sign-extended";
    EXPECT_EQ(seen.accelerometer0, static_cast<int16_t>(first.payload[10] | first.payload[11] << 8));
    // The sample ran through the chain: the module exists and was told the
    // pointer's bounds.
    vnx_ExtendedCursor_Config_s cursor;
    EXPECT_EQ(cursorConfig(device(), cursor), 0);
}

TEST_F(MotionBridge, FirstMotionPacketNamesTheDeviceButIsNotSent)
{
    PresenterScenario scenario = stillPresenter(100, 1.0, 6);
    std::vector<hidPacket> packets = motionPackets(scenario, 2);
    serve(packets[0]);
    EXPECT_EQ(motionBridge().deviceIdentitySeen, 1);
    EXPECT_EQ(motionBridge().deviceIdentity[0], 6);
    ASSERT_NE(device(), nullptr) << "made after the packet";
    vnx_ExtendedCursor_Config_s cursor;
    EXPECT_LT(cursorConfig(device(), cursor), 0) << "no sample reached the device: no module yet";
    EXPECT_TRUE(events.empty());

    serve(packets[1]);
    EXPECT_EQ(cursorConfig(device(), cursor), 0);
    EXPECT_FALSE(events.empty());
}

TEST_F(MotionBridge, PointerPressBeforeAnyDeviceRecentresOnTheNextSampleInstead)
{
    EXPECT_EQ(dispatchPacket(buttonPacket(presenterButtonPointerDown), domain, device()), 0);
    EXPECT_EQ(motionBridge().cursorResetPending, 1);
    ASSERT_EQ(motionBridge().deviceIdentityPending, 1) << "a button packet names the device";
    makePendingDevice(domain);
    ASSERT_NE(device(), nullptr);

    PresenterScenario scenario = stillPresenter(0, 1.0);
    std::vector<hidPacket> packets = motionPackets(scenario, 2);
    serve(packets[0]);
    EXPECT_EQ(motionBridge().cursorResetPending, 0);
    vnx_ExtendedCursor_Config_s cursor;
    EXPECT_LT(cursorConfig(device(), cursor), 0) << "the reset took the sample's place";
    serve(packets[1]);
    EXPECT_EQ(cursorConfig(device(), cursor), 0);
    EXPECT_EQ(events, (std::vector<PresenterEvent>{event(0, 0, 0, 1), event(2560, -1600, 0, 1)}));
}

TEST_F(MotionBridge, PointerPressWithADeviceBringsThePointerBackToTheCentre)
{
    PresenterScenario scenario({.deviceNumber = 0x51, .motion = {.seed = 2, .gyroNoise = 0.002}});
    scenario.identity().still(1.0).turn({0, 0, 1}, 0.3, 1.0).still(0.1);
    scenario.rewind();
    for (const hidPacket& packet : motionPackets(scenario, 1 + 250)) {
        serve(packet);
    }
    ASSERT_GT(motionBridge().lastCursorX, 2600) << "the turn moved the pointer";
    serve(buttonPacket(presenterButtonPointerDown));
    EXPECT_EQ(motionBridge().cursorResetPending, 0);
    while (auto timed = scenario.next()) {
        serve(packetOf(timed->report));
    }
    EXPECT_NEAR(motionBridge().lastCursorX, 2560, 3);
    EXPECT_NEAR(motionBridge().lastCursorY, 1600, 3);
}

TEST_F(MotionBridge, EveryIdentityStatusMakesAnotherDevice)
{
    serve(statusPacket(receiverStatusIdentity));
    vnx_DeviceHandle_s* first = device();
    serve(statusPacket(receiverStatusIdentity));
    vnx_DeviceHandle_s* second = device();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second) << "the same number, still a new device";
    EXPECT_EQ(vnx_Device_isOpen(first), 1) << "the earlier device is left as it is";

    PresenterScenario scenario = stillPresenter(0, 1.0);
    for (const hidPacket& packet : motionPackets(scenario, 2)) {
        serve(packet);
    }
    vnx_ExtendedCursor_Config_s cursor;
    EXPECT_EQ(cursorConfig(second, cursor), 0);
    EXPECT_LT(cursorConfig(first, cursor), 0) << "only the newest device gets samples";
}

struct ButtonCase
{
    uint8_t code;
    std::vector<PresenterEvent> reported;
    uint8_t hotAfter;
    uint8_t pointerAfter;
};

TEST_F(MotionBridge, ButtonsSetAndReportThePresenterState)
{
    const ButtonCase cases[] = {
        {presenterButtonPointerDown, {event(0, 0, 0, 1, 1, 77)}, 0, 1},
        {presenterButtonPointerUp, {event(0, 0, 0, 0, 1, 77)}, 0, 0},
        {presenterButtonHotDown, {event(0, 0, 2, 0, 1, 77)}, 2, 0},
        {presenterButtonHotUp, {event(0, 0, 0, 0, 1, 77)}, 0, 0},
        {presenterButtonHotClick, {event(0, 0, 1, 0, 1, 77)}, 0, 1}, // the pointer state is left alone
    };
    for (const ButtonCase& c : cases) {
        events.clear();
        presenterPairState.store(1);
        presenterInfoWord.store(77);
        hotButtonState.store(2);
        pointerButtonDown.store(1);
        EXPECT_EQ(dispatchPacket(buttonPacket(c.code), domain, device()), 0) << int(c.code);
        EXPECT_EQ(events, c.reported) << int(c.code);
        EXPECT_EQ(hotButtonState.load(), c.hotAfter) << int(c.code);
        EXPECT_EQ(pointerButtonDown.load(), c.pointerAfter) << int(c.code);
    }
}

TEST_F(MotionBridge, ReceiverStatusSetsPairStateAndInfoWord)
{
    const uint8_t firmware[] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(dispatchPacket(statusPacket(receiverStatusPaired), domain, device()), 0);
    EXPECT_EQ(dispatchPacket(statusPacket(receiverStatusBattery, {64, 99}), domain, device()), 0);
    EXPECT_EQ(dispatchPacket(statusPacket(receiverStatusFirmware, {firmware, firmware + 8}), domain, device()), 0);
    EXPECT_EQ(dispatchPacket(statusPacket(receiverStatusIdentity, {}, 9), domain, device()), 0);
    EXPECT_EQ(events, (std::vector<PresenterEvent>{event(0, 0, 0, 0, 1, 0), event(0, 0, 0, 0, 1, 64),
                                                   event(0, 0, 0, 0, 1, 0x0807060504030201ull)}));
    EXPECT_EQ(motionBridge().deviceIdentity[0], 9) << "0xB9 takes the identity even after the first one";
    EXPECT_EQ(motionBridge().deviceIdentityPending, 1);
}

TEST_F(MotionBridge, UnknownKindsAndCodesChangeNothingButTheFirstIdentity)
{
    struct Case
    {
        uint8_t kind;
        uint8_t code;
        uint8_t deviceNumber;
        uint8_t identityAfter;
    };
    const Case cases[] = {
        {3, 6, 0x11, 0x11}, // the first identity comes from any button packet
        {8, 0xB5, 0x22, 0x11},
        {3, 0, 0x33, 0x11},
        {2, 4, 0x44, 0x11},
        {0, 0xB9, 0x55, 0x11},
    };
    presenterInfoWord.store(5);
    for (const Case& c : cases) {
        hidPacket packet{};
        packet.kind = c.kind;
        packet.deviceNumber = c.deviceNumber;
        packet.payload[0] = c.code;
        EXPECT_EQ(dispatchPacket(packet, domain, device()), 1) << int(c.kind) << "/" << int(c.code);
        EXPECT_EQ(motionBridge().deviceIdentity[0], c.identityAfter) << int(c.kind) << "/" << int(c.code);
    }
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(presenterInfoWord.load(), 5u);
    EXPECT_EQ(hotButtonState.load() | pointerButtonDown.load(), 0);
}

TEST_F(MotionBridge, WithoutACallbackReportsAnswerOneButStateStillChanges)
{
    setHidCallback({});
    EXPECT_EQ(dispatchPacket(buttonPacket(presenterButtonHotDown), domain, device()), 1);
    EXPECT_EQ(hotButtonState.load(), 2);
    EXPECT_EQ(dispatchPacket(statusPacket(receiverStatusBattery, {40}), domain, device()), 1);
    EXPECT_EQ(presenterInfoWord.load(), 40u);
    EXPECT_EQ(dispatchPacket(statusPacket(receiverStatusIdentity), domain, device()), 0) << "nothing to report";
}

TEST_F(MotionBridge, OutputCallbackReportsEachPositionChangeOnce)
{
    auto cursorAt = [](int32_t x, int32_t y) {
        vnx_ExtendedCursor_Output_s output;
        vnx_ExtendedCursor_initOutput(&output);
        output.x = x;
        output.y = y;
        return output;
    };
    vnx_SensorFusion_Output_s fusion;
    vnx_SensorFusion_initOutput(&fusion);
    auto deliver = [](std::initializer_list<const vnx_StructOutput_s*> batch) {
        std::vector<const vnx_StructOutput_s*> outputs(batch);
        onDeviceOutput(nullptr, outputs.size(), outputs.data(), nullptr, 0, nullptr);
    };
    hotButtonState.store(2);
    presenterPairState.store(1);

    const auto a = cursorAt(100, 50);
    const auto b = cursorAt(90, 70);
    deliver({&fusion.output, &a.output});
    deliver({&a.output});
    deliver({&fusion.output});
    deliver({&b.output, &a.output});
    // A record of the cursor's type too short to hold x and y.
    auto shortRecord = cursorAt(1, 1);
    shortRecord.output.header.size = 24;
    deliver({&shortRecord.output, nullptr});
    EXPECT_EQ(events, (std::vector<PresenterEvent>{event(100, -50, 2, 0, 1), event(-10, -20, 2, 0, 1),
                                                   event(10, 20, 2, 0, 1)}));

    // Differences wrap in 32 bits.
    events.clear();
    const auto high = cursorAt(INT32_MAX, INT32_MIN);
    const auto low = cursorAt(INT32_MIN, INT32_MAX);
    deliver({&high.output});
    deliver({&low.output});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].dx, 1);
    EXPECT_EQ(events[1].dy, 1);
    onDeviceOutput(nullptr, 3, nullptr, nullptr, 0, nullptr);
}

// What the engine made of each sample, seen by a listener of the test's own.
struct FusionTrack
{
    std::vector<uint32_t> sampleNumbers;
    std::vector<float> rateRadPerS;
    std::vector<bool> still;
    bool lastStill = false;

    static void record(vnx_DeviceHandle_s*, size_t n, const vnx_StructOutput_s** outputs,
                       const vnx_StructFormat_s** formats, int, void* user)
    {
        auto& track = *static_cast<FusionTrack*>(user);
        for (size_t i = 0; i < n; ++i) {
            if (outputs[i] == nullptr) {
                continue;
            }
            if (const auto* activity = vnx_ActivityClassification_dynamicDownCastConstOutput(outputs[i])) {
                track.lastStill = (activity->flags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_STILL) != 0;
            }
            if (const auto* motion = vnx_SensorFusion_dynamicDownCastConstOutput(outputs[i])) {
                const auto* format = reinterpret_cast<const vnx_SensorFusion_Format_s*>(formats[i]);
                float rate[3] = {};
                for (int axis = 0; axis < 3; ++axis) {
                    vnx_getFloat32(motion->angularVelocity[axis], format->angularVelocityQ, &rate[axis]);
                }
                track.sampleNumbers.push_back(motion->sampleNumber);
                track.rateRadPerS.push_back(std::hypot(rate[0], rate[1], rate[2]));
                track.still.push_back(track.lastStill);
            }
        }
    }
};

TEST_F(MotionBridge, CounterWrapKeepsTheEngineRunningAtEitherWidth)
{
    // 72 s on the table before the counter passes 0x7FFF -> 0x8000, time
    // enough to learn the gyroscope offset and to count as still.
    constexpr int kSamplesBeforeWrap = 9000;
    for (uint8_t width : {8, 32}) {
        SCOPED_TRACE(testing::Message() << "sample base width " << int(width));
        resetMotionBridge();
        events.clear();
        FusionTrack track;
        PresenterScenario scenario =
            stillPresenter(static_cast<uint16_t>(0x8000 - kSamplesBeforeWrap), 90.0, static_cast<uint8_t>(width));
        serve(statusPacket(receiverStatusIdentity, {}, width));
        ASSERT_NE(device(), nullptr);
        ASSERT_EQ(setSampleBaseWidth(device(), width), 0);
        vnx_Device_registerDeviceListener(device(), nullptr, nullptr, nullptr, FusionTrack::record, &track);
        serveAll(scenario);

        ASSERT_EQ(track.sampleNumbers.size(), 11250u);
        size_t gaps = 0;
        for (size_t i = 1; i < track.sampleNumbers.size(); ++i) {
            gaps += track.sampleNumbers[i] - track.sampleNumbers[i - 1] != 1;
        }
        EXPECT_EQ(gaps, 0u) << "every sample follows its predecessor, the wrap included";
        if (width == 32) {
            EXPECT_EQ(track.sampleNumbers[kSamplesBeforeWrap - 1], 0x7FFFu);
            EXPECT_EQ(track.sampleNumbers[kSamplesBeforeWrap], 0x8000u);
        }
        // No restart: still before and after, the learned offset kept.
        for (size_t i = kSamplesBeforeWrap - 100; i < track.still.size(); ++i) {
            ASSERT_TRUE(track.still[i]) << "sample " << i;
            ASSERT_LT(track.rateRadPerS[i], 0.012f) << "sample " << i << " (offset 0.025 rad/s)";
        }
        EXPECT_EQ(events.size(), 1u) << "a still presenter: the centring and nothing else";
    }
}

TEST_F(MotionBridge, ACounterJumpCountsTheLostSamples)
{
    FusionTrack track;
    PresenterScenario scenario({.deviceNumber = kDeviceNumber, .firstCounter = 0x7FF0, .motion = {.gyroNoise = 0.002}});
    scenario.identity().still(0.2).gap(2).still(0.2);
    scenario.rewind();
    serve(packetOf(scenario.next()->report));
    ASSERT_EQ(setSampleBaseWidth(device(), 32), 0);
    vnx_Device_registerDeviceListener(device(), nullptr, nullptr, nullptr, FusionTrack::record, &track);
    while (auto timed = scenario.next()) {
        serve(packetOf(timed->report));
    }
    ASSERT_GT(track.sampleNumbers.size(), 40u);
    std::vector<uint32_t> steps;
    for (size_t i = 1; i < track.sampleNumbers.size(); ++i) {
        if (track.sampleNumbers[i] - track.sampleNumbers[i - 1] != 1) {
            steps.push_back(track.sampleNumbers[i] - track.sampleNumbers[i - 1]);
        }
    }
    EXPECT_EQ(steps, std::vector<uint32_t>{3}) << "two lost samples, across the signed wrap";
    EXPECT_EQ(track.sampleNumbers.front(), 0x7FF0u);
    EXPECT_EQ(track.sampleNumbers.back(), 0x7FF0u + track.sampleNumbers.size() + 1);
}

} // namespace
