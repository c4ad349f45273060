#include "runtime/PVCursorManager.h"
#include "settings/PVGlobalObjectManager.h"
#include "support/FakeScreenProvider.h"
#include "support/RecordingInputLayer.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using Call = RecordingInputLayer::Call;
using Kind = RecordingInputLayer::Kind;

constexpr double kPrimaryHeight = 1080;

class CursorManager : public ::testing::Test
{
  protected:
    PVCursorEnvironment environment()
    {
        return PVCursorEnvironment{[this] { return screens; },
                                   [](QPointF p) { return QPointF(p.x(), kPrimaryHeight - p.y()); },
                                   [this] { return nowUs; }};
    }

    /// The event positions of the calls so far, then forgets them.
    std::vector<Call> takeCalls()
    {
        std::vector<Call> calls = std::move(input.calls);
        input.calls.clear();
        return calls;
    }

    std::vector<uint64_t> clickStatesAt(const std::vector<int64_t>& timesMs)
    {
        std::vector<uint64_t> states;
        for (const int64_t timeMs : timesMs) {
            nowUs = timeMs * 1000;
            manager.performClick();
            const std::vector<Call> calls = takeCalls();
            EXPECT_EQ(calls.size(), 2u);
            EXPECT_EQ(calls.at(0).kind, Kind::LeftDown);
            EXPECT_EQ(calls.at(1).kind, Kind::LeftUp);
            EXPECT_EQ(calls.at(0).clickState, calls.at(1).clickState);
            states.push_back(calls.at(0).clickState);
        }
        return states;
    }

    QList<QRectF> screens = {QRectF(0, 0, 1920, kPrimaryHeight)};
    int64_t nowUs = 100'000'000;
    RecordingInputLayer input;
    PVCursorManager manager{input, environment()};
};

TEST_F(CursorManager, RepeatedClicksWithinAThirdOfASecondCountUpToThree)
{
    struct
    {
        std::vector<int64_t> timesMs;
        std::vector<uint64_t> states; ///< 0: the platform's own count
    } cases[] = {{{0, 100, 200, 300}, {0, 2, 3, 3}},
                 {{10'000, 10'500}, {0, 0}},
                 {{20'000, 20'299, 20'599}, {0, 2, 0}},
                 {{30'000, 30'100, 30'500, 30'600}, {0, 2, 0, 2}}};
    for (const auto& c : cases) {
        EXPECT_EQ(clickStatesAt(c.timesMs), c.states) << "clicks from " << c.timesMs[0] << " ms";
    }
    EXPECT_EQ(manager.count(), 2u);
}

TEST_F(CursorManager, MovesWaitAThirdOfASecondAfterAClick)
{
    manager.startControlCursor();
    manager.uncheckMoveCursorCenter(QPointF(500, 500), false);
    input.pointer = QPointF(500, kPrimaryHeight - 500);
    manager.performClick();
    takeCalls();

    nowUs += 200'000;
    EXPECT_FALSE(manager.movable());
    manager.moveCursorDiffer(QPointF(10, 0), false);
    manager.moveCursorCenter(QPointF(700, 700), false);
    EXPECT_TRUE(takeCalls().empty());
    EXPECT_EQ(manager.cursorPoint(), QPointF(500, 500));

    nowUs += 100'000;
    EXPECT_TRUE(manager.movable());
    manager.moveCursorDiffer(QPointF(10, -20), true);
    EXPECT_EQ(manager.cursorPoint(), QPointF(510, 480));
    const QPointF event(510, kPrimaryHeight - 480);
    EXPECT_EQ(takeCalls(), (std::vector<Call>{{Kind::Warp, event}, {Kind::Motion, event, true}}));
}

TEST_F(CursorManager, CheckedMovesNeedControlRecenteringDoesNot)
{
    manager.moveCursorDiffer(QPointF(10, 10), false);
    manager.moveCursorCenter(QPointF(300, 300), false);
    EXPECT_TRUE(takeCalls().empty());
    manager.recenterAtScreen(screens[0]);
    EXPECT_EQ(manager.cursorPoint(), QPointF(960, 540));
    manager.recenterAtScreen(std::nullopt);
    EXPECT_EQ(manager.cursorPoint(), QPointF(0, 0));
    EXPECT_EQ(takeCalls().size(), 4u);
}

TEST_F(CursorManager, PointsAreConfinedToTheScreenTheyLieOnOrTheLastOne)
{
    screens.append(QRectF(1920, 0, 1280, 1024));
    manager.startControlCursor();
    struct
    {
        QPointF requested;
        QPointF confined;
    } cases[] = {
        {{2500, 500}, {2500, 500}},   // on the second screen
        {{4000, 1500}, {3200, 1024}}, // off every screen: the second bounds it, edges included
        {{100, 100}, {100, 100}},     // back on the primary
        {{2500, -50}, {1920, 0}},     // off every screen: the primary bounds it now
        {{1920, 1000}, {1920, 1000}}, // the second screen's left edge is its own
        {{-1, 1080}, {1920, 1024}},   // off every screen: still the second
    };
    for (const auto& c : cases) {
        manager.moveCursorCenter(c.requested, false);
        EXPECT_EQ(manager.cursorPoint(), c.confined) << c.requested.x() << ", " << c.requested.y();
        const std::vector<Call> calls = takeCalls();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].point, QPointF(c.confined.x(), kPrimaryHeight - c.confined.y()));
    }
}

