#include "overlays/PVMagnifierGeometry.h"

#include <cmath>

namespace {

int whole(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

QRect PVMagnifierGeometry::snapshotRect(const QRectF& bounds, double factor)
{
    const int border = kSnapshotBorderPx;
    // Pixel counts are truncated, as whole pixels of the display.
    const int width = static_cast<int>(bounds.width() * factor) + 2 * border;
    const int height = static_cast<int>(bounds.height() * factor) + 2 * border;
    return QRect(0, 0, width, height);
}

QPointF PVMagnifierGeometry::snapshotOrigin(const QRectF& bounds, double factor)
{
    return QPointF(kSnapshotBorderPx - bounds.x() * factor, kSnapshotBorderPx - bounds.y() * factor);
}

QRect PVMagnifierGeometry::cutRect(QPointF center, QPointF origin, double factor)
{
    const double half = kCutSidePt / 2.0;
    // The origin is rounded and the side fixed, so a centre between pixels
    // still cuts a full square.
    return QRect(whole(factor * (center.x() - half) + origin.x()), whole(factor * (center.y() - half) + origin.y()),
                 whole(kCutSidePt * factor), whole(kCutSidePt * factor));
}

QSizeF PVMagnifierGeometry::viewSize(QSize cutSizePx, double factor)
{
    return QSizeF(kEnlargement * cutSizePx.width() / factor, kEnlargement * cutSizePx.height() / factor);
}
