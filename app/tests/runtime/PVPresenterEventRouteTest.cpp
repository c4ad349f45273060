#include "runtime/PVPresenterEventRoute.h"
#include "log/DXLogConfig.h"
#include "platform/PVNotificationNames.h"
#include "support/LogCapture.h"
#include "support/PresenterRuntime.h"
#include "support/RecordingInputLayer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

/// Runs the main loop's queued work until `done` holds (or a minute passed).
template <typename Done>
void processUntil(Done done)
{
    QDeadlineTimer deadline(60'000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

TEST(PresenterEventRoute, EventsOfBothWorkerThreadsRunOnTheMainThreadInTheOrderReported)
{
    struct Handled
    {
        uint64_t sequence;
        bool onMainThread;
    };
    std::vector<Handled> handled;
    const HidCallback callback = PVQueueOnMainThread([&](const PresenterEvent& event) {
        handled.push_back({event.info, QThread::currentThread() == QCoreApplication::instance()->thread()});
    });

    // The reader and the motion thread report in turns; the sequence number
    // is taken and the event reported under one lock, so the order of
    // reporting is the order of the numbers.
    constexpr uint64_t kPerThread = 2000;
    std::mutex reporting;
    uint64_t next = 0;
    auto worker = [&](int parity) {
        for (uint64_t sent = 0; sent < kPerThread;) {
            std::lock_guard<std::mutex> lock(reporting);
            if (static_cast<int>(next % 2) != parity && next < 2 * kPerThread - 1) {
                continue; // the other thread's turn
            }
            PresenterEvent event{1, 1, parity == 0 ? 0 : 3, parity == 0 ? 0 : -2, 0, 0, next++};
            callback(event);
            event.info = 999'999; // the queued copy keeps what was reported
            ++sent;
        }
    };
    std::thread reader(worker, 0);
    std::thread motion(worker, 1);
    reader.join();
    motion.join();
    EXPECT_TRUE(handled.empty()) << "reported before the main loop runs: waiting, not lost";

    processUntil([&] { return handled.size() >= 2 * kPerThread; });
    ASSERT_EQ(handled.size(), 2 * kPerThread);
    for (uint64_t i = 0; i < handled.size(); ++i) {
        ASSERT_EQ(handled[i].sequence, i);
        ASSERT_TRUE(handled[i].onMainThread);
    }
}

class PresenterEventHandOff : public ::testing::Test
{
  protected:
    PresenterEventHandOff()
    {
        runtime.model.screens.setScreens({FakeScreenProvider::screen("DP-1", 1, {0, 0, 1600, 900})});
        runtime.center.addObserver(&observer, kPVDongleNotificationNameInsert,
                                   [this](const PVNotification&) { ++insertPosts; });
        runtime.center.addObserver(&observer, kPVDongleNotificationNameBattery,
                                   [this](const PVNotification&) { ++batteryPosts; });
        handler.activate.startObserving(&observer, [this](bool, bool) { ++activateCalls; }, false);
    }

    RecordingInputLayer input;
    PresenterRuntime runtime{input};
    PVHIDEventHandler& handler = runtime.handler;
    QObject observer;
    int insertPosts = 0;
    int batteryPosts = 0;
    int activateCalls = 0;
};

TEST_F(PresenterEventHandOff, EveryValueReachesTheHandlerAndIsLogged)
{
    const LogCapture log;
    PVSendPresenterEvent(handler, {1, 1, 4, -3, 0, 0, 55});
    EXPECT_TRUE(runtime.model.globals.dongleInsert());
    EXPECT_TRUE(runtime.model.globals.pairedState());
    EXPECT_EQ(runtime.settingDevice().battery(), 55u);
    EXPECT_EQ(insertPosts, 1);
    EXPECT_EQ(batteryPosts, 1);
    for (const char* text : {"(1, 1, 0, 0)", "4, -3"}) {
        bool found = false;
        for (const DXLogEntry& entry : log.entries()) {
            if (entry.text == text) {
                found = true;
                EXPECT_TRUE(entry.tagged && entry.tag == 2 && entry.level == DXLogLevelDebug) << text;
            }
        }
        EXPECT_TRUE(found) << text;
    }

    // The same state again posts nothing; a firmware word reaches the device.
    PVSendPresenterEvent(handler, {1, 1, 0, 0, 0, 0, 55});
    PVSendPresenterEvent(handler, {1, 1, 0, 0, 0, 0, 0x332E302E31ull});
    EXPECT_EQ(insertPosts, 1);
    EXPECT_EQ(batteryPosts, 1);
    EXPECT_EQ(runtime.settingDevice().firmwareVersion(), QStringLiteral("1.0.3"));

    // The buttons, in cursor mode: a click takes control, the pointer button
    // then gives it up.
    runtime.settingDevice().buttonSetting.set(2);
    PVSendPresenterEvent(handler, {1, 1, 0, 0, 1, 0, 0});
    EXPECT_TRUE(handler.activate.value());
    EXPECT_EQ(handler.hotButtonPressed.value(), 1);
    PVSendPresenterEvent(handler, {1, 1, 0, 0, 0, 1, 0});
    EXPECT_TRUE(handler.pointerButtonPressed.value());
    EXPECT_FALSE(handler.activate.value());

    // The receiver pulled out: posted once, whatever follows.
    PVSendPresenterEvent(handler, {});
    PVSendPresenterEvent(handler, {});
    EXPECT_FALSE(runtime.model.globals.dongleInsert());
    EXPECT_EQ(insertPosts, 2);
}

TEST_F(PresenterEventHandOff, MovementGoesToTheOverlaysOnlyWhileThePointerButtonIsHeld)
{
    runtime.settingDevice().buttonSetting.set(0); // blackout: mouse movement only gives up control
    struct Case
    {
        unsigned char pointerPressed;
        bool overlayMoves;
    };
    for (const Case c : {Case{1, true}, Case{0, false}, Case{2, false}}) {
        SCOPED_TRACE(static_cast<int>(c.pointerPressed));
        const QPointF before = runtime.overlays.currentCenter();
        const int activateBefore = activateCalls;
        PVHandOnMovement(handler, QPointF(10, -5), c.pointerPressed);
        if (c.overlayMoves) {
            // Speed level 2 (scale 1.0) times the handler's factor 0.4.
            EXPECT_EQ(runtime.overlays.currentCenter() - before, QPointF(4, -2));
            EXPECT_EQ(activateCalls, activateBefore);
        } else {
            EXPECT_EQ(runtime.overlays.currentCenter(), before);
            EXPECT_EQ(activateCalls, activateBefore + 1) << "mouse movement in blackout mode";
        }
    }
}

} // namespace
