#include "ui/window/PVMainViewController.h"

#include "device/presenterState.h"
#include "localisation/PVLocalizedKey.h"
#include "log/DXLog.h"
#include "platform/PVMainQueue.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVPresenterIcon.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/controls/PVThemeLabel.h"
#include "ui/pages/PVButtonSettingViewController.h"
#include "ui/pages/PVHelpViewController.h"
#include "ui/pages/PVPointerStyleViewController.h"
#include "ui/pages/PVToolManagerViewController.h"
#include "ui/window/PVEmptyViewController.h"
#include "ui/window/PVMainViewModel.h"
#include "ui/window/PVTabStackView.h"
#include "ui/window/PVWindowButtonContainer.h"
#include "ui/window/PVWindowStandardButton.h"
#include "ui/window/PVWindowTitleView.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace {

// Layout of the window's content (points).
constexpr int kMargin = PVMainViewController::kMargin;
constexpr QRect kTitleRect(0, 0, PVMainViewController::kWidth, 28);
constexpr QRect kPresenterIconRect(kMargin, 452, 52, 52);
constexpr QSize kButtonSize(100, 30);
constexpr int kButtonsTop = 463;

void fill(QWidget* child, QWidget* container)
{
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(child);
}

} // namespace

PVMainViewController::PVMainViewController(PVMainViewModel& model, QWidget* parent)
    : PVViewController(parent), model_(model), titleView_(new PVWindowTitleView(this)),
      titleTextField_(createThemeLabel(themeTextGrayColor(), Qt::AlignCenter, titleView_)),
      tabStackView_(new PVTabStackView(this)), tabPageViewContainer_(new QWidget(this)),
      emptyViewContainer_(new QWidget(this)), presenterIcon_(new PVPresenterIcon(this)),
      okButton_(new PVRoundButton(this)), cancelButton_(new PVRoundButton(this))
{
    for (int i = 0; i < kTabCount; ++i) {
        pageContainers_.append(new QWidget(tabPageViewContainer_));
    }
    setupUIIfNeeded();
}

void PVMainViewController::setupUIIfNeeded()
{
    setBackgroundColor(themeBackgroundColor());
    resize(kWidth, kHeight);

    // The title bar: minimise closes the window like close; zoom stays off.
    titleView_->setGeometry(kTitleRect);
    PVWindowButtonContainer* buttons = titleView_->buttonContainer();
    buttons->minimizeButton()->setEnabled(true);
    connect(buttons->closeButton(), &QAbstractButton::clicked, this, [this] { window()->close(); });
    connect(buttons->minimizeButton(), &QAbstractButton::clicked, this, [this] { window()->close(); });
    titleTextField_->setGeometry(QRect(QPoint(0, 0), kTitleRect.size()));
    setLocalizedKey(titleTextField_, QStringLiteral("Setting"));
    // Clicks on the title go to the bar, which moves the window.
    titleTextField_->setAttribute(Qt::WA_TransparentForMouseEvents);
    buttons->raise();

    tabStackView_->setGeometry(kTabRowRect);
    tabStackView_->setSelectionBlock(
        [controller = QPointer<PVMainViewController>(this)](quint64 from, quint64 to) {
            if (controller != nullptr) {
                controller->checkDirtyAndShowAlertWhenNeedChangeTab(from, to);
            }
        });

    tabPageViewContainer_->setGeometry(kPagesRect);
    emptyViewContainer_->setGeometry(kPagesRect);
    presenterIcon_->setGeometry(kPresenterIconRect);
    dongleInset(model_.dongleInsert());

    tabStackView_->setSelection(0);
    setupSelection(0);

    viewControllers_ = {new PVButtonSettingViewController(model_), new PVPointerStyleViewController(model_),
                        new PVToolManagerViewController(model_), new PVHelpViewController};
    for (int i = 0; i < kTabCount; ++i) {
        pageContainers_[i]->setGeometry(QRect(QPoint(0, 0), kPagesRect.size()));
        fill(viewControllers_[i], pageContainers_[i]);
    }
    emptyViewController_ = new PVEmptyViewController;
    emptyViewController_->setReceiverAccessDenied(model_.receiverAccessDenied());
    fill(emptyViewController_, emptyViewContainer_);
    emptyViewContainer_->raise();

    cancelButton_->setLocalizedKey(QStringLiteral("PV013"));
    okButton_->setLocalizedKey(QStringLiteral("PV014"));
    okButton_->setGeometry(QRect(QPoint(kWidth - kMargin - kButtonSize.width(), kButtonsTop), kButtonSize));
    cancelButton_->setGeometry(
        QRect(QPoint(kWidth - kMargin - 2 * kButtonSize.width() - 12, kButtonsTop), kButtonSize));
    QPointer<PVMainViewController> self(this);
    cancelButton_->setAction([self](PVButton*) {
        if (self != nullptr) {
            self->cancelButtonAction();
        }
    });
    okButton_->setAction([self](PVButton*) {
        if (self != nullptr) {
            self->okButtonAction();
        }
    });
}

