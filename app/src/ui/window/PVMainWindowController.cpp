#include "ui/window/PVMainWindowController.h"

#include "ui/window/PVMainViewController.h"
#include "ui/window/PVWindow.h"

PVMainWindowController::PVMainWindowController(PVMainViewModel& model, QObject* parent)
    : QObject(parent), model_(model)
{
}

PVMainWindowController::~PVMainWindowController()
{
    delete window_;
}

PVWindow* PVMainWindowController::window()
{
    if (window_ == nullptr) {
        window_ = new PVWindow;
        windowDidLoad();
    }
    return window_;
}

PVMainViewController* PVMainWindowController::contentViewController()
{
    window();
    return content_;
}

void PVMainWindowController::windowDidLoad()
{
    content_ = new PVMainViewController(model_);
    window_->setContentView(content_);
    window_->setFixedSize(PVMainViewController::kWidth, PVMainViewController::kHeight);
    window_->centerOnMainScreen();
}

void PVMainWindowController::showWindow()
{
    window()->show();
    window_->raise();
    window_->activateWindow();
}
