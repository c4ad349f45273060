#include "runtime/PVEventHandler.h"
#include "overlays/PVOverlayControl.h"
#include "platform/X11InputLayer.h"
#include "support/LogCapture.h"
#include "support/PresenterRuntime.h"
#include "support/RecordingInputLayer.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Op = PVPresentationOperation;
using Calls = std::vector<Op>;
using Kind = RecordingInputLayer::Kind;

// Records the button calls the cursor manager makes and hands every call on
// to the display's real pointer.
class TeeInputLayer final : public PVInputLayer
{
  public:
    explicit TeeInputLayer(PVInputLayer& real) : real_(real) {}

    bool available() const override { return real_.available(); }
    void warp(QPointF point) override { real_.warp(point); }
    void motion(QPointF point, bool leftHeld) override { real_.motion(point, leftHeld); }
    void leftButton(QPointF point, bool down, uint64_t clickState) override
    {
        buttons.push_back(down ? Kind::LeftDown : Kind::LeftUp);
        real_.leftButton(point, down, clickState);
    }
    std::optional<QPointF> pointerPosition() override { return real_.pointerPosition(); }

    std::vector<Kind> buttons;

  private:
    PVInputLayer& real_;
};

// A window that counts the left-button presses, double clicks among them.
class ClickTarget : public QWidget
{
  public:
    int presses = 0;
    int doubleClicks = 0;
    int releases = 0;

  protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        presses += event->button() == Qt::LeftButton ? 1 : 0;
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            ++presses;
            ++doubleClicks;
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        releases += event->button() == Qt::LeftButton ? 1 : 0;
    }
};

int countOf(const LogCapture& log, unsigned tag, const std::string& text)
{
    int count = 0;
    for (const DXLogEntry& entry : log.entries()) {
        count += entry.level == DXLogLevelDebug && entry.tag == tag && entry.text == text ? 1 : 0;
    }
    return count;
}

class ButtonModeActions : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(x11.available()) << x11.unavailableReason();
        // The scripted screen is the display's own, so that the pointer the
        // cursor manager places is where the display puts it.
        const QRect geometry = QGuiApplication::primaryScreen()->geometry();
        screen = FakeScreenProvider::screen("Virtual-1", 1, QRectF(geometry));
        runtime.model.screens.setScreens({screen});
        pptAnswers(true, true, true);
    }

    /// Stores the mode and starts the observations.
    void start(quint64 mode)
    {
        runtime.settingDevice().buttonSetting.set(mode);
        actions.startObserving();
        input.buttons.clear();
    }

    void pptAnswers(bool open, bool playing, bool frontmost)
    {
        runtime.ppt->setAnswer(Op::Installed, PVBackendAnswer::of(true));
        runtime.ppt->setAnswer(Op::Open, PVBackendAnswer::of(open));
        runtime.ppt->setAnswer(Op::Playing, PVBackendAnswer::of(playing));
        runtime.ppt->setAnswer(Op::Frontmost, PVBackendAnswer::of(frontmost));
        runtime.ppt->setAnswer(Op::Pen, PVBackendAnswer::done());
        runtime.ppt->setAnswer(Op::AutomaticPointer, PVBackendAnswer::done());
    }

    /// The actions the second program was asked for since the last call.
    Calls takePptActions()
    {
        Calls actions;
        for (const Op op : runtime.ppt->calls()) {
            if (op == Op::Pen || op == Op::AutomaticPointer) {
                actions.push_back(op);
            }
        }
        runtime.ppt->clearCalls();
        return actions;
    }

    std::vector<Kind> takeButtons()
    {
        std::vector<Kind> buttons = std::move(input.buttons);
        input.buttons.clear();
        return buttons;
    }

    /// A hot-button click as the presenter sends it, then the 200-ms reset.
    void click()
    {
        handler.didPressHotButton(1);
        runtime.advanceMilliseconds(PVHIDEventHandler::kClickResetMs);
    }

    /// The glass overlays shown, and how many of them hide their image.
    int glasses(bool hiddenOnly = false) const
    {
        int count = 0;
        for (const auto& controller :
             runtime.overlays.pwcs().value_or(QList<std::shared_ptr<PVPointerWindowController>>())) {
            count += controller->control() == PVOverlayControlMagnifierGlass &&
                             (!hiddenOnly || controller->shouldHide())
                         ? 1
                         : 0;
        }
        return count;
    }
    int captures() const
    {
        return static_cast<int>(runtime.overlays.mwcs()
                                    .value_or(PVExtraWindowManager::MagnifierControllers::value_type())
                                    .size());
    }

    X11InputLayer x11;
    TeeInputLayer input{x11};
    PresenterRuntime runtime{input};
    PVHIDEventHandler& handler = runtime.handler;
    PVCursorManager& cursor = runtime.cursor;
    PVEventHandler actions{{runtime.handler, runtime.model.models, runtime.overlays, runtime.cursor}};
    PVScreen screen;
};

