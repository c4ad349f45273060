#pragma once

// The window of one pointer overlay: covers one screen and shows the pointer
// style's image or the magnifier glass.

#include "overlays/PVOverlayWindow.h"

class PVPointerWindow final : public PVOverlayWindow
{
    Q_OBJECT

  public:
    PVPointerWindow() = default;
    ~PVPointerWindow() override;
};
