#include "deviceFixtures.h"

#include "device/dongleReader.h"
#include "device/receiverIds.h"
#include "support/LogCapture.h"

#include <functional>

namespace {

const HidDeviceInfo receiver{"/dev/hidraw5", kReceiverVendorId, kReceiverProductId, 0xFF00, 1};

// One burst: 256 slots, 100 µs apart.
constexpr int64_t kBurstUs = 25'600;

const PresenterEvent absent{};

PresenterEvent inserted(uint64_t info = 0)
{
    return PresenterEvent{1, 0, 0, 0, 0, 0, info};
}

class Reader : public ReceiverTest
{
  protected:
    /// Runs a reader until the virtual clock reaches `untilUs`; `atEachStep`
    /// runs before each open and each receive, on the reader's thread.
    void runUntil(int64_t untilUs, DongleReader::State initial = {}, ReceiverIds ids = {},
                  const std::function<void(int64_t)>& atEachStep = {})
    {
        DongleReader reader(hid, &queue, ids, initial);
        reader.run([&] {
            const int64_t now = hid.nowMicroseconds();
            if (atEachStep) {
                atEachStep(now);
            }
            return now >= untilUs;
        });
        finalState = reader.state();
    }

    std::vector<int64_t> writeTimes() const
    {
        std::vector<int64_t> times;
        for (const auto& write : hid.writes()) {
            times.push_back(write.timeUs);
        }
        return times;
    }

