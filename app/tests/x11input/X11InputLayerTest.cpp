#include "platform/X11DisplayCheck.h"
#include "platform/X11InputLayer.h"
#include "runtime/PVCursorManager.h"
#include "support/LogCapture.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

PVSessionEnvironment x11Session()
{
    return PVSessionEnvironment{"x11", false};
}

int alertCount(const LogCapture& log)
{
    int alerts = 0;
    for (const DXLogEntry& entry : log.entries()) {
        alerts += entry.level == DXLogLevelAlert ? 1 : 0;
    }
    return alerts;
}

// A window that records the left-button events it receives.
class ClickTarget : public QWidget
{
  public:
    struct Press
    {
        QPoint position;
        bool doubleClick;
    };
    std::vector<Press> presses;
    int releases = 0;
    int movesWithLeftHeld = 0;

  protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            presses.push_back({event->position().toPoint(), false});
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            presses.push_back({event->position().toPoint(), true});
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        movesWithLeftHeld += (event->buttons() & Qt::LeftButton) ? 1 : 0;
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        releases += event->button() == Qt::LeftButton ? 1 : 0;
    }
};

class X11Input : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(layer.available()) << layer.unavailableReason(); }

    void showTarget()
    {
        target.setGeometry(300, 200, 200, 100);
        target.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    }

    void click(QPointF point)
    {
        layer.leftButton(point, true, 0);
        layer.leftButton(point, false, 0);
    }

    X11InputLayer layer{x11Session()};
    ClickTarget target;
};

TEST_F(X11Input, WarpAndMotionPutThePointerWhereAsked)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const std::vector<QPointF> points = {{0, 0}, {100, 200}, {1000.4, 700.6}, QPointF(screen.bottomRight())};
    for (const QPointF& point : points) {
        const QPointF expected(std::lround(point.x()), std::lround(point.y()));
        layer.warp(point);
        EXPECT_EQ(layer.pointerPosition(), expected) << "warp to " << point.x() << ", " << point.y();
        layer.warp(QPointF(5, 5));
        layer.motion(point, false);
        EXPECT_EQ(layer.pointerPosition(), expected) << "motion to " << point.x() << ", " << point.y();
    }
}

TEST_F(X11Input, AClickLandsInTheWindowUnderThePoint)
{
    showTarget();
    click(QPointF(350, 240));
    ASSERT_TRUE(QTest::qWaitFor([&] { return target.releases == 1; }, 5000));
    ASSERT_EQ(target.presses.size(), 1u);
    EXPECT_EQ(target.presses[0].position, QPoint(50, 40));
    EXPECT_FALSE(target.presses[0].doubleClick);
}

TEST_F(X11Input, TwoClicksATenthOfASecondApartAreADoubleClick)
{
    showTarget();
    // Well apart from any click of another test on this display.
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
    click(QPointF(400, 250));
    QTest::qWait(100);
    click(QPointF(400, 250));
    ASSERT_TRUE(QTest::qWaitFor([&] { return target.releases == 2; }, 5000));
    ASSERT_EQ(target.presses.size(), 2u);
    EXPECT_FALSE(target.presses[0].doubleClick);
    EXPECT_TRUE(target.presses[1].doubleClick);
}

TEST_F(X11Input, ADragMovesWithTheButtonHeld)
{
    showTarget();
    layer.leftButton(QPointF(320, 220), true, 0);
    layer.motion(QPointF(420, 260), true);
    layer.leftButton(QPointF(420, 260), false, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return target.releases == 1; }, 5000));
    ASSERT_EQ(target.presses.size(), 1u);
    EXPECT_EQ(target.presses[0].position, QPoint(20, 20));
    EXPECT_GE(target.movesWithLeftHeld, 1);
    EXPECT_EQ(layer.pointerPosition(), QPointF(420, 260));
}

