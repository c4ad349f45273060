#pragma once

// The content of the progress dialog: a title, the progress in percent, the
// bar and a cancel button. The cancel button answers the dialog's response
// block with 1 and closes the dialog.

#include "ui/window/PVViewController.h"

class QLabel;
class PVProgressView;
class PVRoundButton;

class PVProgressViewController : public PVViewController
{
    Q_OBJECT

  public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 140;
    /// Localisation key of the title.
    static constexpr const char* kTitleKey = "Downloading update";
    /// Localisation key of the cancel button's text.
    static constexpr const char* kCancelKey = "PV013";

    explicit PVProgressViewController(QWidget* parent = nullptr);

    QLabel* titleTextField() const { return titleTextField_; }
    QLabel* progressTextField() const { return progressTextField_; }
    PVProgressView* progressView() const { return progressView_; }
    PVRoundButton* cancelButton() const { return cancelButton_; }

  private:
    void viewDidLoad();
    void cancel();

    QLabel* titleTextField_;
    QLabel* progressTextField_;
    PVProgressView* progressView_;
    PVRoundButton* cancelButton_;
};
