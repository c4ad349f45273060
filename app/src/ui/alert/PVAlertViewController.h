#pragma once

// The application's own alert: a small rounded window with a title, a
// message and one or two buttons, shown application-modally. The class
// operations build, show and run it and return once it is dismissed; the
// answer reaches the caller's block before that, while the alert is still
// on screen, so the block may show a further alert.

#include "ui/window/PVViewController.h"

#include <QPointer>
#include <functional>
#include <memory>

class QEventLoop;
class QLabel;
class PVAlertButton;
class PVWindow;

class PVAlertViewController : public PVViewController
{
    Q_OBJECT

  public:
    /// (the controller, the answer).
    using Action = std::function<void(PVAlertViewController*, bool)>;

    static constexpr int kWidth = 256;

    /// Two buttons: button 1 answers YES, button 2 NO.
    static std::unique_ptr<PVAlertViewController> showAlertTitle(const QString& title, const QString& message,
                                                                 const QString& button1,
                                                                 const QString& button2, Action block);
    /// One button, answering YES.
    static std::unique_ptr<PVAlertViewController> showAlertTitle(const QString& title, const QString& message,
                                                                 const QString& button, Action block);
    /// "No" and "Yes": the block hears YES for "Yes".
    static std::unique_ptr<PVAlertViewController>
    showWithYesNoButtonAlertTitle(const QString& title, const QString& message, Action block);
    /// One button; the block hears YES.
    static std::unique_ptr<PVAlertViewController>
    showWithOKButtonAlertTitle(const QString& title, const QString& message, Action block);

    PVAlertViewController(bool showSecondButton, const QString& title, const QString& message, Action action);
    ~PVAlertViewController() override;

    /// Shows the alert and runs it until dismissed; nothing while shown.
    void show();
    /// Ends the alert's run; nothing when it is not shown.
    void dismiss();

    bool showSecondButton() const { return showSecondButton_; }
    bool isShown() const { return isShown_; }
    QLabel* titleTextField() const { return titleTextField_; }
    QLabel* textField() const { return textField_; }
    PVAlertButton* button1() const { return button1_; }
    PVAlertButton* button2() const { return button2_; }
    /// The window while shown.
    PVWindow* alertWindow() const { return window_; }

    /// The alert shown last and still running, for tests and the quit path.
    static PVAlertViewController* currentAlert();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void viewDidLoad();
    void answer(bool yes, const char* logLine);

    bool showSecondButton_;
    bool isShown_ = false;
    QString text_;
    QString titleText_;
    Action action_;
    QLabel* titleTextField_;
    QLabel* textField_;
    QWidget* buttonContainer_;
    PVAlertButton* button1_;
    PVAlertButton* button2_;
    QPointer<PVWindow> window_;
    QEventLoop* loop_ = nullptr;
};
