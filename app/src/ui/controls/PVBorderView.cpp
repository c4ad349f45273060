#include "ui/controls/PVBorderView.h"

#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVLineView.h"

#include <QPaintEvent>
#include <QPainter>

PVBorderView::PVBorderView(QWidget* parent)
    : QWidget(parent), leftLine_(new PVLineView(themeBorderColor(), this)),
      rightLine_(new PVLineView(themeBorderColor(), this)),
      topLine_(new PVLineView(themeBorderColor(), this)),
      bottomLine_(new PVLineView(themeBorderColor(), this))
{
}

void PVBorderView::setShowTopBorder(bool show)
{
    showTopBorder_ = show;
    topLine_->setVisible(show);
    update();
}

void PVBorderView::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
    }
    redrawBorder(event->rect());
}

void PVBorderView::redrawBorder(const QRect&) {}

void PVBorderView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const double w = width();
    const double h = height();
    leftLine_->setLineRect(QRectF(0, 0, kLineWidth, h));
    rightLine_->setLineRect(QRectF(w - kLineWidth, 0, kLineWidth, h));
    topLine_->setLineRect(QRectF(0, 0, w, kLineWidth));
    bottomLine_->setLineRect(QRectF(0, h - kLineWidth, w, kLineWidth));
}