TEST_F(ButtonModeActions, TheStoredModeIsAppliedOnceAtStart)
{
    struct
    {
        quint64 mode;
        bool cleanStart;
    } cases[] = {
        {PVButtonModeBlackout, false}, {PVButtonModeMagnifier, true}, {PVButtonModeHighlighter, true}};
    for (const auto& c : cases) {
        PVEventHandler fresh({runtime.handler, runtime.model.models, runtime.overlays, runtime.cursor});
        runtime.settingDevice().buttonSetting.set(c.mode);
        cursor.startControlCursor();
        input.buttons.clear();
        LogCapture log;
        fresh.startObserving();
        EXPECT_EQ(cursor.controlling(), !c.cleanStart) << "mode " << c.mode;
        EXPECT_EQ(takeButtons(), c.cleanStart ? std::vector<Kind>{Kind::LeftUp} : std::vector<Kind>{})
            << "mode " << c.mode;
        const std::string modeLine = "keyPath = buttonSetting, old = 0, new = " + std::to_string(c.mode);
        EXPECT_EQ(countOf(log, DXLogAllTags, modeLine), 1) << "mode " << c.mode;
        EXPECT_EQ(countOf(log, DXLogAllTags, "keyPath = activate, old = 0, new = 0"), 1);
        EXPECT_EQ(countOf(log, DXLogAllTags, "keyPath = hotButtonPressed, old = 0, new = 0"), 1);
        EXPECT_EQ(countOf(log, DXLogAllTags, "keyPath = pointerButtonPressed, old = 0, new = 0"), 1);
    }
}

TEST_F(ButtonModeActions, ChangingTheModeEndsWhatTheOldModeStarted)
{
    start(PVButtonModeMagnifier);
    click();
    handler.didPressHotButton(2);
    runtime.advanceMilliseconds(PVEventHandler::kCaptureDelayMs);
    ASSERT_EQ(glasses(), 1);
    ASSERT_EQ(captures(), 1);
    cursor.startControlCursor();
    cursor.performDragStart();
    takeButtons();

    runtime.settingDevice().buttonSetting.set(PVButtonModeCursor);
    EXPECT_EQ(glasses(), 0);
    EXPECT_EQ(captures(), 0);
    EXPECT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftUp});
    EXPECT_FALSE(cursor.controlling());

    // Setting the same mode again is no change.
    cursor.startControlCursor();
    runtime.settingDevice().buttonSetting.set(PVButtonModeCursor);
    EXPECT_TRUE(cursor.controlling());
}

TEST_F(ButtonModeActions, CursorModeTheFirstClickTakesControlTheNextOneClicks)
{
    start(PVButtonModeCursor);
    cursor.uncheckMoveCursorCenter(QPointF(10, 10), false);
    click();
    EXPECT_TRUE(cursor.controlling());
    EXPECT_TRUE(handler.activate.value());
    EXPECT_EQ(cursor.cursorPoint(), screen.frame.center());
    EXPECT_EQ(x11.pointerPosition(), QPointF(960, 540));
    EXPECT_TRUE(takeButtons().empty()) << "the first click does not click";

    click();
    EXPECT_EQ(takeButtons(), (std::vector<Kind>{Kind::LeftDown, Kind::LeftUp}));

    // Control lost and taken again by `activate` alone: the next click clicks.
    handler.setActivate(false);
    EXPECT_FALSE(cursor.controlling());
    EXPECT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftUp}) << "any drag ends";
    handler.setActivate(true);
    EXPECT_TRUE(cursor.controlling());
    runtime.advanceMilliseconds(300);
    click();
    EXPECT_EQ(takeButtons(), (std::vector<Kind>{Kind::LeftDown, Kind::LeftUp}));
}

