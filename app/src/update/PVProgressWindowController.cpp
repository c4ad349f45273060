#include "update/PVProgressWindowController.h"

#include "update/PVProgressView.h"
#include "update/PVProgressViewController.h"
#include "update/PVProgressWindow.h"

#include <QLabel>

PVProgressWindowController::PVProgressWindowController() : window_(new PVProgressWindow)
{
    window_->setWindowController(this);
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
}

PVProgressWindowController::~PVProgressWindowController()
{
    if (window_ != nullptr) {
        window_->setWindowController(nullptr);
        window_->close();
        // Later: the controller may go away inside a click on the window's
        // own cancel button.
        window_->deleteLater();
    }
}

void PVProgressWindowController::showWithComplete(Response response)
{
    response_ = std::move(response);
    if (window_ == nullptr) {
        return;
    }
    // Above the normal windows, as a status window stays.
    window_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void PVProgressWindowController::setProgress(double progress)
{
    progress_ = progress;
    if (window_ == nullptr) {
        return;
    }
    PVProgressViewController* content = window_->contentViewController();
    content->progressView()->setProgress(progress);
    content->progressTextField()->setText(QString::asprintf("%.0f%%", progress * 100.0));
}

void PVProgressWindowController::dismiss()
{
    if (window_ != nullptr) {
        window_->close();
    }
}
