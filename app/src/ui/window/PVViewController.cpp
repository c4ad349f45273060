#include "ui/window/PVViewController.h"

#include "log/DXLog.h"
#include "ui/controls/PVBorderView.h"

#include <QPalette>
#include <QVBoxLayout>

PVViewController::PVViewController(QWidget* parent) : QWidget(parent) {}

PVViewController::~PVViewController()
{
    DXLogTaggedDebug(kLogTag, "%s dealloc", className_);
}

bool PVViewController::event(QEvent* event)
{
    className_ = metaObject()->className();
    return QWidget::event(event);
}

void PVViewController::showEvent(QShowEvent* event)
{
    DXLogTaggedDebug(kLogTag, "%s view will appear", className_);
    viewWillAppear();
    QWidget::showEvent(event);
    DXLogTaggedDebug(kLogTag, "%s view did appear", className_);
}

void PVViewController::hideEvent(QHideEvent* event)
{
    DXLogTaggedDebug(kLogTag, "%s view will disappear", className_);
    QWidget::hideEvent(event);
    DXLogTaggedDebug(kLogTag, "%s view did disappear", className_);
    viewDidDisappear();
}

void PVViewController::setBackgroundColor(const QColor& color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
    setAutoFillBackground(true);
}

void PVViewController::fillWithTabFrame(PVBorderView& frame)
{
    setBackgroundColor(Qt::white);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&frame);
    frame.setShowTopBorder(false);
}
