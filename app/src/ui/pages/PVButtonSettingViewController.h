#pragma once

// The settings page of the button mode.

#include "ui/window/PVViewController.h"

class PVButtonSettingViewController : public PVViewController
{
    Q_OBJECT

  public:
    explicit PVButtonSettingViewController(QWidget* parent = nullptr);
};
