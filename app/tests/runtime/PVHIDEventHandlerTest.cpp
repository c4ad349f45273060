#include "runtime/PVHIDEventHandler.h"
#include "overlays/PVOverlayControl.h"
#include "platform/PVNotFound.h"
#include "platform/PVNotificationNames.h"
#include "support/LogCapture.h"
#include "support/PresenterRuntime.h"
#include "support/RecordingInputLayer.h"

#include <QObject>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

using Op = PVPresentationOperation;
using Calls = std::vector<Op>;

// Two screens side by side: the primary one at the origin and an extended one.
const PVScreen kPrimary = FakeScreenProvider::screen("DP-1", 1, {0, 0, 1600, 900});
const PVScreen kExtended = FakeScreenProvider::screen("DP-2", 2, {1600, 0, 1280, 800});

/// What one observed property went through, as "name old>new".
struct Change
{
    std::string property;
    int oldValue;
    int newValue;
    bool operator==(const Change&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Change& c)
{
    return out << c.property << " " << c.oldValue << ">" << c.newValue;
}

/// The actions among the calls, without the queries that chose them.
Calls actionsOf(const Calls& calls)
{
    Calls actions;
    for (const Op op : calls) {
        if (op == Op::Play || op == Op::Stop || op == Op::Black || op == Op::Pen ||
            op == Op::AutomaticPointer) {
            actions.push_back(op);
        }
    }
    return actions;
}

class HIDEventHandler : public ::testing::Test
{
  protected:
    HIDEventHandler()
    {
        runtime.model.screens.setScreens({kPrimary, kExtended});
        for (const QString& name :
             {kPVDongleNotificationNameInsert, kPVDongleNotificationNameHasWaked,
              kPVDongleNotificationNameBattery, kPVDongleNotificationNameFirmwareVersion}) {
            runtime.center.addObserver(&observer, name, [this, name](const PVNotification& n) {
                EXPECT_EQ(n.object, nullptr);
                EXPECT_TRUE(n.userInfo.isEmpty());
                ++posted[name];
            });
        }
        handler.activate.startObserving(
            &observer,
            [this](bool o, bool n) {
                changes.push_back({"activate", o, n});
            },
            false);
        handler.hotButtonPressed.startObserving(
            &observer,
            [this](unsigned char o, unsigned char n) {
                changes.push_back({"hot", o, n});
            },
            false);
    }

    void setMode(quint64 mode) { runtime.settingDevice().buttonSetting.set(mode); }

    /// Answers of both programs (open and playing or not), with no calls yet.
    void programs(bool keynoteOpen, bool keynotePlaying, bool pptOpen, bool pptPlaying)
    {
        runtime.keynote->setAnswer(Op::Open, PVBackendAnswer::of(keynoteOpen));
        runtime.keynote->setAnswer(Op::Playing, PVBackendAnswer::of(keynotePlaying));
        runtime.ppt->setAnswer(Op::Installed, PVBackendAnswer::of(true));
        runtime.ppt->setAnswer(Op::Open, PVBackendAnswer::of(pptOpen));
        runtime.ppt->setAnswer(Op::Playing, PVBackendAnswer::of(pptPlaying));
        for (const Op op : {Op::Play, Op::Stop, Op::Black}) {
            runtime.keynote->setAnswer(op, PVBackendAnswer::done());
            runtime.ppt->setAnswer(op, PVBackendAnswer::done());
        }
        runtime.keynote->clearCalls();
        runtime.ppt->clearCalls();
    }

    /// The pointer overlays shown of one kind.
    int overlaysOf(quint64 control) const
    {
        int count = 0;
        for (const auto& controller :
             runtime.overlays.pwcs().value_or(QList<std::shared_ptr<PVPointerWindowController>>())) {
            count += controller->control() == control ? 1 : 0;
        }
        return count;
    }

