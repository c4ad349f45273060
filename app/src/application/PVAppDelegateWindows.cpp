// The delegate's status menu, settings and tutorial windows, quitting and
// periodic version check.

#include "application/PVAppDelegate.h"

#include "localisation/PVLocalizedStringManager.h"
#include "log/DXLog.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVScheduledTimer.h"
#include "platform/PVSystemTray.h"
#include "platform/QuitOnSignal.h"
#include "tutorial/PVTutorialWindow.h"
#include "tutorial/PVTutorialWindowController.h"
#include "ui/alert/PVAlertViewController.h"
#include "ui/window/PVMainViewModelAdapter.h"
#include "ui/window/PVMainWindowController.h"
#include "ui/window/PVWindow.h"
#include "update/PVNetworkAPI.h"
#include "update/PVReachabilityMonitor.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {

QString localized(const QString& key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(key);
}

} // namespace

void PVAppDelegate::awakeFromNib()
{
    if (statusMenu_ != nullptr) {
        return;
    }
    if (receiver_ == nullptr) {
        receiver_ = std::make_unique<QObject>();
        // The shared delegate outlives the application object: its menu and
        // windows go while the event loop ends, not after.
        if (this == &shareInstance() && QCoreApplication::instance() != nullptr) {
            QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, receiver_.get(),
                             [this] { releaseWindows(); });
        }
    }
    statusMenu_ = std::make_unique<QMenu>();
    openMenuItem_ = statusMenu_->addAction(localized(QStringLiteral("Setting")));
    QObject::connect(openMenuItem_, &QAction::triggered, receiver_.get(), [this] { openAction(); });
    statusMenu_->addSeparator();
    // The quit key's text is looked up twice: a text that is itself a key
    // (or an unknown key, returned as it is) ends up translated either way.
    quitMenuItem_ = statusMenu_->addAction(localized(localized(QStringLiteral("PV032"))));
    quitMenuItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QObject::connect(quitMenuItem_, &QAction::triggered, receiver_.get(), [this] { quitAction(); });

    if (!PVSystemTray::isAvailable()) {
        return;
    }
    statusItem_ = std::make_unique<QSystemTrayIcon>(QIcon(QStringLiteral(":/images/quorrin.png")));
    statusItem_->setContextMenu(statusMenu_.get());
    // A click on the icon opens the menu too, not only the context click.
    QObject::connect(statusItem_.get(), &QSystemTrayIcon::activated, receiver_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger && statusMenu_ != nullptr) {
                             statusMenu_->popup(QCursor::pos());
                         }
                     });
    statusItem_->show();
}

void PVAppDelegate::finishLaunching(PVMainViewModel* model)
{
    awakeFromNib();
    if (model == nullptr) {
        ownModel_ = std::make_unique<PVMainViewModelAdapter>();
        model = ownModel_.get();
    }
    mainWindowController_ = std::make_unique<PVMainWindowController>(*model);

    PVReachabilityMonitor& reachability = PVReachabilityMonitor::sharedManager();
    QObject::connect(&reachability, &PVReachabilityMonitor::reachabilityChanged, receiver_.get(),
                     [this] { reachabilityChangedNotificationAction(); });
    reachability.startMonitoring();

    PVNotificationCenter& center = PVNotificationCenter::defaultCenter();
    center.addObserver(receiver_.get(), kPVUINotificationNamePopTutorial,
                       [this](const PVNotification&) { popTutorialNotificationAction(); });
    center.addObserver(receiver_.get(), kPVWindowWillCloseNotification,
                       [this](const PVNotification& notification) { windowWillCloseNotificationAction(notification); });

    if (statusItem_ == nullptr) {
        showMainWindow();
    }
}

void PVAppDelegate::closeWindowsOnSignals(QuitOnSignal& watcher)
{
    awakeFromNib();
    // The watcher ends the event loop right after this.
    QObject::connect(&watcher, &QuitOnSignal::received, receiver_.get(), [] { closeAllWindows(); });
}

bool PVAppDelegate::applicationShouldHandleReopen(bool)
{
    showMainWindow();
    PVNotificationCenter::defaultCenter().post(kPVDongleNotificationNameWindowOpen);
    return true;
}

void PVAppDelegate::showMainWindow()
{
    if (mainWindowController_ != nullptr) {
        mainWindowController_->showWindow();
    }
}

