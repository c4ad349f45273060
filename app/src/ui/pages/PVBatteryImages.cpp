#include "ui/pages/PVBatteryImages.h"

#include "ui/controls/PVColorTheme.h"

#include <QPainter>

namespace {

constexpr QSize kSize(44, 22); // points
constexpr qreal kPixelRatio = 2.0;
constexpr double kOutlineWidth = 2.0;
// Body and the nub on its right end.
constexpr QRectF kBody(1.0, 2.0, 38.0, 18.0);
constexpr QRectF kNub(39.0, 7.5, 4.0, 7.0);
constexpr double kFillInset = 3.5;

} // namespace

QString batteryImageName(quint64 level)
{
    const double fraction = static_cast<double>(level) / 100.0;
    if (fraction < 0.125) {
        return QStringLiteral("ba0");
    }
    if (fraction < 0.375) {
        return QStringLiteral("ba25");
    }
    if (fraction < 0.625) {
        return QStringLiteral("ba50");
    }
    if (fraction < 0.875) {
        return QStringLiteral("ba75");
    }
    return QStringLiteral("ba100");
}

QImage batteryImage(const QString& name)
{
    static const QStringList names = {"ba0", "ba25", "ba50", "ba75", "ba100"};
    const qsizetype quarters = names.indexOf(name);
    if (quarters < 0) {
        return {};
    }
    QImage image(kSize * kPixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // An empty battery is outlined in red: it needs charging.
    const QColor outline = quarters == 0 ? QColor(220, 50, 40) : themeTextGrayColor();
    painter.setPen(QPen(outline, kOutlineWidth));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(kBody, 3.0, 3.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(outline);
    painter.drawRoundedRect(kNub, 1.5, 1.5);
    if (quarters > 0) {
        const QRectF inside = kBody.adjusted(kFillInset, kFillInset, -kFillInset, -kFillInset);
        QRectF fill = inside;
        fill.setWidth(inside.width() * static_cast<double>(quarters) / 4.0);
        painter.setBrush(quarters == 1 ? QColor(240, 150, 30) : QColor(60, 180, 75));
        painter.drawRoundedRect(fill, 1.5, 1.5);
    }
    return image;
}
