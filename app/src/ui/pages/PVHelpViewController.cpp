#include "ui/pages/PVHelpViewController.h"

#include "ui/controls/PVColorTheme.h"

PVHelpViewController::PVHelpViewController(QWidget* parent) : PVViewController(parent)
{
    setBackgroundColor(themeBackgroundColor());
}
