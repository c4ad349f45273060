#include "ui/window/PVWindowTitleView.h"

#include "ui/window/PVWindow.h"
#include "ui/window/PVWindowButtonContainer.h"

#include <QEnterEvent>

PVWindowTitleView::PVWindowTitleView(QWidget* parent)
    : QWidget(parent), buttonContainer_(new PVWindowButtonContainer(this))
{
}

void PVWindowTitleView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QSize size = buttonContainer_->sizeHint();
    buttonContainer_->setGeometry(kButtonsLeft, (height() - size.height()) / 2, size.width(), size.height());
}

void PVWindowTitleView::setMouseInside(bool inside)
{
    if (mouseInside_ == inside) {
        return;
    }
    mouseInside_ = inside;
    if (auto* frame = qobject_cast<PVWindow*>(window())) {
        frame->setMovableByWindowBackground(inside);
    }
}

void PVWindowTitleView::enterEvent(QEnterEvent*)
{
    setMouseInside(true);
}

void PVWindowTitleView::leaveEvent(QEvent*)
{
    setMouseInside(false);
}
