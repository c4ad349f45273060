#include "ui/controls/PVRoundedFrame.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

bool paints(const QColor& color)
{
    return color.isValid() && color.alpha() > 0;
}

} // namespace

QPainterPath roundedShape(const QRectF& bounds, double radius)
{
    QPainterPath path;
    path.addRoundedRect(bounds, radius, radius);
    return path;
}

void paintRoundedFrame(QPainter& painter, const QRectF& bounds, double radius, double borderWidth,
                       const QColor& borderColor, const QColor& background)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outer = roundedShape(bounds, radius);
    if (paints(background)) {
        painter.fillPath(outer, background);
    }
    if (borderWidth > 0.0 && paints(borderColor)) {
        const QRectF innerBounds = bounds.adjusted(borderWidth, borderWidth, -borderWidth, -borderWidth);
        const QPainterPath inner = roundedShape(innerBounds, std::max(0.0, radius - borderWidth));
        painter.fillPath(outer.subtracted(inner), borderColor);
    }
    painter.restore();
}
