#include "update/PVProgressViewController.h"

#include "localisation/PVLocalizedKey.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/controls/PVThemeLabel.h"
#include "update/PVProgressView.h"
#include "update/PVProgressWindow.h"
#include "update/PVProgressWindowController.h"

#include <QLabel>
#include <QPointer>

namespace {

constexpr int kMargin = 20;
constexpr int kBarHeight = 12;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;

} // namespace

PVProgressViewController::PVProgressViewController(QWidget* parent)
    : PVViewController(parent), titleTextField_(createThemeLabel(themeTextGrayColor(), Qt::AlignLeft, this)),
      progressTextField_(createThemeLabel(themeTextGrayColor(), Qt::AlignRight, this)),
      progressView_(new PVProgressView(this)), cancelButton_(new PVRoundButton(this))
{
    viewDidLoad();
}

void PVProgressViewController::viewDidLoad()
{
    setBackgroundColor(themeBackgroundGrayColor());
    setFixedSize(kWidth, kHeight);
    for (QLabel* field : {titleTextField_, progressTextField_}) {
        field->setFont(themeFont());
    }
    setLocalizedKey(titleTextField_, QString::fromLatin1(kTitleKey));
    cancelButton_->setLocalizedKey(QString::fromLatin1(kCancelKey));

    const int textHeight = 20;
    titleTextField_->setGeometry(kMargin, kMargin, kWidth - 2 * kMargin - 60, textHeight);
    progressTextField_->setGeometry(kWidth - kMargin - 60, kMargin, 60, textHeight);
    progressView_->setGeometry(kMargin, kMargin + textHeight + 12, kWidth - 2 * kMargin, kBarHeight);
    cancelButton_->setGeometry((kWidth - kButtonWidth) / 2, kHeight - kMargin - kButtonHeight, kButtonWidth,
                               kButtonHeight);
    cancelButton_->setAction([self = QPointer<PVProgressViewController>(this)](PVButton*) {
        if (self != nullptr) {
            self->cancel();
        }
    });
}

void PVProgressViewController::cancel()
{
    auto* window = qobject_cast<PVProgressWindow*>(this->window());
    QPointer<PVProgressWindowController> controller = window != nullptr ? window->windowController() : nullptr;
    if (controller == nullptr) {
        return;
    }
    // The block may let go of the controller (and with it this dialog), so
    // it runs from a copy and everything after it checks what is left.
    const PVProgressWindowController::Response response = controller->response();
    if (response) {
        response(controller, 1);
    }
    if (controller != nullptr) {
        controller->dismiss();
    }
}
