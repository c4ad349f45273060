#include "runtime/PVCursorManager.h"

#include "platform/X11InputLayer.h"
#include "settings/PVGlobalObjectManager.h"

#include <algorithm>
#include <chrono>

namespace {

// The framework's point-in-rectangle test: lower edges in, upper edges out.
bool frameContains(const QRectF& frame, QPointF point)
{
    return point.x() >= frame.left() && point.x() < frame.right() && point.y() >= frame.top() &&
           point.y() < frame.bottom();
}

} // namespace

PVCursorManager& PVCursorManager::sharedInstance()
{
    // Never destroyed, like the application's other shared objects.
    static PVCursorManager* const manager = [] {
        return new PVCursorManager(*X11InputLayer::shared(), environmentOf(PVGlobalObjectManager::sharedInstance()));
    }();
    return *manager;
}

PVCursorEnvironment PVCursorManager::environmentOf(const PVGlobalObjectManager& globals)
{
    const PVGlobalObjectManager* source = &globals;
    return PVCursorEnvironment{
        [source] {
            QList<QRectF> frames;
            for (const PVScreen& screen : source->allScreens()) {
                frames.append(screen.frame);
            }
            return frames;
        },
        [source](QPointF point) { return PVFlipPointOnPrimaryScreen(point.x(), point.y(), *source); },
        [] {
            using namespace std::chrono;
            return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
        }};
}

PVCursorManager::PVCursorManager(PVInputLayer& input, PVCursorEnvironment environment)
    : input_(input), environment_(std::move(environment))
{
}

void PVCursorManager::stopControlCursor()
{
    // A drag begun without control would otherwise leave the button down.
    if (dragOpen_) {
        performDragEnd();
    }
    controlling_ = false;
}

bool PVCursorManager::movable() const
{
    return !lastClickTimeUs_ || environment_.nowMicroseconds() - *lastClickTimeUs_ >= kStillAfterClickUs;
}

void PVCursorManager::moveCursorDiffer(QPointF delta, bool drag)
{
    if (controlling_ && movable()) {
        moveCursorCenter(cursorPoint_ + delta, drag);
    }
}

void PVCursorManager::moveCursorCenter(QPointF point, bool drag)
{
    if (controlling_ && movable()) {
        uncheckMoveCursorCenter(point, drag);
    }
}

void PVCursorManager::uncheckMoveCursorCenter(QPointF point, bool drag)
{
    for (const QRectF& frame : environment_.screenFrames()) {
        if (frameContains(frame, point)) {
            currentScreen_ = frame;
            break;
        }
    }
    if (currentScreen_) {
        // Upper bounds inclusive, as the platform's pointer allows.
        cursorPoint_ = QPointF(std::clamp(point.x(), currentScreen_->left(), currentScreen_->right()),
                               std::clamp(point.y(), currentScreen_->top(), currentScreen_->bottom()));
    }
    const QPointF position = environment_.flip(cursorPoint_);
    input_.warp(position);
    input_.motion(position, drag);
}

void PVCursorManager::recenterAtScreen(std::optional<QRectF> screenFrame)
{
    uncheckMoveCursorCenter(screenFrame ? screenFrame->center() : QPointF(0, 0), false);
}

QPointF PVCursorManager::mouseLocation()
{
    const std::optional<QPointF> position = input_.pointerPosition();
    return position ? environment_.flip(*position) : cursorPoint_;
}

void PVCursorManager::performClick()
{
    cursorPoint_ = mouseLocation();
    const QPointF position = environment_.flip(cursorPoint_);
    uint64_t clickState = 0;
    if (!movable()) {
        count_ = std::min<uint64_t>(count_ + 1, 3);
        clickState = count_;
    } else {
        count_ = 1;
    }
    input_.leftButton(position, true, clickState);
    input_.leftButton(position, false, clickState);
    lastClickTimeUs_ = environment_.nowMicroseconds();
}

void PVCursorManager::performDragStart()
{
    cursorPoint_ = mouseLocation();
    input_.leftButton(environment_.flip(cursorPoint_), true, 0);
    dragOpen_ = true;
}

void PVCursorManager::performDragEnd()
{
    if (!controlling_ && !dragOpen_) {
        return;
    }
    cursorPoint_ = mouseLocation();
    input_.leftButton(environment_.flip(cursorPoint_), false, 0);
    dragOpen_ = false;
}
