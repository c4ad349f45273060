#include "ui/pages/PVOptionImages.h"

#include "ui/controls/PVColorTheme.h"

#include <QPainter>

namespace {

constexpr int kSize = 30;     // points
constexpr double kRing = 8.0; // radius of the ring's middle line
constexpr double kRingWidth = 1.6;
constexpr double kDot = 4.5;
constexpr qreal kPixelRatio = 2.0;

} // namespace

QImage optionImage(PVOptionImageState state)
{
    QImage image(QSize(kSize, kSize) * kPixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(kSize / 2.0, kSize / 2.0);
    QColor ring = themeBorderCircleColor();
    if (state == PVOptionImageState::Highlighted) {
        ring = themeBlueHighlightedColor();
    } else if (state == PVOptionImageState::Selected) {
        ring = themeBlueColor();
    }
    painter.setPen(QPen(ring, kRingWidth));
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, kRing, kRing);
    if (state == PVOptionImageState::Selected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(themeBlueColor());
        painter.drawEllipse(centre, kDot, kDot);
    }
    return image;
}