void PVMainViewController::showEvent(QShowEvent* event)
{
    PVViewController::showEvent(event);
    observeNotifications();
    watchReceiverAccess();
}

void PVMainViewController::watchReceiverAccess()
{
    if (watchingAccess_) {
        return;
    }
    watchingAccess_ = true;
    checkReceiverAccess();
}

// The reader learns of a refused receiver on its own thread and reports it as
// absent, which changes nothing the event handler posts: the page asks.
void PVMainViewController::checkReceiverAccess()
{
    if (emptyViewController_ == nullptr || !isVisible() || emptyViewContainer_->isHidden()) {
        watchingAccess_ = false;
        return;
    }
    emptyViewController_->setReceiverAccessDenied(model_.receiverAccessDenied());
    PVMainQueue::afterMilliseconds(kReceiverAccessCheckMs, [self = QPointer<PVMainViewController>(this)] {
        if (self != nullptr) {
            self->checkReceiverAccess();
        }
    });
}

void PVMainViewController::observeNotifications()
{
    if (observing_) {
        return;
    }
    observing_ = true;
    PVNotificationCenter& center = PVNotificationCenter::defaultCenter();
    center.addObserver(this, kPVWindowWillCloseNotification, [this](const PVNotification&) {
        model_.syncronizedDeviceDictWithPropertiesAndUpdate();
    });
    center.addObserver(this, kPVNotificationNameChangeTab, [this](const PVNotification& notification) {
        // A missing or non-numeric index reads as 0.
        bool isNumber = false;
        const qint64 value =
            notification.userInfo.value(kPVNotificationUserInfoChangeTabIndex).toLongLong(&isNumber);
        const quint64 index = isNumber ? static_cast<quint64>(value) : 0;
        if (index != kNotFound) {
            checkDirtyAndShowAlertWhenNeedChangeTab(tabStackView_->selection(), index);
        }
    });
    center.addObserver(this, kPVDongleNotificationNameInsert,
                       [this](const PVNotification&) { dongleInset(model_.dongleInsert()); });
}

void PVMainViewController::checkDirtyAndShowAlertWhenNeedChangeTab(quint64, quint64 to)
{
    // Edits on the page left stay in effect: no check, no alert.
    if (to != kNotFound) {
        setupSelection(to);
    }
}

void PVMainViewController::setupSelection(quint64 index)
{
    tabStackView_->setSelection(index);
    for (int i = 0; i < kTabCount; ++i) {
        pageContainers_[i]->setHidden(index != static_cast<quint64>(i));
    }
}

void PVMainViewController::dongleInset(bool inserted)
{
    emptyViewContainer_->setHidden(inserted);
    presenterIcon_->setVisible(inserted);
    if (!inserted) {
        watchReceiverAccess();
    }
}

void PVMainViewController::okButtonAction()
{
    DXLogDebug("OK Button");
    window()->close();
}

void PVMainViewController::cancelButtonAction()
{
    DXLogDebug("Cancel Button");
    model_.resetPointerStylePageByDeviceDict();
    model_.resetButtonSettingPageByDeviceDict();
    // Blackout and slide show use no motion: the receiver sends buttons only.
    setButtonOnlyModeForButtonMode(model_.buttonSetting());
    window()->close();
}