TEST_F(ButtonModeActions, CursorModeHoldingDragsAndLosingControlLetsGo)
{
    start(PVButtonModeCursor);
    click();
    LogCapture log;
    handler.didPressHotButton(2);
    EXPECT_EQ(countOf(log, 2, "long pressed start"), 1);
    EXPECT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftDown});
    handler.didPressHotButton(0);
    EXPECT_EQ(countOf(log, 2, "long pressed end"), 1);
    EXPECT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftUp});

    handler.didPressHotButton(2);
    ASSERT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftDown});
    handler.setActivate(false);
    EXPECT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftUp});
    EXPECT_FALSE(cursor.controlling());

    // Held again with control lost: the button goes down, and up at the release.
    handler.didPressHotButton(0);
    takeButtons();
    handler.didPressHotButton(2);
    handler.didPressHotButton(0);
    EXPECT_EQ(takeButtons(), (std::vector<Kind>{Kind::LeftDown, Kind::LeftUp}));
}

TEST_F(ButtonModeActions, HighlighterModeTakesControlWhenTheSecondProgramIsThere)
{
    struct
    {
        bool open, playing;
        bool control;
    } cases[] = {{true, false, true}, {false, true, true}, {false, false, false}};
    start(PVButtonModeHighlighter);
    for (const auto& c : cases) {
        pptAnswers(c.open, c.playing, true);
        cursor.uncheckMoveCursorCenter(QPointF(10, 10), false);
        handler.setActivate(true);
        EXPECT_EQ(cursor.controlling(), c.control) << c.open << c.playing;
        EXPECT_EQ(cursor.cursorPoint(), c.control ? screen.frame.center() : QPointF(10, 10))
            << c.open << c.playing;
        handler.setActivate(false);
        EXPECT_FALSE(cursor.controlling());
        EXPECT_EQ(takePptActions(), Calls{Op::AutomaticPointer});
    }
}

TEST_F(ButtonModeActions, HighlighterModeDrawsWithThePenWhileTheShowIsInFront)
{
    start(PVButtonModeHighlighter);
    // Control is taken before the click is seen: the first click draws too.
    click();
    ASSERT_TRUE(cursor.controlling());
    EXPECT_EQ(cursor.cursorPoint(), screen.frame.center());
    EXPECT_EQ(takePptActions(), Calls{Op::Pen});
    takeButtons();

    click();
    EXPECT_EQ(takePptActions(), Calls{Op::Pen});
    EXPECT_TRUE(takeButtons().empty());

    LogCapture log;
    handler.didPressHotButton(2);
    EXPECT_EQ(takePptActions(), Calls{Op::Pen});
    EXPECT_EQ(countOf(log, 2, "long pressed start"), 1);
    EXPECT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftDown});
    handler.didPressHotButton(0);
    EXPECT_EQ(countOf(log, 2, "long pressed end"), 1);
    EXPECT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftUp});

    // A show that is not in front, or not playing, gets no pen.
    for (const auto& [playing, frontmost] : {std::pair{true, false}, std::pair{false, true}}) {
        pptAnswers(true, playing, frontmost);
        click();
        handler.didPressHotButton(2);
        handler.didPressHotButton(0);
        EXPECT_TRUE(takePptActions().empty());
        EXPECT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftUp}) << "the release still lets go";
    }

    pptAnswers(true, true, true);
    handler.didPressHotButton(2);
    takeButtons();
    handler.setActivate(false);
    EXPECT_EQ(takeButtons(), std::vector<Kind>{Kind::LeftUp});
    EXPECT_FALSE(cursor.controlling());
    EXPECT_EQ(takePptActions(), (Calls{Op::Pen, Op::AutomaticPointer}));
}

