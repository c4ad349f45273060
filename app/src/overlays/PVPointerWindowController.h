#pragma once

// One pointer overlay on one screen: a window over the whole screen that
// shows an image in a square centred at a global point. The overlay manager
// gives every screen's controller the same centre; each places the square in
// its own window, so the image is seen on the screen that holds the centre
// (and, at a border, partly on its neighbour). Main thread only.

#include "overlays/PVPointerWindow.h"
#include "platform/PVScreen.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>

class PVGlobalObjectManager;

class PVPointerWindowController
{
  public:
    /// A controller with a new window, not yet on a screen. `globals` places
    /// windows of screens the application has no Qt screen for.
    PVPointerWindowController();
    explicit PVPointerWindowController(const PVGlobalObjectManager& globals);
    ~PVPointerWindowController();
    PVPointerWindowController(const PVPointerWindowController&) = delete;
    PVPointerWindowController& operator=(const PVPointerWindowController&) = delete;

    /// The side of the image square of a size level, in points: 35, 52.5 or
    /// 70 for levels 0, 1 and 2; 0 (nothing seen) for any other level.
    static double sideOfSizeLevel(quint64 level);

    /// The window; null once dismissed.
    PVPointerWindow* window() const { return window_.get(); }

    const QImage& pointerImage() const { return pointerImage_; }
    void setPointerImage(const QImage& image);
    QSizeF pointerSize() const { return pointerSize_; }
    void setPointerSizeLevel(quint64 level);
    /// The overlay's centre in global screen coordinates.
    QPointF pointerCenter() const { return pointerCenter_; }
    void setPointerCenter(QPointF center);

    /// Shows the window over the screen, above ordinary windows; a second
    /// call while on a screen, or a call after dismissal, does nothing.
    void showOnScreen(const PVScreen& screen);
    /// Closes and releases the window and forgets the screen.
    void dismissOnScreen();

    bool shouldHide() const { return shouldHide_; }
    /// Hides the image, or shows it again, at once.
    void setShouldHide(bool hide);

    const std::optional<PVScreen>& onScreen() const { return onScreen_; }
    /// Stores the screen and makes the window cover it (nothing for none).
    void setOnScreen(const std::optional<PVScreen>& screen);

    /// The overlay kind (1 pointer image, 2 magnifier glass).
    quint64 control() const { return control_; }
    void setControl(quint64 control) { control_ = control; }

    /// Lays the image square out at the centre; nothing while on no screen.
    void designFrame();
    /// The square the last layout chose, in window coordinates.
    QRectF imageFrame() const { return imageFrame_; }

    QString debugDescription() const;

  private:
    void applyImage();

    const PVGlobalObjectManager& globals_;
    std::unique_ptr<PVPointerWindow> window_;
    QPointF pointerCenter_;
    QSizeF pointerSize_{0.0, 0.0};
    QImage pointerImage_;
    bool shouldHide_ = false;
    std::optional<PVScreen> onScreen_;
    quint64 control_ = 0;
    QRectF imageFrame_;
};
