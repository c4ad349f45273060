#pragma once

// The settings page of the help, tutorial and update.

#include "ui/window/PVViewController.h"

class PVHelpViewController : public PVViewController
{
    Q_OBJECT

  public:
    explicit PVHelpViewController(QWidget* parent = nullptr);
};
