#include "ui/pages/PVPointerStyleViewController.h"

#include "ui/controls/PVColorTheme.h"

PVPointerStyleViewController::PVPointerStyleViewController(QWidget* parent) : PVViewController(parent)
{
    setBackgroundColor(themeBackgroundColor());
}
