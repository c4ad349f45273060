#include "ui/pages/PVPresentDesktopImages.h"

#include "ui/controls/PVColorTheme.h"

#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

constexpr QSizeF kSize(132.0, 76.0); // points
constexpr qreal kPixelRatio = 2.0;

const QColor kFrame(70, 74, 82);
const QColor kScreen(214, 228, 243);
const QColor kDimScreen(236, 238, 241);
const QColor kPointer(225, 45, 45);

// A monitor whose display fills `display`, with a stand below it; `lit`
// draws the presenter's pointer in its middle.
void drawMonitor(QPainter& painter, const QRectF& display, bool lit)
{
    const double bezel = 3.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kFrame);
    painter.drawRoundedRect(display.adjusted(-bezel, -bezel, bezel, bezel), 3.0, 3.0);
    painter.setBrush(lit ? kScreen : kDimScreen);
    painter.drawRect(display);
    // Neck and foot.
    const double x = display.center().x();
    const double base = display.bottom() + bezel;
    painter.setBrush(kFrame);
    painter.drawRect(QRectF(x - 3.0, base, 6.0, 6.0));
    painter.drawRoundedRect(QRectF(x - 13.0, base + 6.0, 26.0, 3.0), 1.5, 1.5);
    if (lit) {
        painter.setBrush(kPointer);
        painter.drawEllipse(display.center(), 5.0, 5.0);
        painter.setBrush(QColor(255, 255, 255, 160));
        painter.drawEllipse(display.center() - QPointF(1.5, 1.5), 1.6, 1.6);
    }
}

void drawArrowHead(QPainter& painter, const QPointF& tip, const QPointF& direction)
{
    const QPointF unit = direction / std::max(1e-9, std::hypot(direction.x(), direction.y()));
    const QPointF normal(-unit.y(), unit.x());
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - unit * 6.0 + normal * 3.5);
    head.lineTo(tip - unit * 6.0 - normal * 3.5);
    head.closeSubpath();
    painter.fillPath(head, themeBlueColor());
}

} // namespace

QImage presentDesktopImage(const QString& name)
{
    const int kind = QStringList{"primary_screen", "screen_extend", "auto_detect"}.indexOf(name);
    if (kind < 0) {
        return {};
    }
    QImage image((kSize * kPixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF left(14.0, 14.0, 46.0, 32.0);
    const QRectF right(72.0, 14.0, 46.0, 32.0);
    switch (kind) {
    case 0:
        drawMonitor(painter, QRectF(38.0, 10.0, 56.0, 38.0), true);
        break;
    case 1: {
        drawMonitor(painter, left, false);
        drawMonitor(painter, right, true);
        // The pointer goes over to the extended screen.
        painter.setPen(QPen(themeBlueColor(), 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(40.0, 30.0), QPointF(84.0, 30.0));
        drawArrowHead(painter, QPointF(89.0, 30.0), QPointF(1.0, 0.0));
        break;
    }
    default: {
        drawMonitor(painter, left, true);
        drawMonitor(painter, right, true);
        // A circling arrow over both: the screen is found by itself.
        const QRectF circle(54.0, 4.0, 24.0, 24.0);
        painter.setPen(QPen(themeBlueColor(), 2.2, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(circle, 60 * 16, 280 * 16);
        drawArrowHead(painter, QPointF(72.5, 5.5), QPointF(-1.0, -0.6));
        break;
    }
    }
    return image;
}
