#include "platform/X11InputLayer.h"

#include "log/DXLog.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

// Xlib last: its macros (None, Bool, Status...) would clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

constexpr unsigned kLeftButton = 1;

// The screen whose area in points holds `point`, else the primary one.
QScreen* screenOfPoint(QPointF point)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        if (QRectF(screen->geometry()).contains(point)) {
            return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

// A screen's area in root pixels: Qt keeps a screen's origin in pixels and
// scales only its size.
QRectF nativeArea(const QScreen* screen)
{
    const QRect geometry = screen->geometry();
    return QRectF(geometry.topLeft(), QSizeF(geometry.size()) * screen->devicePixelRatio());
}

} // namespace

const std::shared_ptr<X11InputLayer>& X11InputLayer::shared()
{
    static const auto* const layer = new std::shared_ptr<X11InputLayer>(std::make_shared<X11InputLayer>());
    return *layer;
}

X11InputLayer::X11InputLayer(const PVSessionEnvironment& session, const char* displayName)
{
    if (session.isWayland()) {
        unavailableReason_ = kWaylandReason;
    } else if ((display_ = XOpenDisplay(displayName)) == nullptr) {
        unavailableReason_ = "the X display cannot be opened";
    } else {
        int eventBase = 0;
        int errorBase = 0;
        int major = 0;
        int minor = 0;
        if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) {
            XCloseDisplay(display_);
            display_ = nullptr;
            unavailableReason_ = "the X server has no XTEST extension";
        }
    }
    if (display_ == nullptr) {
        DXLogAlert("%s", unavailableLine(unavailableReason_).c_str());
    }
}

std::string X11InputLayer::unavailableLine(const std::string& reason)
{
    return "Pointer control needs an X11 session with the XTEST extension: " + reason +
           ". The presenter cannot move the pointer or click.";
}

X11InputLayer::~X11InputLayer()
{
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

QPoint X11InputLayer::rootPixelOf(QPointF point)
{
    const QScreen* screen = screenOfPoint(point);
    if (screen == nullptr) {
        return QPoint(qRound(point.x()), qRound(point.y()));
    }
    const QPointF origin = screen->geometry().topLeft();
    const QPointF pixel = (point - origin) * screen->devicePixelRatio() + origin;
    return QPoint(static_cast<int>(std::lround(pixel.x())), static_cast<int>(std::lround(pixel.y())));
}

QPointF X11InputLayer::pointOfRootPixel(QPoint pixel)
{
    const QScreen* chosen = QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (nativeArea(screen).contains(pixel)) {
            chosen = screen;
            break;
        }
    }
    if (chosen == nullptr) {
        return QPointF(pixel);
    }
    const QPointF origin = chosen->geometry().topLeft();
    return (QPointF(pixel) - origin) / chosen->devicePixelRatio() + origin;
}

// Each call waits until the server has carried it out (XSync): a reader of
// the pointer on another connection then sees the new position.

void X11InputLayer::warp(QPointF point)
{
    if (display_ == nullptr) {
        return;
    }
    const QPoint pixel = rootPixelOf(point);
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, pixel.x(), pixel.y());
    XSync(display_, False);
}

void X11InputLayer::moveTo(QPointF point)
{
    const QPoint pixel = rootPixelOf(point);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), pixel.x(), pixel.y(), CurrentTime);
}

// X keeps the button state itself: a motion with the button down is a drag.
void X11InputLayer::motion(QPointF point, bool /*leftHeld*/)
{
    if (display_ == nullptr) {
        return;
    }
    moveTo(point);
    XSync(display_, False);
}

// X has no click-count field: receivers count repeated clicks by time and
// place, which the caller keeps together.
void X11InputLayer::leftButton(QPointF point, bool down, uint64_t /*clickState*/)
{
    if (display_ == nullptr) {
        return;
    }
    moveTo(point);
    XTestFakeButtonEvent(display_, kLeftButton, down ? True : False, CurrentTime);
    XSync(display_, False);
}

std::optional<QPointF> X11InputLayer::pointerPosition()
{
    if (display_ == nullptr) {
        return std::nullopt;
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &windowX,
                       &windowY, &mask)) {
        return std::nullopt;
    }
    return pointOfRootPixel(QPoint(rootX, rootY));
}

bool X11InputLayer::typeKey(unsigned long keysym)
{
    if (display_ == nullptr) {
        return false;
    }
    const KeyCode key = XKeysymToKeycode(display_, keysym);
    if (key == 0) {
        return false;
    }
    XTestFakeKeyEvent(display_, key, True, CurrentTime);
    XTestFakeKeyEvent(display_, key, False, CurrentTime);
    XSync(display_, False);
    return true;
}