    RecordingInputLayer input;
    PresenterRuntime runtime{input};
    PVHIDEventHandler& handler = runtime.handler;
    QObject observer;
    std::map<QString, int> posted;
    std::vector<Change> changes;
};

TEST_F(HIDEventHandler, InfoWordsBecomeBatteryLevelsOrFirmwareVersions)
{
    struct
    {
        uint64_t info;
        quint64 battery;
        const char* firmware; ///< null: none yet
        int batteryPosts;
        int firmwarePosts;
    } steps[] = {
        {0, PVNotFound, nullptr, 1, 0}, // level unknown
        {0, PVNotFound, nullptr, 1, 0}, // unchanged: nothing posted
        {87, 87, nullptr, 2, 0},
        {255, 255, nullptr, 3, 0},
        // 300 is 0x012C: "," and a control byte, taken as a firmware version.
        {300, 255, ",", 3, 1},
        // "1", ".", "2", NUL, "x", 7, NUL, NUL: the text ends at the NUL.
        {0x0000'0778'0032'2E31ull, 255, "1.2", 3, 2},
        {0x0000'0778'0032'2E31ull, 255, "1.2", 3, 2},
        // "1", BEL, ".", "3", ESC, "b", DEL, "c": control bytes are left out.
        {0x637F'621B'332E'0731ull, 255, "1.3bc", 3, 3},
        // A version whose first byte is NUL is the empty text.
        {0x3200, 255, "", 3, 4},
    };
    for (const auto& s : steps) {
        handler.receiveBattery(s.info);
        handler.receiveFirmwareVersion(s.info);
        const PVDevice& device = runtime.settingDevice();
        EXPECT_EQ(device.battery(), s.battery) << "info " << s.info;
        EXPECT_EQ(device.firmwareVersion(), s.firmware ? std::optional<QString>(s.firmware) : std::nullopt)
            << "info " << s.info;
        EXPECT_EQ(posted[kPVDongleNotificationNameBattery], s.batteryPosts) << "info " << s.info;
        EXPECT_EQ(posted[kPVDongleNotificationNameFirmwareVersion], s.firmwarePosts) << "info " << s.info;
    }
}

TEST_F(HIDEventHandler, AVersionWithControlBytesStillReachesTheSettingsFile)
{
    handler.receiveFirmwareVersion(0x637F'621B'332E'0731ull);
    runtime.settingDevice().syncronizedDeviceDictWithPropertiesAndUpdate();
    EXPECT_EQ(runtime.model.storedGeneral().value("firmware_version").toString(), "1.3bc");
}

TEST_F(HIDEventHandler, AClickTakesControlAndShowsForAFifthOfASecond)
{
    struct
    {
        quint64 mode;
        std::vector<Change> changes; ///< up to the click's state
    } cases[] = {
        // Cursor: the actions see the click while control is not yet taken.
        {PVButtonModeCursor, {{"hot", 0, 1}, {"activate", 0, 1}}},
        // Highlighter and magnifier: control first.
        {PVButtonModeHighlighter, {{"activate", 0, 1}, {"hot", 0, 1}}},
        {PVButtonModeMagnifier, {{"activate", 0, 1}, {"hot", 0, 1}}},
    };
    for (const auto& c : cases) {
        handler.setActivate(false);
        changes.clear();
        setMode(c.mode);
        handler.didPressHotButton(1);
        EXPECT_EQ(changes, c.changes) << "mode " << c.mode;
        EXPECT_TRUE(handler.activate.value());
        EXPECT_EQ(handler.hotButtonPressed.value(), 1);
        runtime.advanceMilliseconds(199);
        EXPECT_EQ(handler.hotButtonPressed.value(), 1) << "mode " << c.mode;
        runtime.advanceMilliseconds(1);
        EXPECT_EQ(handler.hotButtonPressed.value(), 0) << "mode " << c.mode;
        EXPECT_EQ(changes.back(), (Change{"hot", 1, 0}));
    }
}

TEST_F(HIDEventHandler, HotButtonStatesByMode)
{
    programs(false, false, false, false);
    struct
    {
        quint64 mode;
        std::vector<unsigned char> states;
        std::vector<unsigned char> shown; ///< hotButtonPressed after each state
        bool activate;
    } cases[] = {
        // Blackout: only a fresh click shows; a hold or a release changes nothing.
        {PVButtonModeBlackout, {2, 0, 1, 0}, {0, 0, 1, 1}, false},
        {PVButtonModeSlideShow, {2, 0, 1, 0}, {2, 0, 1, 0}, false},
        // A hold takes no control; only a click does.
        {PVButtonModeCursor, {2, 0}, {2, 0}, false},
        {PVButtonModeHighlighter, {2, 0}, {2, 0}, false},
        {PVButtonModeMagnifier, {2, 0}, {2, 0}, false},
        // A mode the handler does not know does nothing.
        {7, {1, 2}, {0, 0}, false},
    };
    for (const auto& c : cases) {
        setMode(c.mode);
        for (size_t i = 0; i < c.states.size(); ++i) {
            handler.didPressHotButton(c.states[i]);
            EXPECT_EQ(handler.hotButtonPressed.value(), c.shown[i]) << "mode " << c.mode << " step " << i;
        }
        EXPECT_EQ(handler.activate.value(), c.activate) << "mode " << c.mode;
        runtime.advanceMilliseconds(200);
        EXPECT_EQ(handler.hotButtonPressed.value(), 0) << "mode " << c.mode;
    }
}

TEST_F(HIDEventHandler, PointerSpeedScalesEveryMovement)
{
    const double expected[] = {0.5, 0.75, 1.0, 1.25, 1.5, 1.0, 1.0, 1.0};
    const uint64_t levels[] = {0, 1, 2, 3, 4, 5, 7, ~uint64_t{0}};
    for (size_t i = 0; i < std::size(levels); ++i) {
        EXPECT_DOUBLE_EQ(PVHIDEventHandler::speedScale(levels[i]), expected[i]) << "level " << levels[i];
        runtime.settingDevice().setPointerSpeed(levels[i]);
        runtime.overlays.setCenter(QPointF(800, 450), false);
        handler.receivePointerPosition(100, -50);
        const QPointF moved = runtime.overlays.currentCenter() - QPointF(800, 450);
        EXPECT_DOUBLE_EQ(moved.x(), 100 * expected[i] * 0.4) << "level " << levels[i];
        EXPECT_DOUBLE_EQ(moved.y(), -50 * expected[i] * 0.4) << "level " << levels[i];
    }
}

TEST_F(HIDEventHandler, ControlEndsAHundredSecondsAfterItWasTaken)
{
    setMode(PVButtonModeCursor);
    handler.didPressHotButton(1);
    ASSERT_TRUE(handler.activate.value());
    ASSERT_TRUE(handler.activateDate().has_value());
    const QDateTime taken = *handler.activateDate();
    // Clicks every 20 s keep `activate` but restart nothing.
    for (int i = 0; i < 4; ++i) {
        runtime.advanceMilliseconds(20'000);
        handler.didPressHotButton(1);
        EXPECT_TRUE(handler.activate.value());
    }
    EXPECT_EQ(handler.activateDate(), taken);
    runtime.advanceMilliseconds(19'999);
    EXPECT_TRUE(handler.activate.value());
    runtime.advanceMilliseconds(1);
    EXPECT_FALSE(handler.activate.value());
    EXPECT_FALSE(handler.hasActivateTimer());

    // Control given up and taken again: only the new timer counts.
    runtime.advanceMilliseconds(1000);
    handler.didPressHotButton(1);
    runtime.advanceMilliseconds(10'000);
    handler.didPressPointerButton(1);
    EXPECT_FALSE(handler.activate.value());
    EXPECT_FALSE(handler.hasActivateTimer());
    handler.didPressPointerButton(0);
    runtime.advanceMilliseconds(10'000);
    handler.didPressHotButton(1);
    runtime.advanceMilliseconds(99'999);
    EXPECT_TRUE(handler.activate.value()) << "the first timer was stopped";
    runtime.advanceMilliseconds(1);
    EXPECT_FALSE(handler.activate.value());
}

TEST_F(HIDEventHandler, ReceiverAndPairingFollowTheEvents)
{
    handler.receiveDongleInsertChanged(1);
    handler.receiveDongleInsertChanged(1);
    EXPECT_TRUE(runtime.model.globals.dongleInsert());
    EXPECT_EQ(posted[kPVDongleNotificationNameInsert], 1);

    PVDongle& dongle = runtime.model.models.currentDongle();
    ASSERT_TRUE(dongle.pairedDevices().empty());
    handler.receivePairStateChanged(1);
    handler.receivePairStateChanged(1);
    EXPECT_TRUE(runtime.model.globals.pairedState());
    ASSERT_EQ(dongle.pairedDevices().size(), 1u);
    EXPECT_EQ(dongle.pairedDevices()[0]->serialID(), "Development");
    EXPECT_EQ(posted[kPVDongleNotificationNameHasWaked], 1);

    setMode(PVButtonModeMagnifier);
    handler.didPressHotButton(1);
    ASSERT_TRUE(handler.activate.value());
    changes.clear();
    handler.receivePairStateChanged(0);
    EXPECT_FALSE(runtime.model.globals.pairedState());
    EXPECT_TRUE(dongle.pairedDevices().empty());
    EXPECT_EQ(posted[kPVDongleNotificationNameHasWaked], 2);
    EXPECT_EQ(changes, (std::vector<Change>{{"activate", 1, 0}}));

    handler.receivePairStateChanged(1);
    handler.didPressHotButton(0);
    handler.didPressHotButton(1);
    ASSERT_TRUE(handler.activate.value());
    changes.clear();
    handler.receiveDongleInsertChanged(0);
    EXPECT_FALSE(runtime.model.globals.dongleInsert());
    EXPECT_EQ(posted[kPVDongleNotificationNameInsert], 2);
    EXPECT_EQ(changes, (std::vector<Change>{{"activate", 1, 0}}));
}

TEST_F(HIDEventHandler, AMessageArrivingWhileItIsHandledIsDropped)
{
    // An observer of the receiver's notification reports the receiver gone
    // while its arrival is still being handled.
    runtime.center.addObserver(&observer, kPVDongleNotificationNameInsert,
                               [this](const PVNotification&) { handler.receiveDongleInsertChanged(0); });
    handler.receiveDongleInsertChanged(1);
    EXPECT_TRUE(runtime.model.globals.dongleInsert());
    EXPECT_EQ(posted[kPVDongleNotificationNameInsert], 1);

    // An observer of the hot button presses it again from inside.
    setMode(PVButtonModeSlideShow);
    programs(false, false, false, false);
    handler.hotButtonPressed.startObserving(
        &observer, [this](unsigned char, unsigned char n) { handler.didPressHotButton(n == 1 ? 2 : 1); },
        false);
    handler.didPressHotButton(1);
    EXPECT_EQ(handler.hotButtonPressed.value(), 1);
}

TEST_F(HIDEventHandler, BlackoutBlanksTheOpenProgramsShow)
{
    struct
    {
        const char* name;
        bool keynoteOpen, keynotePlaying, pptOpen, pptPlaying;
        Calls keynote, ppt;           ///< actions at once
        Calls keynoteLater, pptLater; ///< actions 50 ms later
        const char* line;
    } cases[] = {
        {"first not playing", true, false, true, false, {Op::Play}, {}, {Op::Black}, {}, nullptr},
        {"first playing", true, true, true, true, {Op::Black}, {}, {}, {}, nullptr},
        {"second not playing", false, false, true, false, {}, {Op::Play}, {}, {Op::Black}, "ppt not playing"},
        {"second playing", false, false, true, true, {}, {Op::Black}, {}, {}, nullptr},
        {"neither",
         false,
         false,
         false,
         false,
         {},
         {},
         {},
         {},
         "Neither keynote or PPT is open, directly show blackout screen."},
    };
    setMode(PVButtonModeBlackout);
    for (const auto& c : cases) {
        programs(c.keynoteOpen, c.keynotePlaying, c.pptOpen, c.pptPlaying);
        LogCapture lines;
        handler.didPressHotButton(1);
        EXPECT_EQ(actionsOf(runtime.keynote->calls()), c.keynote) << c.name;
        EXPECT_EQ(actionsOf(runtime.ppt->calls()), c.ppt) << c.name;
        runtime.advanceMilliseconds(49);
        EXPECT_EQ(actionsOf(runtime.keynote->calls()), c.keynote) << c.name;
        EXPECT_EQ(actionsOf(runtime.ppt->calls()), c.ppt) << c.name;
        runtime.advanceMilliseconds(1);
        Calls keynote = c.keynote, ppt = c.ppt;
        keynote.insert(keynote.end(), c.keynoteLater.begin(), c.keynoteLater.end());
        ppt.insert(ppt.end(), c.pptLater.begin(), c.pptLater.end());
        EXPECT_EQ(actionsOf(runtime.keynote->calls()), keynote) << c.name;
        EXPECT_EQ(actionsOf(runtime.ppt->calls()), ppt) << c.name;
        if (c.line != nullptr) {
            EXPECT_TRUE(lines.contains(DXLogLevelDebug, c.line)) << c.name;
        } else {
            EXPECT_FALSE(lines.contains(DXLogLevelDebug, "ppt not playing")) << c.name;
        }
        runtime.advanceMilliseconds(150);
        EXPECT_EQ(handler.hotButtonPressed.value(), 0) << c.name;
    }
    EXPECT_EQ(runtime.overlays.pwcs(), std::nullopt) << "no black screen of our own";
}

TEST_F(HIDEventHandler, StartStopActsOnThePressEdgeOnly)
{
    struct
    {
        const char* name;
        bool keynoteOpen, keynotePlaying, pptOpen, pptPlaying;
        std::vector<unsigned char> states;
        Calls keynote, ppt;
    } cases[] = {
        {"first playing: stop", true, true, true, true, {1, 0}, {Op::Stop}, {}},
        {"first stopped: play", true, false, false, false, {1, 0}, {Op::Play}, {}},
        {"second playing, held", false, false, true, true, {2, 1, 0}, {}, {Op::Stop}},
        {"second stopped", false, false, true, false, {1, 2, 0, 2, 0}, {}, {Op::Play, Op::Play}},
        {"neither", false, false, false, false, {1, 0}, {}, {}},
    };
    setMode(PVButtonModeSlideShow);
    for (const auto& c : cases) {
        programs(c.keynoteOpen, c.keynotePlaying, c.pptOpen, c.pptPlaying);
        LogCapture lines;
        for (const unsigned char state : c.states) {
            handler.didPressHotButton(state);
        }
        EXPECT_EQ(actionsOf(runtime.keynote->calls()), c.keynote) << c.name;
        EXPECT_EQ(actionsOf(runtime.ppt->calls()), c.ppt) << c.name;
        EXPECT_EQ(lines.contains(DXLogLevelDebug, "Neither keynote or PPT is open"),
                  c.keynote.empty() && c.ppt.empty())
            << c.name;
        runtime.advanceMilliseconds(200);
    }
}

TEST_F(HIDEventHandler, ThePointerButtonShowsThePointerOverlayOnThePresentationScreen)
{
    setMode(PVButtonModeCursor);
    handler.didPressHotButton(1);
    runtime.settingDevice().setPresentDesktop(PVPresentDesktopExtended);
    handler.didPressPointerButton(1);
    EXPECT_TRUE(handler.pointerButtonPressed.value());
    EXPECT_FALSE(handler.activate.value());
    EXPECT_EQ(overlaysOf(PVOverlayControlPointer), 2) << "one per screen";
    EXPECT_EQ(runtime.overlays.currentCenter(), QPointF(2240, 400));

    // Held: pointer movements move the overlay; a repeated press shows no more.
    runtime.settingDevice().setPointerSpeed(2);
    handler.receivePointerPosition(50, 25);
    EXPECT_EQ(runtime.overlays.currentCenter(), QPointF(2260, 410));
    handler.didPressPointerButton(1);
    EXPECT_EQ(overlaysOf(PVOverlayControlPointer), 2);

    handler.didPressPointerButton(0);
    EXPECT_FALSE(handler.pointerButtonPressed.value());
    EXPECT_EQ(overlaysOf(PVOverlayControlPointer), 0);
}

TEST_F(HIDEventHandler, ThePresentationScreenFollowsTheSetting)
{
    // The overlay manager's screen is the one its centre was last placed on.
    runtime.overlays.setCenter(QPointF(2000, 100), false);
    struct
    {
        quint64 presentDesktop;
        QList<PVScreen> screens;
        std::optional<PVScreen> picked;
    } cases[] = {
        {PVPresentDesktopPrimary, {kPrimary, kExtended}, kPrimary},
        {PVPresentDesktopExtended, {kPrimary, kExtended}, kExtended},
        {PVPresentDesktopExtended, {kPrimary}, kPrimary},
        {PVPresentDesktopAutomatic, {kPrimary, kExtended}, kExtended},
        {PVPresentDesktopAutomatic, {kPrimary}, kPrimary}, // the overlay's screen is gone
        {9, {kPrimary, kExtended}, kPrimary},
        {PVPresentDesktopExtended, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        runtime.model.screens.setScreens(c.screens);
        runtime.settingDevice().setPresentDesktop(c.presentDesktop);
        EXPECT_EQ(handler.pickScreen(), c.picked)
            << "desktop " << c.presentDesktop << ", " << c.screens.size() << " screens";
        EXPECT_EQ(handler.pickCenter(), c.picked ? c.picked->frame.center() : QPointF(0, 0));
    }
}

TEST_F(HIDEventHandler, MovementFollowsTheButtonMode)
{
    runtime.cursor.startControlCursor();
    runtime.cursor.uncheckMoveCursorCenter(QPointF(800, 450), false);
    runtime.overlays.setCenter(QPointF(100, 100), false);
    struct
    {
        quint64 mode;
        unsigned char hot;
        QPointF cursor;  ///< after the move
        QPointF overlay; ///< after the move
        bool drag;
        bool activate;
    } cases[] = {
        {PVButtonModeBlackout, 0, {800, 450}, {100, 100}, false, false},
        {PVButtonModeSlideShow, 0, {800, 450}, {100, 100}, false, false},
        {PVButtonModeCursor, 0, {840, 430}, {100, 100}, false, true},
        {PVButtonModeHighlighter, 2, {880, 410}, {100, 100}, true, true},
        {PVButtonModeMagnifier, 0, {880, 410}, {140, 80}, false, true},
        {8, 0, {880, 410}, {140, 80}, false, true},
    };
    for (const auto& c : cases) {
        handler.setActivate(true);
        setMode(c.mode);
        handler.hotButtonPressed.set(c.hot);
        input.calls.clear();
        handler.receiveMousePosition(100, -50);
        EXPECT_EQ(runtime.cursor.cursorPoint(), c.cursor) << "mode " << c.mode;
        EXPECT_EQ(runtime.overlays.currentCenter(), c.overlay) << "mode " << c.mode;
        EXPECT_EQ(handler.activate.value(), c.activate) << "mode " << c.mode;
        const bool moved = c.mode == PVButtonModeCursor || c.mode == PVButtonModeHighlighter;
        ASSERT_EQ(input.calls.size(), moved ? 2u : 0u) << "mode " << c.mode;
        if (moved) {
            EXPECT_EQ(input.calls[1].kind, RecordingInputLayer::Kind::Motion);
            EXPECT_EQ(input.calls[1].leftHeld, c.drag) << "mode " << c.mode;
        }
    }
}

} // namespace
