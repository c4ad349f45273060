#include "application/PVAppDelegate.h"
#include "device/dongleReader.h"
#include "device/hidDevice.h"
#include "device/packetQueue.h"
#include "device/presenterState.h"
#include "device/receiverIds.h"
#include "log/DXLog.h"
#include "log/DXLogConfig.h"
#include "platform/PVNotificationNames.h"
#include "runtime/PVEventHandler.h"
#include "sensor/motionThread.h"
#include "support/FakeHidBackend.h"
#include "support/PresenterRuntime.h"
#include "support/RecordingInputLayer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Kind = RecordingInputLayer::Kind;

/// Runs the main loop's queued work until `done` holds (or a minute passed).
template <typename Done>
void processUntil(Done done)
{
    QDeadlineTimer deadline(60'000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

/// Runs the queued work that is there now.
void processQueued()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

/// A delegate over the test's runtime: every outside call of the launch is
/// recorded in `calls`, the worker threads are not started, and the button-
/// mode actions act on the runtime.
class DelegateLaunch : public ::testing::Test
{
  protected:
    DelegateLaunch()
    {
        runtime.model.screens.setScreens({FakeScreenProvider::screen("DP-1", 1, {0, 0, 1600, 900})});
        runtime.center.addObserver(&observer, kPVDongleNotificationNameInsert,
                                   [this](const PVNotification&) { ++insertPosts; });
        buttonOnlyMode.store(0);
        DXLogSetSink([this](const DXLogEntry& entry) {
            if (entry.text.rfind("profile path", 0) == 0) {
                record("log " + entry.text + (entry.level == DXLogLevelDebug ? " (Debug)" : ""));
            }
        });
    }
    ~DelegateLaunch() override
    {
        DXLogSetSink({});
        setHidCallback({});
        buttonOnlyMode.store(0);
    }

    /// Recorded launch parts; the filter's recent movements are marked so
    /// that the steps show when they were cleared.
    void makeDelegate()
    {
        PVLaunchParts parts{
            .globalObjectManager = [this]() -> PVGlobalObjectManager& {
                record("globalObjectManager");
                return runtime.model.globals;
            },
            .documentPath = [this] { return runtime.model.folder.document(); },
            .dcdDocumentPath = [this] { return runtime.model.folder.document() + "/dcd"; },
            .setDcdFolderPath = [this](std::string path) {
                record("dcdFolderPath " + path);
                setDcdFolderPath(std::move(path));
            },
            .settingDevice = [this]() -> PVDevice& { return runtime.settingDevice(); },
            .setButtonOnlyModeForButtonMode = [this](uint64_t mode) {
                setButtonOnlyModeForButtonMode(mode);
                record("buttonOnlyMode " + std::to_string(buttonOnlyMode.load()));
            },
            .setHidCallback = [this](HidCallback callback) {
                record("setHidCallback");
                installed = callback;
                setHidCallback(std::move(callback));
            },
            .eventHandler = [this]() -> PVHIDEventHandler& { return runtime.handler; },
            .startObserving = [this] {
                record("startObserving");
                actions.startObserving();
            },
            .getPPTVersion = [this] {
                record("getPPTVersion");
                return pptAnswer;
            },
            .startHidThreads = [this] {
                record("startHidThreads");
                return 0;
            },
        };
        delegate = std::make_unique<PVAppDelegate>(std::move(parts));
        PVMotionNoiseFilter::RecentMoves marked;
        marked.fill(QPointF(9, 9));
        delegate->motionFilter().setRecentDiffer(marked);
    }

    void record(const std::string& call)
    {
        const auto& recent = delegate->motionFilter().recentDiffer();
        const bool cleared = std::all_of(recent.begin(), recent.end(), [](QPointF p) { return p.isNull(); });
        calls.push_back(call + (cleared ? " [cleared]" : ""));
    }

    void launch()
    {
        makeDelegate();
        delegate->launchPresenterRuntime();
    }

    /// `events` reported by a worker thread, then handled on this one.
    void report(const std::vector<PresenterEvent>& events)
    {
        std::thread worker([&] {
            for (const PresenterEvent& event : events) {
                installed(event);
            }
        });
        worker.join();
        processQueued();
    }

    std::vector<RecordingInputLayer::Call> motions() const
    {
        std::vector<RecordingInputLayer::Call> found;
        std::copy_if(input.calls.begin(), input.calls.end(), std::back_inserter(found),
                     [](const auto& call) { return call.kind == Kind::Motion; });
        return found;
    }

    RecordingInputLayer input;
    PresenterRuntime runtime{input};
    PVEventHandler actions{{runtime.handler, runtime.model.models, runtime.overlays, runtime.cursor}};
    QObject observer;
    int insertPosts = 0;
    std::optional<QString> pptAnswer;
    std::vector<std::string> calls;
    HidCallback installed;
    std::unique_ptr<PVAppDelegate> delegate;
};

TEST_F(DelegateLaunch, StartsThePresenterRuntimeInOrder)
{
    struct Case
    {
        uint64_t storedMode;
        std::optional<QString> pptAnswer;
        int buttonOnly;
        const char* pptVersion;
    };
    const Case cases[] = {
        {0, QStringLiteral("7.5.9.2"), 1, "7.5.9.2"},
        {1, std::nullopt, 1, ""},
        {2, QStringLiteral(""), 0, ""},
        {3, std::nullopt, 0, ""},
        {4, QStringLiteral("24.2"), 0, "24.2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedMode);
        runtime.settingDevice().buttonSetting.set(c.storedMode);
        buttonOnlyMode.store(c.buttonOnly == 1 ? 0 : 1); // the opposite, to see it set
        pptAnswer = c.pptAnswer;
        calls.clear();
        launch();
        const std::string document = runtime.model.folder.document().toStdString();
        EXPECT_EQ(calls, (std::vector<std::string>{
                             "globalObjectManager",
                             "log profile path " + document + " (Debug)",
                             "dcdFolderPath " + document + "/dcd",
                             "buttonOnlyMode " + std::to_string(c.buttonOnly),
                             "setHidCallback [cleared]",
                             "startObserving [cleared]",
                             "getPPTVersion [cleared]",
                             "startHidThreads [cleared]",
                         }));
        EXPECT_EQ(dcdFolderPath(), document + "/dcd");
        EXPECT_EQ(runtime.model.globals.pptVersion(), QString::fromUtf8(c.pptVersion));
        EXPECT_EQ(delegate->motionFilter().recentDiffer().size(), 8u);
        EXPECT_TRUE(static_cast<bool>(delegate->hidcallback()));
    }
}

TEST_F(DelegateLaunch, MovementReachesThePointerOnlyAfterSixMotionEvents)
{
    runtime.settingDevice().buttonSetting.set(2); // cursor
    launch();
    const PresenterEvent click{1, 1, 0, 0, 1, 0, 80};
    const PresenterEvent motion{1, 1, 10, -5, 0, 0, 80};
    report({click});
    EXPECT_TRUE(runtime.handler.activate.value()) << "the click takes control";
    const size_t recentred = motions().size(); // taking control puts the pointer at the centre
    for (int i = 0; i < 6; ++i) {
        report({motion});
        EXPECT_EQ(motions().size(), recentred) << "motion event " << i;
    }
    report({motion});
    ASSERT_EQ(motions().size(), recentred + 1);
    // dy counts upwards: the pointer, in top-left coordinates, moves right
    // by 10 and down by 5, times 0.4 at speed level 2.
    const auto moved = motions();
    const QPointF from = recentred > 0 ? moved[recentred - 1].point : QPointF(800, 450);
    EXPECT_EQ(moved.back().point - from, QPointF(4, 2));
    EXPECT_FALSE(moved.back().leftHeld);

    // Small movements never reach it; the pointer button's event re-arms
    // the filter and the movement then goes to the pointer overlay.
    report({{1, 1, 1, 1, 0, 0, 80}, {1, 1, -1, 0, 0, 0, 80}});
    EXPECT_EQ(motions().size(), recentred + 1);
    report({{1, 1, 0, 0, 0, 1, 80}});
    const QPointF overlayBefore = runtime.overlays.currentCenter();
    const PresenterEvent held{1, 1, 10, -5, 0, 1, 80};
    report(std::vector<PresenterEvent>(6, held));
    EXPECT_EQ(runtime.overlays.currentCenter(), overlayBefore);
    report({held});
    EXPECT_EQ(runtime.overlays.currentCenter() - overlayBefore, QPointF(4, -2));
    EXPECT_EQ(motions().size(), recentred + 1) << "the cursor stays where it was";
}

TEST_F(DelegateLaunch, OnceTheDelegateIsGoneEventsStillReachTheHandlerWithoutMovement)
{
    runtime.settingDevice().buttonSetting.set(4); // magnifier: movement would move the overlays
    launch();
    std::vector<PresenterEvent> events{{1, 1, 0, 0, 0, 0, 0}};
    events.insert(events.end(), 10, PresenterEvent{1, 1, 30, 30, 0, 0, 42});
    std::thread worker([&] {
        for (const PresenterEvent& event : events) {
            installed(event);
        }
    });
    worker.join();
    const QPointF center = runtime.overlays.currentCenter();
    delegate.reset();
    processQueued();
    EXPECT_TRUE(runtime.model.globals.dongleInsert());
    EXPECT_EQ(runtime.settingDevice().battery(), 42u);
    EXPECT_EQ(runtime.overlays.currentCenter(), center);
}

TEST_F(DelegateLaunch, WithoutAReceiverTheInsertNotificationComesOnlyWithAChange)
{
    launch();
    packetQueue queue{};
    ASSERT_EQ(packetQueueInitSync(&queue), 0);
    ASSERT_EQ(packetQueueInit(&queue), 0);
    FakeHidBackend hid;
    const HidDeviceInfo receiver{"/dev/hidraw3", kReceiverVendorId, kReceiverProductId, 0xFF00, 1};
    {
        DongleReader reader(hid, &queue, ReceiverIds{});
        auto runUntil = [&](int64_t untilUs) {
            reader.run([&] { return hid.nowMicroseconds() >= untilUs; });
            processQueued();
        };
        runUntil(3'000'000); // six looks for the receiver, each reported
        EXPECT_FALSE(runtime.model.globals.dongleInsert());
        EXPECT_EQ(insertPosts, 0);

        hid.plug(receiver);
        runUntil(4'000'000);
        EXPECT_TRUE(runtime.model.globals.dongleInsert());
        EXPECT_EQ(insertPosts, 1);

        hid.unplug(receiver.path);
        runUntil(6'000'000);
        EXPECT_FALSE(runtime.model.globals.dongleInsert());
        EXPECT_EQ(insertPosts, 2);
    }
    hidDeviceAttach(nullptr, sharedPacketQueue());
    packetQueueClose(&queue); // the receiver sent no input: nothing was queued
    packetQueueDestroySync(&queue);
}

} // namespace
