#pragma once

// The progress dialog's window: borderless with rounded corners and a thin
// frame, movable by its background, holding a PVProgressViewController.

#include "ui/window/PVWindow.h"
#include "update/PVProgressWindowController.h"

#include <QPointer>

class PVProgressViewController;

class PVProgressWindow : public PVWindow
{
    Q_OBJECT

  public:
    explicit PVProgressWindow(QWidget* parent = nullptr);

    PVProgressViewController* contentViewController() const { return viewController_; }

    /// The controller the window belongs to, null when none.
    PVProgressWindowController* windowController() const { return controller_; }
    void setWindowController(PVProgressWindowController* controller) { controller_ = controller; }

  private:
    PVProgressViewController* viewController_;
    QPointer<PVProgressWindowController> controller_;
};