TEST_F(CursorManager, WithoutAnyScreenThePointerStaysWhereItWas)
{
    screens.clear();
    manager.startControlCursor();
    manager.moveCursorCenter(QPointF(300, 300), false);
    EXPECT_EQ(manager.cursorPoint(), QPointF(0, 0));
    EXPECT_EQ(takeCalls().at(0).point, QPointF(0, kPrimaryHeight));
}

TEST_F(CursorManager, TheBottomLeftCornerIsPostedAtTheScreensHeight)
{
    manager.uncheckMoveCursorCenter(QPointF(0, 0), false);
    const QPointF corner(0, kPrimaryHeight);
    EXPECT_EQ(takeCalls(), (std::vector<Call>{{Kind::Warp, corner}, {Kind::Motion, corner, false}}));
}

TEST_F(CursorManager, ClicksAndDragsHappenWhereThePointerIs)
{
    input.pointer = QPointF(300, 200);
    manager.performClick();
    EXPECT_EQ(manager.cursorPoint(), QPointF(300, kPrimaryHeight - 200));
    EXPECT_EQ(takeCalls().at(0).point, QPointF(300, 200));

    // A layer that cannot tell keeps the manager's own idea.
    input.isAvailable = false;
    nowUs += 1'000'000;
    manager.performClick();
    EXPECT_EQ(manager.cursorPoint(), QPointF(300, kPrimaryHeight - 200));
}

TEST_F(CursorManager, ADragStartedWithoutControlIsStillReleased)
{
    input.pointer = QPointF(40, 50);
    const QPointF at(40, 50);
    manager.performDragEnd();
    EXPECT_TRUE(takeCalls().empty()) << "no control, no open drag: nothing to release";

    manager.performDragStart();
    manager.performDragEnd();
    EXPECT_EQ(takeCalls(), (std::vector<Call>{{Kind::LeftDown, at}, {Kind::LeftUp, at}}));
    manager.performDragEnd();
    EXPECT_TRUE(takeCalls().empty());

    // Control ending with a drag open lets go of the button too.
    manager.startControlCursor();
    manager.performDragStart();
    manager.stopControlCursor();
    EXPECT_EQ(takeCalls(), (std::vector<Call>{{Kind::LeftDown, at}, {Kind::LeftUp, at}}));
    EXPECT_FALSE(manager.controlling());

    // While controlling, a drag end releases even without a start, as before.
    manager.startControlCursor();
    manager.performDragEnd();
    EXPECT_EQ(takeCalls(), (std::vector<Call>{{Kind::LeftUp, at}}));
}

TEST(CursorManagerEnvironment, FollowsTheScreensOfTheGlobalObjectManager)
{
    FakeScreenProvider provider;
    provider.setScreens({FakeScreenProvider::screen("HDMI-1", 1, {0, 0, 1920, 1080}),
                         FakeScreenProvider::screen("eDP-1", 2, {1920, 0, 1440, 900})});
    PVGlobalObjectManager globals(provider);
    const PVCursorEnvironment environment = PVCursorManager::environmentOf(globals);
    EXPECT_EQ(environment.screenFrames(), (QList<QRectF>{{0, 0, 1920, 1080}, {1920, 0, 1440, 900}}));
    // The laptop's own panel is the primary screen: the flip is about its height.
    EXPECT_EQ(environment.flip(QPointF(10, 0)), QPointF(10, 900));

    // Without it the screen at the origin is: the flip follows at once.
    provider.removeScreen(2);
    EXPECT_EQ(environment.screenFrames(), (QList<QRectF>{{0, 0, 1920, 1080}}));
    EXPECT_EQ(environment.flip(QPointF(10, 0)), QPointF(10, 1080));
    provider.setScreens({});
    EXPECT_TRUE(environment.screenFrames().isEmpty());
    EXPECT_EQ(environment.flip(QPointF(10, 30)), QPointF(10, -30));

    const int64_t before = environment.nowMicroseconds();
    EXPECT_GE(environment.nowMicroseconds(), before);
}

} // namespace