    DongleReader::State finalState;
};

TEST_F(Reader, ReportsTheReceiverAbsentEveryHalfSecondThenBurstsOnceAtPlugIn)
{
    hid.plugAt(1'200'000, receiver);
    runUntil(1'600'000);

    const std::vector<TimedEvent> expected = {
        {0, absent}, {500'000, absent}, {1'000'000, absent}, {1'500'000 + kBurstUs, inserted()}};
    EXPECT_EQ(events, expected);
    const auto writes = hid.writes();
    ASSERT_EQ(writes.size(), 1u) << "one receiver: slot 0 takes the report, the other slots refuse it";
    EXPECT_EQ(writes[0].timeUs, 1'500'000);
    EXPECT_EQ(writes[0].data, modeReportBytes(false));
    EXPECT_EQ(receiverOpen.load(), 1);
}

TEST_F(Reader, AbsentReceiverClearsThePresenterState)
{
    presenterPairState.store(1);
    presenterInfoWord.store(77);
    hotButtonState.store(2);
    pointerButtonDown.store(1);
    receiverOpen.store(1);
    runUntil(1);
    EXPECT_EQ(events, (std::vector<TimedEvent>{{0, absent}}));
    EXPECT_EQ(presenterPairState.load(), 0);
    EXPECT_EQ(presenterInfoWord.load(), 0u);
    EXPECT_EQ(hotButtonState.load(), 0);
    EXPECT_EQ(pointerButtonDown.load(), 0);
    EXPECT_EQ(receiverOpen.load(), 0);
}

TEST_F(Reader, UnplugAndReplugOpenAndBurstTwice)
{
    hid.plug(receiver);
    hid.unplugAt(300'000, receiver.path);
    hid.plugAt(1'200'000, receiver);
    runUntil(1'400'000);

    const std::vector<TimedEvent> expected = {
        {kBurstUs, inserted()},
        {300'000, absent},
        {800'000, absent},
        {1'300'000 + kBurstUs, inserted()},
        // The removal is still flagged: the reader opens and bursts again.
        {1'300'000 + 2 * kBurstUs, inserted()},
    };
    EXPECT_EQ(events, expected);
    EXPECT_EQ(writeTimes(), (std::vector<int64_t>{0, 1'300'000, 1'300'000 + kBurstUs}));
    EXPECT_EQ(hid.openCount(receiver.path), 3);
    EXPECT_EQ(hid.openHandleCount(), 1) << "the handles of the gone receiver are closed";
    EXPECT_EQ(hidDeviceRemovedFlag.load(), 0);
}

TEST_F(Reader, UnsettledLinkReopensAfterSixTimeoutsAndSettlesAfterThreeOpens)
{
    hid.plug(receiver);
    runUntil(5'000'000);
    // Each open: a burst, then six 100 ms time-outs without a word.
    constexpr int64_t cycle = kBurstUs + 600'000;
    EXPECT_EQ(writeTimes(), (std::vector<int64_t>{0, cycle, 2 * cycle}));
    EXPECT_EQ(hid.openCount(receiver.path), 3);
    EXPECT_TRUE(finalState.linkSettled);
    EXPECT_EQ(finalState.modeBurstCount, 0u);
}

TEST_F(Reader, ReportAfterMoreThanThirtyQuietTimeoutsSettlesTheLink)
{
    struct
    {
        int quietTimeouts;
        bool settles;
    } cases[] = {{30, false}, {31, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quietTimeouts);
        FakeHidBackend fresh;
        fresh.plug(receiver);
        fresh.reportAt(50'000, receiver.path, numberedReport(hidPacketKindButton));
        DongleReader::State initial;
        initial.quietTimeouts = c.quietTimeouts;
        DongleReader reader(fresh, &queue, {}, initial);
        reader.run([&] { return fresh.nowMicroseconds() >= 1'000'000; });
        EXPECT_EQ(reader.state().linkSettled, c.settles);
        // Settled, silence no longer reopens the receiver.
        EXPECT_EQ(fresh.openCount(receiver.path), c.settles ? 1 : 2);
        EXPECT_EQ(presenterPairState.load(), 1) << "a report shows the presenter is there";
        hidDeviceAttach(&hid, &queue);
    }
    EXPECT_EQ(takePackets().size(), 2u);
}

TEST_F(Reader, SettledLinkSendsAChangedModeAtTheNextCheck)
{
    hid.plug(receiver);
    DongleReader::State settled;
    settled.linkSettled = true;
    // Settled time-outs end at 125.6 ms + k * 100 ms; every fifth is a check.
    runUntil(3'000'000, settled, {}, [](int64_t now) {
        if (now >= 300'000) {
            buttonOnlyMode.store(1);
        }
    });
    const auto writes = hid.writes();
    ASSERT_EQ(writes.size(), 2u) << "one burst at open, one for the change, none after";
    EXPECT_EQ(writes[0].data[8], 0x01);
    EXPECT_EQ(writes[1].data[8], 0x00);
    EXPECT_EQ(writes[1].timeUs, kBurstUs + 600'000);
    EXPECT_LE(writes[1].timeUs - 300'000, 5 * 100'000);
    EXPECT_EQ(finalState.lastSentButtonOnlyMode, 1);
    EXPECT_EQ(hid.openCount(receiver.path), 1);
}

TEST_F(Reader, SettledLinkReportsButtonsReleasedAtTheFourthCheckAndEveryThirdAfter)
{
    hid.plug(receiver);
    presenterInfoWord.store(0x0807060504030201);
    DongleReader::State settled;
    settled.linkSettled = true;
    bool pressed = false;
    runUntil(5'000'000, settled, {}, [&](int64_t now) {
        // The motion thread's view of the buttons: held until released here.
        if (!pressed && now > 1'000'000) {
            presenterPairState.store(1);
            hotButtonState.store(2);
            pointerButtonDown.store(1);
            pressed = true;
        }
    });
    // Checks at the 1st, 6th, 11th... settled time-out; releases at checks 4, 7, 10.
    const auto checkTime = [](int check) { return kBurstUs + 100'000 + (check - 1) * 500'000; };
    const PresenterEvent released{1, 1, 0, 0, 0, 0, 0x0807060504030201};
    const std::vector<TimedEvent> expected = {{kBurstUs, inserted(0x0807060504030201)},
                                              {checkTime(4), released},
                                              {checkTime(7), released},
                                              {checkTime(10), released}};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(hotButtonState.load(), 0);
    EXPECT_EQ(pointerButtonDown.load(), 0);
}

TEST_F(Reader, ModeChangedWhileUnsettledIsSentAtTheNextOpen)
{
    hid.plug(receiver);
    runUntil(700'000, {}, {}, [](int64_t now) {
        if (now >= 300'000) {
            buttonOnlyMode.store(1);
        }
    });
    const auto writes = hid.writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].data[8], 0x01);
    EXPECT_EQ(writes[1].timeUs, kBurstUs + 600'000);
    EXPECT_EQ(writes[1].data[8], 0x00);
}

TEST_F(Reader, ReceiverVanishingMidBurstKeepsTheEarlierPackets)
{
    hid.plug(receiver);
    hid.reportAt(40'000, receiver.path, numberedReport(hidPacketKindMotion));
    hid.reportAt(50'000, receiver.path, numberedReport(hidPacketKindStatus));
    hid.unplugAt(200'000, receiver.path);
    hid.plugAt(700'000, receiver);
    hid.unplugAt(710'000, receiver.path); // during the burst of the reopen
    runUntil(2'000'000);

    const std::vector<hidPacket> packets = takePackets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0].kind, hidPacketKindMotion);
    EXPECT_EQ(packets[1].kind, hidPacketKindStatus);
    EXPECT_EQ(writeTimes(), (std::vector<int64_t>{0, 700'000}));
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[2], (TimedEvent{700'000 + kBurstUs, inserted()}));
    EXPECT_EQ(events.back().event, absent);
    EXPECT_EQ(receiverOpen.load(), 0);
}

TEST_F(Reader, ReceiverWithoutPermissionIsAbsentAndLoggedOnce)
{
    LogCapture log;
    hid.plug(receiver);
    hid.refuseOpen(receiver.path, HidOpenResult::PermissionDenied);
    runUntil(2'200'000, {}, {}, [this](int64_t now) {
        if (now >= 2'000'000) {
            hid.allowOpen(receiver.path);
        }
    });

    ASSERT_EQ(events.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(events[i], (TimedEvent{i * 500'000, absent}));
    }
    EXPECT_EQ(events[4], (TimedEvent{2'000'000 + kBurstUs, inserted()}));
    int alerts = 0;
    for (const DXLogEntry& entry : log.entries()) {
        if (entry.level == DXLogLevelAlert) {
            ++alerts;
            EXPECT_NE(entry.text.find("permission denied"), std::string::npos) << entry.text;
            EXPECT_NE(entry.text.find(kReceiverUdevRule), std::string::npos) << entry.text;
            EXPECT_NE(entry.text.find(receiver.path), std::string::npos) << entry.text;
        }
    }
    EXPECT_EQ(alerts, 1);
    EXPECT_FALSE(hidDeviceAccessDenied()) << "opened at last";
}

TEST_F(Reader, AccessDeniedLastsWhileTheReceiverIsThereAndRefused)
{
    hid.plug(receiver);
    hid.refuseOpen(receiver.path, HidOpenResult::PermissionDenied);
    hid.unplugAt(800'000, receiver.path);
    std::vector<bool> deniedBeforeEachOpen;
    runUntil(1'100'000, {}, {}, [&](int64_t) { deniedBeforeEachOpen.push_back(hidDeviceAccessDenied()); });
    // Opens at 0 and 0.5 s are refused, the one at 1 s finds nothing; the
    // reader stops before the one at 1.5 s.
    EXPECT_EQ(deniedBeforeEachOpen, (std::vector<bool>{false, true, true, false}));
    EXPECT_FALSE(hidDeviceAccessDenied());
}

TEST_F(Reader, ReceiverIdsFromTheEnvironmentNameTheDeviceOpened)
{
    const HidDeviceInfo other{"/dev/hidraw9", 0x1234, 0xABCD, 0xFF00, 1};
    struct
    {
        const char* text;
        const HidDeviceInfo& opened;
        int alerts;
    } cases[] = {{nullptr, receiver, 0},     {"1234:abcd", other, 0},     {"1234:ABCD", other, 0},
                 {"zz", receiver, 1},        {"1234", receiver, 1},       {"0000:abcd", receiver, 1},
                 {"1234:0000", receiver, 1}, {"1234:abcd:", receiver, 1}, {"", receiver, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text == nullptr ? "(unset)" : c.text);
        LogCapture log;
        FakeHidBackend fresh;
        fresh.plug(receiver);
        fresh.plug(other);
        DongleReader reader(fresh, &queue, receiverIdsFrom(c.text));
        reader.run([&] { return fresh.nowMicroseconds() >= 100'000; });
        EXPECT_EQ(fresh.openCount(c.opened.path), 1);
        EXPECT_EQ(fresh.openCount(&c.opened == &other ? receiver.path : other.path), 0);
        EXPECT_EQ(log.entries().size(), static_cast<size_t>(c.alerts));
        hidDeviceAttach(&hid, &queue);
    }
}

} // namespace
