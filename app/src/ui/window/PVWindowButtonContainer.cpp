#include "ui/window/PVWindowButtonContainer.h"

#include "ui/window/PVWindowStandardButton.h"

#include <QEnterEvent>
#include <QHBoxLayout>
#include <QMouseEvent>

PVWindowButtonContainer::PVWindowButtonContainer(QWidget* parent)
    : QWidget(parent), closeButton_(new PVWindowStandardButton(PVWindowStandardButton::Kind::Close, this)),
      minimizeButton_(new PVWindowStandardButton(PVWindowStandardButton::Kind::Minimize, this)),
      zoomButton_(new PVWindowStandardButton(PVWindowStandardButton::Kind::Zoom, this))
{
    minimizeButton_->setEnabled(false);
    zoomButton_->setEnabled(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    for (PVWindowStandardButton* button : {closeButton_, minimizeButton_, zoomButton_}) {
        layout->addWidget(button, 0, Qt::AlignVCenter);
    }
    setMouseTracking(true);
}

void PVWindowButtonContainer::setNeedsDisplayForStandardWindowButtons()
{
    for (PVWindowStandardButton* button : {closeButton_, minimizeButton_, zoomButton_}) {
        button->setShowsSymbol(mouseInside_);
        button->update();
    }
}

void PVWindowButtonContainer::setMouseInside(bool inside)
{
    mouseInside_ = inside;
    setNeedsDisplayForStandardWindowButtons();
}

void PVWindowButtonContainer::enterEvent(QEnterEvent* event)
{
    if (rect().contains(event->position().toPoint())) {
        setMouseInside(true);
    }
}

void PVWindowButtonContainer::leaveEvent(QEvent*)
{
    // A leave into one of the buttons is still inside the group.
    if (!rect().contains(mapFromGlobal(QCursor::pos()))) {
        setMouseInside(false);
    }
}

void PVWindowButtonContainer::mouseMoveEvent(QMouseEvent* event)
{
    setMouseInside(rect().contains(event->position().toPoint()));
    QWidget::mouseMoveEvent(event);
}
