#pragma once

// Synthetic pointer input: what the cursor manager needs to move the system
// pointer and press the left button. Positions are global points of the
// application framework with the origin at the top left of the primary screen
// and y down; the layer turns them into device pixels. The X11 layer is the
// real one; tests of the decisions use a recording fake.

#include <QPointF>
#include <cstdint>
#include <optional>

class PVInputLayer
{
  public:
    virtual ~PVInputLayer() = default;

    /// False when synthetic input cannot reach the pointer (no X display, no
    /// XTEST extension, a Wayland session): every other call then does nothing.
    virtual bool available() const = 0;

    /// Puts the pointer at `point` without a button event.
    virtual void warp(QPointF point) = 0;
    /// A pointer motion to `point`; `leftHeld` says it is a drag.
    virtual void motion(QPointF point, bool leftHeld) = 0;
    /// The left button pressed (`down`) or released at `point`. `clickState`
    /// is the click count the caller gives a repeated click (0: the
    /// platform's own count).
    virtual void leftButton(QPointF point, bool down, uint64_t clickState) = 0;

    /// Where the pointer is now; nothing when the layer is unavailable.
    virtual std::optional<QPointF> pointerPosition() = 0;
};
