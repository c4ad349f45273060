#include "ui/alert/PVAlertViewController.h"

#include "localisation/PVLocalizedKey.h"
#include "localisation/PVLocalizedStringManager.h"
#include "log/DXLog.h"
#include "ui/alert/PVAlertButton.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/window/PVWindow.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <vector>

namespace {

constexpr int kMargin = 20;
constexpr int kButtonHeight = 30;
// Two buttons and the gap between them fill the width inside the margins.
constexpr int kButtonWidth = (PVAlertViewController::kWidth - 3 * kMargin) / 2;

// Alerts running now, innermost last.
std::vector<PVAlertViewController*>& runningAlerts()
{
    static std::vector<PVAlertViewController*> alerts;
    return alerts;
}

QString text(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(QString::fromLatin1(key));
}

QLabel* wrappingLabel(const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFont(themeFont());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

std::unique_ptr<PVAlertViewController> run(std::unique_ptr<PVAlertViewController> alert)
{
    alert->show();
    return alert;
}

} // namespace

std::unique_ptr<PVAlertViewController>
PVAlertViewController::showAlertTitle(const QString& title, const QString& message, const QString& button1,
                                      const QString& button2, Action block)
{
    auto alert = std::make_unique<PVAlertViewController>(true, title, message, std::move(block));
    alert->button1_->setLocalizedKey(button1);
    alert->button2_->setLocalizedKey(button2);
    return run(std::move(alert));
}

std::unique_ptr<PVAlertViewController> PVAlertViewController::showAlertTitle(const QString& title,
                                                                             const QString& message,
                                                                             const QString& button,
                                                                             Action block)
{
    auto alert = std::make_unique<PVAlertViewController>(
        false, title, message, [block = std::move(block)](PVAlertViewController* controller, bool yes) {
            if (block) {
                block(controller, yes);
            }
        });
    alert->button1_->setLocalizedKey(button);
    return run(std::move(alert));
}

std::unique_ptr<PVAlertViewController>
PVAlertViewController::showWithYesNoButtonAlertTitle(const QString& title, const QString& message,
                                                     Action block)
{
    // "No" is button 1 and "Yes" button 2: the answer is turned round.
    return showAlertTitle(title, message, text("PV030"), text("PV029"),
                          [block = std::move(block)](PVAlertViewController* controller, bool button1) {
                              if (block) {
                                  block(controller, !button1);
                              }
                          });
}

std::unique_ptr<PVAlertViewController>
PVAlertViewController::showWithOKButtonAlertTitle(const QString& title, const QString& message, Action block)
{
    return showAlertTitle(title, message, text("PV029"), std::move(block));
}

PVAlertViewController::PVAlertViewController(bool showSecondButton, const QString& title,
                                             const QString& message, Action action)
    : showSecondButton_(showSecondButton), text_(message), titleText_(title), action_(std::move(action)),
      titleTextField_(wrappingLabel(themeTextGrayColor(), this)),
      textField_(wrappingLabel(themeTextBlackColor(), this)), buttonContainer_(new QWidget(this)),
      button1_(new PVAlertButton(buttonContainer_)), button2_(new PVAlertButton(buttonContainer_))
{
    viewDidLoad();
}

PVAlertViewController::~PVAlertViewController()
{
    dismiss();
}

PVAlertViewController* PVAlertViewController::currentAlert()
{
    return runningAlerts().empty() ? nullptr : runningAlerts().back();
}

void PVAlertViewController::viewDidLoad()
{
    setBackgroundColor(themeBackgroundColor());
    titleTextField_->setText(titleText_);
    textField_->setText(text_);
    setFixedWidth(kWidth);

    auto* row = new QHBoxLayout(buttonContainer_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kMargin);
    for (PVAlertButton* button : {button1_, button2_}) {
        button->setFixedSize(kButtonWidth, kButtonHeight);
    }
    if (showSecondButton_) {
        row->addWidget(button1_);
        row->addWidget(button2_);
    } else {
        button2_->hide();
        row->addWidget(button1_, 0, Qt::AlignHCenter);
    }

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    column->setSpacing(12);
    column->addWidget(titleTextField_);
    column->addWidget(textField_);
    column->addSpacing(4);
    column->addWidget(buttonContainer_, 0, Qt::AlignHCenter);

    QPointer<PVAlertViewController> self(this);
    button1_->setAction([self](PVButton*) {
        if (self != nullptr) {
            self->answer(true, "button1 click");
        }
    });
    button2_->setAction([self](PVButton*) {
        if (self != nullptr) {
            self->answer(false, "button2 click");
        }
    });
}

void PVAlertViewController::answer(bool yes, const char* logLine)
{
    dismiss();
    DXLogAlert("%s", logLine);
    if (action_) {
        const Action action = action_;
        action(this, yes);
    }
}

void PVAlertViewController::show()
{
    if (isShown_) {
        return;
    }
    // The window that was active comes back once the alert goes.
    QPointer<QWidget> under = QApplication::activeWindow();
    // The one-button form shows its own label (OK), whatever it was given.
    if (!showSecondButton_) {
        button1_->setLocalizedKey(QStringLiteral("PV014"));
    }

    auto* frame = new PVWindow;
    window_ = frame;
    frame->setContentView(this);
    frame->setWindowModality(Qt::ApplicationModal);
    frame->setMovableByWindowBackground(true);
    frame->installEventFilter(this);
    const int height = heightForWidth(kWidth) > 0 ? heightForWidth(kWidth) : sizeHint().height();
    frame->setFixedSize(kWidth, height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        frame->move(screen->availableGeometry().center() - frame->rect().center());
    }

    isShown_ = true;
    runningAlerts().push_back(this);
    frame->show();
    frame->raise();
    frame->activateWindow();

    // Timers and queued main-thread work keep running in this loop.
    QEventLoop loop;
    loop_ = &loop;
    if (isShown_) {
        loop.exec();
    }
    loop_ = nullptr;
    std::erase(runningAlerts(), this);

    if (under != nullptr && under->isVisible() && under != frame) {
        under->activateWindow();
    }
    // The alert is put away, not closed: it stores nothing. The controller
    // leaves the window so that it outlives it.
    frame->removeEventFilter(this);
    frame->hide();
    setParent(nullptr);
    window_ = nullptr;
    frame->deleteLater();
}

void PVAlertViewController::dismiss()
{
    if (!isShown_) {
        return;
    }
    isShown_ = false;
    if (loop_ != nullptr) {
        loop_->quit();
    }
}

bool PVAlertViewController::eventFilter(QObject* watched, QEvent* event)
{
    // Closed from outside (window manager): the alert ends without an answer.
    if (watched == window_ && event->type() == QEvent::Close) {
        event->ignore();
        dismiss();
        return true;
    }
    return PVViewController::eventFilter(watched, event);
}
