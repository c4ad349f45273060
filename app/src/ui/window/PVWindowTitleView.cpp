#include "ui/window/PVWindowTitleView.h"

#include "ui/window/PVWindowButtonContainer.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QWindow>

PVWindowTitleView::PVWindowTitleView(QWidget* parent)
    : QWidget(parent), buttonContainer_(new PVWindowButtonContainer(this))
{
    setMouseTracking(true);
}

void PVWindowTitleView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QSize size = buttonContainer_->sizeHint();
    buttonContainer_->setGeometry(kButtonsLeft, (height() - size.height()) / 2, size.width(), size.height());
}

void PVWindowTitleView::enterEvent(QEnterEvent*)
{
    mouseInside_ = true;
}

void PVWindowTitleView::leaveEvent(QEvent*)
{
    mouseInside_ = false;
}

void PVWindowTitleView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window manager moves the window when there is one; without one the
    // bar moves it by hand.
    QWindow* handle = window()->windowHandle();
    draggingByHand_ = handle == nullptr || !handle->startSystemMove();
    grabOffset_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
}

void PVWindowTitleView::mouseMoveEvent(QMouseEvent* event)
{
    if (draggingByHand_ && (event->buttons() & Qt::LeftButton)) {
        window()->move(event->globalPosition().toPoint() - grabOffset_);
    }
}

void PVWindowTitleView::mouseReleaseEvent(QMouseEvent* event)
{
    draggingByHand_ = false;
    QWidget::mouseReleaseEvent(event);
}
