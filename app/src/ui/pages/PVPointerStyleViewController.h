#pragma once

// The settings page of the pointer style, size, speed and presentation screen.

#include "ui/window/PVViewController.h"

class PVPointerStyleViewController : public PVViewController
{
    Q_OBJECT

  public:
    explicit PVPointerStyleViewController(QWidget* parent = nullptr);
};
