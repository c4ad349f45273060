#include "ui/controls/PVProgressIndicator.h"

#include <QPainter>
#include <algorithm>

PVProgressIndicator::PVProgressIndicator(QWidget* parent) : QWidget(parent), color_(Qt::darkGray)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    timer_.setInterval(kStepMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kSpokeCount;
        update();
    });
    hide();
}

void PVProgressIndicator::startAnimation()
{
    if (timer_.isActive()) {
        return;
    }
    step_ = 0;
    timer_.start();
    show();
}

void PVProgressIndicator::stopAnimation()
{
    timer_.stop();
    hide();
}

void PVProgressIndicator::setColor(const QColor& color)
{
    color_ = color;
    update();
}

void PVProgressIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    const double outer = side / 2.0;
    const double inner = outer * 0.45;
    QPen pen(color_, std::max(1.5, side / 10.0), Qt::SolidLine, Qt::RoundCap);
    painter.translate(width() / 2.0, height() / 2.0);
    for (int spoke = 0; spoke < kSpokeCount; ++spoke) {
        // The spokes behind the bright one fade out, like a trail.
        const int behind = (step_ - spoke + kSpokeCount) % kSpokeCount;
        QColor spokeColor = color_;
        spokeColor.setAlphaF(static_cast<float>(1.0 - 0.8 * behind / (kSpokeCount - 1)));
        pen.setColor(spokeColor);
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * spoke / kSpokeCount);
        // Inset by half the pen so the round caps stay inside the widget.
        painter.drawLine(QPointF(0, -inner), QPointF(0, -(outer - pen.widthF() / 2.0)));
        painter.restore();
    }
}
