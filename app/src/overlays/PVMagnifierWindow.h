#pragma once

// The window of the magnified capture on one screen.

#include "overlays/PVOverlayWindow.h"

class PVMagnifierWindow final : public PVOverlayWindow
{
    Q_OBJECT

  public:
    PVMagnifierWindow() = default;
    ~PVMagnifierWindow() override;
};