TEST(SharedCursorManager, MovesTheRealPointerOnTheApplicationsScreens)
{
    PVCursorManager& manager = PVCursorManager::sharedInstance();
    EXPECT_EQ(&manager, &PVCursorManager::sharedInstance());
    const double height = QGuiApplication::primaryScreen()->geometry().height();
    manager.uncheckMoveCursorCenter(QPointF(100, height - 100), false);
    X11InputLayer probe{x11Session()};
    EXPECT_EQ(probe.pointerPosition(), QPointF(100, 100));
    // Off the screen to the right: held at its right edge, in root pixels the last column.
    manager.uncheckMoveCursorCenter(QPointF(100'000, height - 100), false);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(probe.pointerPosition(), QPointF(screen.width() - 1, 100));
}

TEST(X11InputUnavailable, WaylandSessionReachesNoXAndSaysSoOnce)
{
    X11InputLayer real{x11Session()};
    ASSERT_TRUE(real.available());
    real.warp(QPointF(10, 10));

    for (const PVSessionEnvironment& wayland :
         {PVSessionEnvironment{"wayland", false}, PVSessionEnvironment{"tty", true}}) {
        LogCapture log;
        X11InputLayer layer{wayland};
        EXPECT_FALSE(layer.available());
        EXPECT_EQ(alertCount(log), 1);
        EXPECT_NE(log.entries().at(0).text.find("Wayland"), std::string::npos) << log.entries().at(0).text;
        layer.warp(QPointF(500, 500));
        layer.motion(QPointF(500, 500), false);
        layer.leftButton(QPointF(500, 500), true, 0);
        layer.leftButton(QPointF(500, 500), false, 0);
        EXPECT_EQ(layer.pointerPosition(), std::nullopt);
        EXPECT_EQ(alertCount(log), 1);
    }
    EXPECT_EQ(real.pointerPosition(), QPointF(10, 10)) << "no call reached the display";
}

TEST(X11InputUnavailable, NoDisplayIsReportedNotFatal)
{
    LogCapture log;
    X11InputLayer layer{x11Session(), ":4095"};
    EXPECT_FALSE(layer.available());
    EXPECT_EQ(layer.unavailableReason(), "the X display cannot be opened");
    EXPECT_EQ(alertCount(log), 1);
    layer.warp(QPointF(1, 1));
    EXPECT_EQ(layer.pointerPosition(), std::nullopt);
}

TEST(PVSessionEnvironment, WaylandSessionsRunQtOnXWaylandUnlessThePlatformIsChosen)
{
    struct Variables
    {
        const char* sessionType;
        const char* waylandDisplay;
        const char* platform;
    };
    const struct
    {
        Variables before;
        const char* platformAfter;
    } cases[] = {{{"wayland", nullptr, nullptr}, "xcb"},        {{"x11", "wayland-0", nullptr}, "xcb"},
                 {{"wayland", "wayland-0", ""}, "xcb"},         {{"wayland", nullptr, "wayland"}, "wayland"},
                 {{"x11", nullptr, nullptr}, nullptr},          {{"x11", "", nullptr}, nullptr},
                 {{nullptr, nullptr, "offscreen"}, "offscreen"}};
    const char* names[] = {"XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.push_back(value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
    const auto set = [&](int i, const char* value) {
        if (value == nullptr) {
            unsetenv(names[i]);
        } else {
            setenv(names[i], value, 1);
        }
    };
    for (const auto& c : cases) {
        set(0, c.before.sessionType);
        set(1, c.before.waylandDisplay);
        set(2, c.before.platform);
        PVSessionEnvironment::preferXcbOnWayland();
        const char* after = std::getenv("QT_QPA_PLATFORM");
        EXPECT_EQ(after == nullptr ? std::string("(unset)") : std::string(after),
                  c.platformAfter == nullptr ? std::string("(unset)") : std::string(c.platformAfter))
            << (c.before.sessionType ? c.before.sessionType : "-") << " "
            << (c.before.waylandDisplay ? c.before.waylandDisplay : "-");
    }
    for (int i = 0; i < 3; ++i) {
        set(i, saved[i] ? saved[i]->c_str() : nullptr);
    }
}

TEST(PVSessionEnvironment, WaylandWhenTheSessionTypeSaysSoOrAWaylandDisplayIsSet)
{
    struct
    {
        const char* type;
        bool waylandDisplay;
        bool wayland;
    } cases[] = {{"x11", false, false}, {"", false, false},        {"wayland", false, true},
                 {"x11", true, true},   {"Wayland", false, false}, {"tty", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ((PVSessionEnvironment{c.type, c.waylandDisplay}.isWayland()), c.wayland)
            << c.type << " " << c.waylandDisplay;
    }
}

} // namespace

namespace {

TEST(X11DisplayCheck, SaysWhyNoWindowCanStartOnX11AndLeavesOtherPlatformsAlone)
{
    const char* here = std::getenv("DISPLAY");
    ASSERT_NE(here, nullptr);
    const struct
    {
        const char* platform;
        const char* display;
        const char* problemHas; ///< null: no problem
    } cases[] = {{nullptr, nullptr, "DISPLAY is not set"}, {"", "", "DISPLAY is not set"},
                 {"xcb", nullptr, "DISPLAY is not set"},   {nullptr, ":4095", "\":4095\" cannot be opened"},
                 {nullptr, here, nullptr},                 {"xcb", here, nullptr},
                 {"offscreen", nullptr, nullptr},          {"wayland", ":4095", nullptr}};
    for (const auto& c : cases) {
        const std::string problem = x11DisplayProblem(c.platform, c.display);
        const std::string label =
            std::string(c.platform ? c.platform : "-") + " " + (c.display ? c.display : "-");
        if (c.problemHas == nullptr) {
            EXPECT_EQ(problem, "") << label;
        } else {
            EXPECT_NE(problem.find(c.problemHas), std::string::npos) << label << ": " << problem;
        }
    }
}

} // namespace
