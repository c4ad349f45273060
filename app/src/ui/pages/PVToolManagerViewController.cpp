#include "ui/pages/PVToolManagerViewController.h"

#include "ui/controls/PVColorTheme.h"

PVToolManagerViewController::PVToolManagerViewController(QWidget* parent) : PVViewController(parent)
{
    setBackgroundColor(themeBackgroundColor());
}
