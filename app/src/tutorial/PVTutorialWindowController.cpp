#include "tutorial/PVTutorialWindowController.h"

#include "log/DXLog.h"
#include "tutorial/PVTutorialViewController.h"
#include "tutorial/PVTutorialWindow.h"

PVTutorialWindowController::PVTutorialWindowController(QObject* parent) : QObject(parent) {}

PVTutorialWindowController::~PVTutorialWindowController()
{
    DXLogAlert("%s dealloc", "PVTutorialWindowController");
    delete window_;
}

PVTutorialWindow* PVTutorialWindowController::window()
{
    if (window_ == nullptr) {
        window_ = new PVTutorialWindow;
        windowDidLoad();
    }
    return window_;
}

PVTutorialViewController* PVTutorialWindowController::contentViewController()
{
    window();
    return content_;
}

void PVTutorialWindowController::windowDidLoad()
{
    content_ = new PVTutorialViewController;
    window_->setContentView(content_);
    window_->setFixedSize(PVTutorialViewController::kWidth, PVTutorialViewController::kHeight);
    window_->centerOnMainScreen();
}

void PVTutorialWindowController::showWindow()
{
    window()->show();
    window_->raise();
    window_->activateWindow();
}
