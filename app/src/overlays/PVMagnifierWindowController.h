#pragma once

// The magnified capture on one screen: a window over the whole screen that
// takes one snapshot of the screen when shown and, at every centre, shows a
// round view of the 100-point square around the centre enlarged two times.
// The snapshot is not refreshed while shown. Main thread only.

#include "overlays/PVMagnifierWindow.h"
#include "platform/PVScreen.h"

#include <QImage>
#include <QPointF>
#include <memory>
#include <optional>

class PVGlobalObjectManager;

class PVMagnifierWindowController
{
  public:
    /// A controller with a new window, not yet on a screen. `globals` gives
    /// the screens and the primary screen the centre is turned over on.
    PVMagnifierWindowController();
    explicit PVMagnifierWindowController(const PVGlobalObjectManager& globals);
    ~PVMagnifierWindowController();
    PVMagnifierWindowController(const PVMagnifierWindowController&) = delete;
    PVMagnifierWindowController& operator=(const PVMagnifierWindowController&) = delete;

    /// The window; null once dismissed.
    PVMagnifierWindow* window() const { return window_.get(); }

    /// Shows the window over the screen and takes the screen's snapshot; a
    /// second call while on a screen, or a call after dismissal, does
    /// nothing.
    void showOnScreen(const PVScreen& screen);
    /// Takes the snapshot of the screen of that display number at that pixel
    /// ratio. On failure the previous snapshot stays.
    void screenCapture(quint32 displayID, double factor);
    /// Shows the magnified view centred at the global point, or hides it
    /// when the point is not on this window's screen.
    void showImageCenter(QPointF point);
    /// Closes and releases the window and forgets the screen.
    void dismiss();

    bool shouldHide() const { return shouldHide_; }
    /// Stored only; applied at the next centre.
    void setShouldHide(bool hide) { shouldHide_ = hide; }

    const std::optional<PVScreen>& onScreen() const { return onScreen_; }
    /// Stores the screen and makes the window cover it (nothing for none).
    void setOnScreen(const std::optional<PVScreen>& screen);

    QPointF pointerCenter() const { return pointerCenter_; }
    /// The snapshot: the screen in pixels inside a transparent border.
    const QImage& screenCaptureRef() const { return screenCapture_; }
    QPointF origin() const { return origin_; }

  private:
    const PVGlobalObjectManager& globals_;
    std::unique_ptr<PVMagnifierWindow> window_;
    QPointF pointerCenter_;
    QImage screenCapture_;
    QPointF origin_;
    bool shouldHide_ = false;
    std::optional<PVScreen> onScreen_;
};
