#include "tutorial/PVTutorialWindow.h"

PVTutorialWindow::PVTutorialWindow(QWidget* parent) : PVWindow(parent)
{
    setWindowFlag(Qt::NoDropShadowWindowHint);
}
