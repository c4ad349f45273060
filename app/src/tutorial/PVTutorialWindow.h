#pragma once

// The tutorial's window: frameless with the rounded frame of the
// application's windows, no shadow; it becomes the active window when
// clicked like any other.

#include "ui/window/PVWindow.h"

class PVTutorialWindow : public PVWindow
{
    Q_OBJECT

  public:
    explicit PVTutorialWindow(QWidget* parent = nullptr);

    bool canBecomeKeyWindow() const { return true; }
    bool canBecomeMainWindow() const { return true; }
};
