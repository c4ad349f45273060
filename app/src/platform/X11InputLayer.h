#pragma once

// Synthetic pointer input on X11 through the XTEST extension, on a display
// connection of its own. Points become root-window pixels with the device
// pixel ratio of the screen they lie on (and back when reading the pointer).

#include "platform/PVInputLayer.h"
#include "platform/PVSessionEnvironment.h"

#include <QPoint>
#include <memory>
#include <string>

struct _XDisplay;

class X11InputLayer final : public PVInputLayer
{
  public:
    /// The program's layer, shared by the cursor manager and the slide-show
    /// keys, so that an unavailable layer says why once: made on first use
    /// for the session the program runs in, never destroyed.
    static const std::shared_ptr<X11InputLayer>& shared();

    /// Opens `displayName` (null: $DISPLAY) unless the session is Wayland.
    /// When the layer is unavailable it logs one Alert line saying why.
    explicit X11InputLayer(const PVSessionEnvironment& session = PVSessionEnvironment::current(),
                           const char* displayName = nullptr);
    ~X11InputLayer() override;
    X11InputLayer(const X11InputLayer&) = delete;
    X11InputLayer& operator=(const X11InputLayer&) = delete;

    /// Why the layer is unavailable in a Wayland session.
    static constexpr const char* kWaylandReason =
        "this is a Wayland session, where other programs may neither move the pointer nor send keys to a "
        "slide show";
    /// The Alert line the layer logs when it is unavailable for `reason`.
    static std::string unavailableLine(const std::string& reason);

    bool available() const override { return display_ != nullptr; }
    /// Why the layer is unavailable; empty when it is available.
    const std::string& unavailableReason() const { return unavailableReason_; }

    void warp(QPointF point) override;
    void motion(QPointF point, bool leftHeld) override;
    void leftButton(QPointF point, bool down, uint64_t clickState) override;
    std::optional<QPointF> pointerPosition() override;

    /// Presses and releases the key that gives `keysym` in the server's
    /// keymap, without modifiers, into whichever window has the input focus.
    /// False when the layer is unavailable or no key gives `keysym`.
    bool typeKey(unsigned long keysym);

    /// Global points to root pixels and back, by the screens of the running
    /// application (a point outside every screen uses the primary screen).
    static QPoint rootPixelOf(QPointF point);
    static QPointF pointOfRootPixel(QPoint pixel);

  private:
    void moveTo(QPointF point);

    _XDisplay* display_ = nullptr;
    std::string unavailableReason_;
};
