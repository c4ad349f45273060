#pragma once

// A window that covers one screen above every ordinary window and shows one
// image view: frameless, without shadow, transparent, never taking the focus
// or any mouse input, shown without activation and placed by itself rather
// than by the window manager. The pointer and magnifier overlays are this
// window.
//
// Without a compositor (plain X) the transparent part of a window shows
// black and would hide the whole screen, so the window is cut to the pixels
// the image covers (`shapeToImage`); everything else is no part of the
// window. With a compositor the cut changes nothing that is seen.

#include "ui/controls/PVImageView.h"

#include <QRegion>
#include <QWidget>

class PVOverlayWindow : public QWidget
{
    Q_OBJECT

  public:
    PVOverlayWindow();

    /// The view of the image: proportionally scaled down only, never up,
    /// centred in its frame.
    PVImageView* imageView() const { return imageView_; }

    /// Cuts the window to the pixels of the image view's image that are not
    /// fully transparent; a hidden view or one without image leaves nothing
    /// of the window on screen.
    void shapeToImage();
    /// The area of the window on screen now, in window coordinates (empty
    /// for none).
    const QRegion& shape() const { return shape_; }

  private:
    void setShape(const QRegion& region);

    PVImageView* imageView_;
    QRegion shape_;
    // The covered pixels of the last image drawn, in the view's coordinates:
    // the centre moves far more often than the image or its size change.
    qint64 coveredKey_ = 0;
    QRectF coveredRect_;
    QRegion covered_;
};
