#include "ui/controls/PVLineView.h"

#include <QPainter>
#include <cmath>

PVLineView::PVLineView(const QColor& color, QWidget* parent) : QWidget(parent), color_(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PVLineView::setLineRect(const QRectF& lineRect)
{
    lineRect_ = lineRect;
    const int left = static_cast<int>(std::floor(lineRect.left()));
    const int top = static_cast<int>(std::floor(lineRect.top()));
    const int right = static_cast<int>(std::ceil(lineRect.right()));
    const int bottom = static_cast<int>(std::ceil(lineRect.bottom()));
    setGeometry(left, top, right - left, bottom - top);
    update();
}

void PVLineView::setColor(const QColor& color)
{
    color_ = color;
    update();
}

void PVLineView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_);
    painter.drawRect(lineRect_.translated(-QPointF(pos())));
}
