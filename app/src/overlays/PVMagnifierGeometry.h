#pragma once

// The arithmetic of the magnifier: where a screen's snapshot puts the screen
// and which square of the snapshot a centre cuts. Points are top-left,
// y-down display coordinates; pixels are the snapshot's.

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

struct PVMagnifierGeometry
{
    /// Transparent border around the screen in every snapshot, in pixels:
    /// a cut near the screen's edge stays full-sized.
    static constexpr int kSnapshotBorderPx = 200;
    /// Side of the cut square, in points, and its enlargement.
    static constexpr double kCutSidePt = 100.0;
    static constexpr double kEnlargement = 2.0;

    /// The snapshot's size in pixels for a display of `bounds` (points) at
    /// pixel ratio `factor`: the display in pixels with the border around.
    static QRect snapshotRect(const QRectF& bounds, double factor);
    /// The offset that turns display coordinates scaled by `factor` into
    /// snapshot pixels.
    static QPointF snapshotOrigin(const QRectF& bounds, double factor);

    /// The snapshot pixels of the square around `center` (display points):
    /// 100 × 100 points, on whole pixels.
    static QRect cutRect(QPointF center, QPointF origin, double factor);
    /// The magnified view of a cut of `cutSizePx` pixels, in points.
    static QSizeF viewSize(QSize cutSizePx, double factor);
};
