#include "platform/X11InputLayer.h"
#include "runtime/PVCursorManager.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <gtest/gtest.h>

#include <X11/Xlib.h>

namespace {

// Before main builds the QApplication: Qt reads the factor once, at start.
const bool scaleFactorSet = setenv("QT_SCALE_FACTOR", "2", 1) == 0;

QPoint rootPointer()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return QPoint(-1, -1);
    }
    Window root = 0;
    Window child = 0;
    int x = -1;
    int y = -1;
    int windowX = 0;
    int windowY = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY, &mask);
    XCloseDisplay(display);
    return QPoint(x, y);
}

TEST(X11InputScaled, PointsBecomeRootPixelsAtTheScreensPixelRatio)
{
    ASSERT_TRUE(scaleFactorSet);
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_DOUBLE_EQ(screen->devicePixelRatio(), 2.0);
    ASSERT_EQ(screen->geometry(), QRect(0, 0, 960, 540)) << "the test display is 1920 x 1080 pixels";

    X11InputLayer layer{PVSessionEnvironment{"x11", false}};
    ASSERT_TRUE(layer.available()) << layer.unavailableReason();
    const struct
    {
        QPointF point;
        QPoint pixel;
    } cases[] = {
        {{100, 100}, {200, 200}}, {{0, 0}, {0, 0}}, {{959.5, 539.5}, {1919, 1079}}, {{10.25, 3}, {21, 6}}};
    for (const auto& c : cases) {
        layer.warp(c.point);
        EXPECT_EQ(rootPointer(), c.pixel) << c.point.x() << ", " << c.point.y();
        EXPECT_EQ(X11InputLayer::rootPixelOf(c.point), c.pixel);
    }
    layer.warp(QPointF(100, 100));
    EXPECT_EQ(layer.pointerPosition(), QPointF(100, 100)) << "read back in points";
    EXPECT_EQ(X11InputLayer::pointOfRootPixel(QPoint(201, 99)), QPointF(100.5, 49.5));
}

TEST(X11InputScaled, TheCursorManagersPointsLandOnRootPixels)
{
    const double height = QGuiApplication::primaryScreen()->geometry().height();
    X11InputLayer layer{PVSessionEnvironment{"x11", false}};
    ASSERT_TRUE(layer.available()) << layer.unavailableReason();
    PVCursorManager manager{
        layer, PVCursorEnvironment{[] { return QList<QRectF>{QRectF(0, 0, 960, 540)}; },
                                   [height](QPointF p) { return QPointF(p.x(), height - p.y()); },
                                   [] { return int64_t{0}; }}};
    // Framework points, y up: (100, 440) is 100 points below the top.
    manager.uncheckMoveCursorCenter(QPointF(100, 440), false);
    EXPECT_EQ(rootPointer(), QPoint(200, 200));
    manager.performClick();
    EXPECT_EQ(manager.cursorPoint(), QPointF(100, 440)) << "the pointer read back in framework points";
}

} // namespace
