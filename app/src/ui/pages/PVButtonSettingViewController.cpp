#include "ui/pages/PVButtonSettingViewController.h"

#include "ui/controls/PVColorTheme.h"

PVButtonSettingViewController::PVButtonSettingViewController(QWidget* parent) : PVViewController(parent)
{
    setBackgroundColor(themeBackgroundColor());
}
