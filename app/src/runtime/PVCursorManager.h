#pragma once

// Moves the system pointer and clicks and drags with the left button on
// behalf of the cursor and highlighter modes. It keeps its own idea of the
// pointer position in the framework's coordinates (points, origin at the
// bottom left of the primary screen, y up), confines it to the screen the
// point lies on, and holds the pointer still for 0.3 s after a click so that
// repeated clicks land on one spot and count as double or triple clicks.
// Main thread only.

#include "platform/PVInputLayer.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <cstdint>
#include <functional>
#include <optional>

/// What the manager reads of the world besides the pointer.
struct PVCursorEnvironment
{
    /// The frames of all screens, in the platform's order (framework coordinates).
    std::function<QList<QRectF>()> screenFrames;
    /// Framework coordinates to the event system's (top left, y down) and
    /// back: the flip about the primary screen's height.
    std::function<QPointF(QPointF)> flip;
    /// Microseconds on a monotonic clock.
    std::function<int64_t()> nowMicroseconds;
};

class PVGlobalObjectManager;

class PVCursorManager
{
  public:
    /// The application's manager: on the X11 input layer, with the screens
    /// and the flip of the global object manager and the steady clock.
    /// Created on first use, on the main thread.
    static PVCursorManager& sharedInstance();

    /// Screens and flip read from `globals` at each use, time from the steady clock.
    static PVCursorEnvironment environmentOf(const PVGlobalObjectManager& globals);

    /// Time after a click during which checked moves are ignored.
    static constexpr int64_t kStillAfterClickUs = 300'000;

    PVCursorManager(PVInputLayer& input, PVCursorEnvironment environment);

    void startControlCursor() { controlling_ = true; }
    /// Also releases a drag still open.
    void stopControlCursor();

    /// Relative move by `delta`, while controlling and movable.
    void moveCursorDiffer(QPointF delta, bool drag);
    /// Absolute move to `point`, while controlling and movable.
    void moveCursorCenter(QPointF point, bool drag);
    /// Absolute move to `point`, confined to the screen it lies on (or the last
    /// such screen), whatever the state.
    void uncheckMoveCursorCenter(QPointF point, bool drag);
    /// To the centre of `screenFrame` ((0, 0) without one), whatever the state.
    void recenterAtScreen(std::optional<QRectF> screenFrame);

    /// A left click where the pointer is; within 0.3 s of the last click it
    /// counts as its second or third click.
    void performClick();
    /// Left button down where the pointer is, controlling or not.
    void performDragStart();
    /// Left button up where the pointer is, while controlling or while a drag
    /// is open.
    void performDragEnd();

    bool controlling() const { return controlling_; }
    QPointF cursorPoint() const { return cursorPoint_; }
    /// No click yet, or the last one at least 0.3 s ago.
    bool movable() const;
    /// 1 to 3: the click count of the last click.
    uint64_t count() const { return count_; }

  private:
    /// The pointer's place now, in framework coordinates (cursorPoint when
    /// the input layer cannot tell).
    QPointF mouseLocation();

    PVInputLayer& input_;
    PVCursorEnvironment environment_;
    bool controlling_ = false;
    QPointF cursorPoint_;
    std::optional<QRectF> currentScreen_;
    std::optional<int64_t> lastClickTimeUs_;
    uint64_t count_ = 1;
    bool dragOpen_ = false;
};