TEST_F(ButtonModeActions, MagnifierModeGlassAndCapture)
{
    start(PVButtonModeMagnifier);
    handler.setActivate(true);
    EXPECT_EQ(glasses(), 1);
    EXPECT_EQ(runtime.overlays.currentCenter(), handler.pickCenter());

    // A click brings the glass back to the centre of the presentation screen.
    runtime.overlays.setCenter(QPointF(100, 100), false);
    click();
    EXPECT_EQ(glasses(), 1) << "shown once";
    EXPECT_EQ(runtime.overlays.currentCenter(), handler.pickCenter());

    // Held: the glass hides, and 50 ms later the capture shows at the centre.
    runtime.overlays.setCenter(QPointF(300, 200), false);
    LogCapture log;
    handler.didPressHotButton(2);
    EXPECT_EQ(countOf(log, 2, "long pressed start"), 1);
    EXPECT_EQ(glasses(true), 1);
    runtime.advanceMilliseconds(PVEventHandler::kCaptureDelayMs - 1);
    EXPECT_EQ(captures(), 0);
    runtime.advanceMilliseconds(1);
    EXPECT_EQ(captures(), 1);
    EXPECT_EQ(runtime.overlays.currentCenter(), QPointF(300, 200));

    // A hold while the capture shows changes nothing: the button reported
    // clicked while held, then held again.
    handler.didPressHotButton(1);
    runtime.advanceMilliseconds(PVHIDEventHandler::kClickResetMs);
    handler.didPressHotButton(2);
    runtime.advanceMilliseconds(PVEventHandler::kCaptureDelayMs);
    EXPECT_EQ(glasses(true), 1);
    EXPECT_EQ(captures(), 1);
    EXPECT_EQ(countOf(log, 2, "long pressed start"), 1);

    handler.didPressHotButton(0);
    EXPECT_EQ(countOf(log, 2, "long pressed end"), 1);
    EXPECT_EQ(glasses(), 1);
    EXPECT_EQ(glasses(true), 0);
    EXPECT_EQ(captures(), 0);

    handler.didPressHotButton(2);
    runtime.advanceMilliseconds(PVEventHandler::kCaptureDelayMs);
    ASSERT_EQ(captures(), 1);
    handler.setActivate(false);
    EXPECT_EQ(glasses(), 0);
    EXPECT_EQ(captures(), 0);
}

TEST_F(ButtonModeActions, MagnifierModeAHoldEndedWithinTheDelayLeavesNoCapture)
{
    start(PVButtonModeMagnifier);
    click();
    handler.didPressHotButton(2);
    runtime.advanceMilliseconds(20);
    handler.didPressHotButton(0);
    runtime.advanceMilliseconds(PVEventHandler::kCaptureDelayMs);
    EXPECT_EQ(captures(), 0);
    EXPECT_EQ(glasses(true), 0);

    // Without control a hold does nothing at all.
    handler.setActivate(false);
    handler.didPressHotButton(2);
    runtime.advanceMilliseconds(PVEventHandler::kCaptureDelayMs);
    EXPECT_EQ(captures(), 0);
}

TEST_F(ButtonModeActions, ModesWithoutActionsAndUnknownModesDoNothing)
{
    for (const quint64 mode : {quint64{PVButtonModeBlackout}, quint64{PVButtonModeSlideShow}, quint64{9}}) {
        PVEventHandler fresh({runtime.handler, runtime.model.models, runtime.overlays, runtime.cursor});
        runtime.settingDevice().buttonSetting.set(mode);
        fresh.startObserving();
        handler.setActivate(true);
        handler.hotButtonPressed.set(1);
        handler.hotButtonPressed.set(0);
        handler.hotButtonPressed.set(2);
        handler.hotButtonPressed.set(0);
        handler.pointerButtonPressed.set(true);
        handler.setActivate(false);
        EXPECT_FALSE(cursor.controlling()) << "mode " << mode;
        EXPECT_EQ(glasses(), 0) << "mode " << mode;
        EXPECT_EQ(captures(), 0) << "mode " << mode;
        EXPECT_TRUE(takeButtons().empty()) << "mode " << mode;
        EXPECT_TRUE(takePptActions().empty()) << "mode " << mode;
    }
}

TEST_F(ButtonModeActions, ClicksAQuarterSecondApartAreADoubleClick)
{
    ClickTarget target;
    target.setGeometry(QRect(QPoint(0, 0), QSize(400, 300)).translated(QPoint(760, 390)));
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));

    start(PVButtonModeCursor);
    click(); // takes control and brings the pointer over the window
    ASSERT_TRUE(cursor.controlling());

    handler.didPressHotButton(1);
    runtime.advanceMilliseconds(100);
    // Still shown as a click: the second one is dropped.
    EXPECT_EQ(handler.hotButtonPressed.value(), 1);
    handler.didPressHotButton(1);
    EXPECT_EQ(takeButtons(), (std::vector<Kind>{Kind::LeftDown, Kind::LeftUp}));
    runtime.advanceMilliseconds(150);
    handler.didPressHotButton(1);
    EXPECT_EQ(cursor.count(), 2u);
    EXPECT_EQ(takeButtons(), (std::vector<Kind>{Kind::LeftDown, Kind::LeftUp}));

    ASSERT_TRUE(QTest::qWaitFor([&] { return target.releases == 2; }, 5000));
    EXPECT_EQ(target.presses, 2);
    EXPECT_EQ(target.doubleClicks, 1);
}

} // namespace