void PVAppDelegate::openAction()
{
    showMainWindow();
    if (!upgradeAvailable()) {
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (lastAskedDate.has_value() && lastAskedDate->secsTo(now) < static_cast<qint64>(kRetryCheckInterval)) {
        return;
    }
    lastAskedDate = now;
    PVNotificationCenter::defaultCenter().post(kPVNotificationNameChangeTab, nullptr,
                                               {{kPVNotificationUserInfoChangeTabIndex, kHelpTabIndex}});
}

void PVAppDelegate::quitAction()
{
    const QPointer<QObject> alive = receiver_.get();
    PVAlertViewController::showWithYesNoButtonAlertTitle(
        localized(QStringLiteral("PV032")), localized(QStringLiteral("Do you really want to quit?")),
        [this, alive](PVAlertViewController*, bool yes) {
            if (yes && alive != nullptr) {
                terminate();
            }
        });
}

void PVAppDelegate::terminate()
{
    closeAllWindows();
    QCoreApplication::exit(0);
}

void PVAppDelegate::closeAllWindows()
{
    // Each window is asked once; one that refuses (an alert ending) stays,
    // and the others close all the same.
    QList<QPointer<QWidget>> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowType() != Qt::Desktop) {
            windows.append(widget);
        }
    }
    for (const QPointer<QWidget>& window : windows) {
        if (window != nullptr && window->isVisible()) {
            window->close();
        }
    }
}

void PVAppDelegate::checkVersion()
{
    if (upgradeAvailable()) {
        if (retryCheckTimer != nullptr) {
            retryCheckTimer->invalidate();
        }
        retryCheckTimer.reset();
        return;
    }
    const QPointer<QObject> alive = receiver_.get();
    auto completion = [this, alive](const QString& version, const QString& path) {
        if (alive == nullptr) {
            return;
        }
        onlineVersion = version.isEmpty() ? std::nullopt : std::optional<QString>(version);
        downloadPath = path;
        lastCheckVerDate = QDateTime::currentDateTimeUtc();
        if (retryCheckTimer != nullptr) {
            retryCheckTimer->invalidate();
        }
        retryCheckTimer.reset();
        if (!upgradeAvailable()) {
            retryCheckTimer = PVScheduledTimer::scheduledTimer(kRetryCheckInterval, [this, alive](PVScheduledTimer&) {
                if (alive != nullptr) {
                    timerAction();
                }
            });
        }
    };
    if (PVReachabilityMonitor::sharedManager().isReachable()) {
        PVNetworkAPI::sharedInstance().checkVersionCompleteBlock(
            [completion](const QString& version, const QString& path, const QString&) { completion(version, path); });
    } else {
        completion(QString(), QString());
    }
}

void PVAppDelegate::timerAction()
{
    DXLogDebug("Check version Timer fired");
    checkVersion();
}

void PVAppDelegate::reachabilityChangedNotificationAction()
{
    // Only the first report after launch starts a check; the timer does the
    // rest.
    QObject::disconnect(&PVReachabilityMonitor::sharedManager(), &PVReachabilityMonitor::reachabilityChanged,
                        receiver_.get(), nullptr);
    checkVersion();
}

void PVAppDelegate::popTutorialNotificationAction()
{
    DXLogDebug("Tutorial");
    if (tutorialWindowController_ == nullptr) {
        tutorialWindowController_ = new PVTutorialWindowController(receiver_.get());
    }
    tutorialWindowController_->showWindow();
}

void PVAppDelegate::windowWillCloseNotificationAction(const PVNotification& notification)
{
    if (tutorialWindowController_ != nullptr && notification.object == tutorialWindowController_->window()) {
        // The controller goes once the closing is over: the window is still
        // in the middle of it.
        tutorialWindowController_->deleteLater();
        tutorialWindowController_.clear();
    }
}

PVTutorialWindowController* PVAppDelegate::tutorialWindowController() const
{
    return tutorialWindowController_;
}

void PVAppDelegate::releaseWindows()
{
    if (receiver_ != nullptr) {
        PVNotificationCenter::defaultCenter().removeObserver(receiver_.get());
    }
    if (retryCheckTimer != nullptr) {
        retryCheckTimer->invalidate();
    }
    retryCheckTimer.reset();
    statusItem_.reset();
    openMenuItem_ = nullptr;
    quitMenuItem_ = nullptr;
    statusMenu_.reset();
    mainWindowController_.reset();
    ownModel_.reset();
    // The tutorial's controller is the receiver's child and goes with it.
    receiver_.reset();
}
