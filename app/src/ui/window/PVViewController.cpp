#include "ui/window/PVViewController.h"

#include "log/DXLog.h"

#include <QPalette>

PVViewController::PVViewController(QWidget* parent) : QWidget(parent) {}

PVViewController::~PVViewController()
{
    DXLogTaggedDebug(kLogTag, "%s dealloc",
                     className_.isEmpty() ? metaObject()->className() : className_.constData());
}

void PVViewController::showEvent(QShowEvent* event)
{
    className_ = metaObject()->className();
    DXLogTaggedDebug(kLogTag, "%s view will appear", className_.constData());
    QWidget::showEvent(event);
    DXLogTaggedDebug(kLogTag, "%s view did appear", className_.constData());
}

void PVViewController::hideEvent(QHideEvent* event)
{
    className_ = metaObject()->className();
    DXLogTaggedDebug(kLogTag, "%s view will disappear", className_.constData());
    QWidget::hideEvent(event);
    DXLogTaggedDebug(kLogTag, "%s view did disappear", className_.constData());
}

void PVViewController::setBackgroundColor(const QColor& color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
    setAutoFillBackground(true);
}
