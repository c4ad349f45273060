#pragma once

// The settings page of the presenter list, battery and firmware.

#include "ui/window/PVViewController.h"

class PVToolManagerViewController : public PVViewController
{
    Q_OBJECT

  public:
    explicit PVToolManagerViewController(QWidget* parent = nullptr);
};
