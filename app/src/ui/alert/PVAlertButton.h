#pragma once

// A button of the alert. While the pointer is over it the window is not
// movable by its background, so pressing it never drags the window.

#include "ui/controls/PVRoundButton.h"

class PVAlertButton : public PVRoundButton
{
    Q_OBJECT

  public:
    using PVRoundButton::PVRoundButton;

    void setMouseIn(bool inside) override;
};
