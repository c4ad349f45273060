#include "update/PVProgressWindow.h"

#include "update/PVProgressViewController.h"

PVProgressWindow::PVProgressWindow(QWidget* parent)
    : PVWindow(parent), viewController_(new PVProgressViewController)
{
    setMovableByWindowBackground(true);
    setContentView(viewController_);
    setFixedSize(PVProgressViewController::kWidth, PVProgressViewController::kHeight);
}
