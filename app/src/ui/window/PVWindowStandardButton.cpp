#include "ui/window/PVWindowStandardButton.h"

#include <QPainter>

PVWindowStandardButton::PVWindowStandardButton(Kind kind, QWidget* parent)
    : QAbstractButton(parent), kind_(kind)
{
    setFixedSize(kDiameter, kDiameter);
    setFocusPolicy(Qt::NoFocus);
}

void PVWindowStandardButton::setShowsSymbol(bool shows)
{
    if (showsSymbol_ != shows) {
        showsSymbol_ = shows;
        update();
    }
}

QColor PVWindowStandardButton::discColor() const
{
    if (!isEnabled()) {
        return {206, 206, 206};
    }
    switch (kind_) {
    case Kind::Close:
        return {255, 95, 87};
    case Kind::Minimize:
        return {254, 188, 46};
    case Kind::Zoom:
        return {40, 200, 64};
    }
    return {};
}

void PVWindowStandardButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(discColor().darker(115), 1.0));
    painter.setBrush(isDown() ? discColor().darker(120) : discColor());
    painter.drawEllipse(disc);
    if (!showsSymbol_ || !isEnabled()) {
        return;
    }
    painter.setPen(QPen(QColor(0, 0, 0, 150), 1.2, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = disc.center();
    const double r = kDiameter * 0.22;
    switch (kind_) {
    case Kind::Close:
        painter.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
        painter.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
        break;
    case Kind::Minimize:
        painter.drawLine(c + QPointF(-r - 0.5, 0), c + QPointF(r + 0.5, 0));
        break;
    case Kind::Zoom:
        painter.drawLine(c + QPointF(-r - 0.5, 0), c + QPointF(r + 0.5, 0));
        painter.drawLine(c + QPointF(0, -r - 0.5), c + QPointF(0, r + 0.5));
        break;
    }
}
