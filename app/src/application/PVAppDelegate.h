#pragma once

// The application's delegate: starts the presenter runtime at launch and
// keeps what the whole program shares about it, such as the result of the
// last look for a newer version. Main thread only.
//
// It also owns the status menu (in the tray, where the desktop has one), the
// settings and tutorial windows, the question before quitting, and the
// version check that runs after the first reachability report and every 24
// days while no upgrade is known.

#include "application/PVLaunchParts.h"
#include "device/hidCallback.h"
#include "runtime/PVMotionNoiseFilter.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QObject;
class QSystemTrayIcon;
class PVMainViewModel;
class PVMainWindowController;
class PVScheduledTimer;
class PVTutorialWindowController;
class QuitOnSignal;
struct PVNotification;

class PVAppDelegate
{
  public:
    /// The program's delegate, created on first use.
    static PVAppDelegate& shareInstance();

    /// A delegate that launches the program's own parts.
    PVAppDelegate();
    /// A delegate that launches `parts` (tests, benches).
    explicit PVAppDelegate(PVLaunchParts parts);
    ~PVAppDelegate();
    PVAppDelegate(const PVAppDelegate&) = delete;
    PVAppDelegate& operator=(const PVAppDelegate&) = delete;

    // ---- Launch of the presenter runtime and routing of presenter events ----

    /// What the launch starts; the program sets the HID backend here before
    /// launching.
    PVLaunchParts launchParts = PVLaunchParts::application();

    /// The launch, once the application object exists: the presenter
    /// runtime first (launchPresenterRuntime), then the steps that open the
    /// windows (finishLaunching).
    void applicationDidFinishLaunching();

    /// Starts the presenter runtime: the launch steps below, in this order.
    void launchPresenterRuntime();
    /// 1. The run-time facts (they start watching the screens).
    void createGlobalObjectManager();
    /// 2. "profile path <document folder>" (Debug).
    void logProfilePath();
    /// 3. The engine's calibration folder: the document folder's "dcd".
    void setCalibrationFolder();
    /// 4. buttonOnlyMode from the stored button mode (blackout, slide show).
    void setButtonOnlyModeFromSettings();
    /// 5. Eight (0, 0) recent movements for the noise filter.
    void clearRecentMovements();
    /// 6. The event callback of the worker threads (hidcallback).
    void installEventCallback();
    /// 7. The button-mode actions start observing.
    void startObservingSettings();
    /// 8. Asks the second presentation program's version once ("" when
    ///    none comes) and keeps it in the run-time facts.
    void askPresentationProgramVersion();
    /// 9. The reader and motion threads.
    void startWorkerThreads();

    /// The callback installed at launch: it copies each event and queues
    /// its handling on the main thread. It holds the delegate weakly: once
    /// the delegate is gone, events still reach the device event handler
    /// but no movement is handed on.
    const HidCallback& hidcallback() const { return hidcallback_; }

    /// One event's movement through the noise filter (on the main thread,
    /// after the handler has had the event's other values): handed on to
    /// the device event handler as pointer-overlay or mouse movement.
    void filterMovement(const PresenterEvent& event);

    /// The filter's state: recentDiffer, preventCount, lastUsed.
    PVMotionNoiseFilter& motionFilter() { return motionFilter_; }
    const PVMotionNoiseFilter& motionFilter() const { return motionFilter_; }

    /// The newest version the update server announced at the last check;
    /// absent when the check found none (or could not ask).
    std::optional<QString> onlineVersion;
    /// Where that version's installer is downloaded from.
    QString downloadPath;
    /// The running program's version ("1.2.3").
    QString localVersion = QStringLiteral(PELVARO_VERSION);

    /// Whether onlineVersion is newer than localVersion.
    bool upgradeAvailable() const;

    /// Compares dotted versions component by component as numbers ("1.10"
    /// is newer than "1.9"). A component missing from the shorter version
    /// counts as 0, so "1.2" and "1.2.0" are the same version. Each
    /// component is read by its leading digits; one without any counts as 0.
    static bool isNewerVersion(const QString& online, const QString& local);

    // The status menu, the windows, quitting and the periodic version check.

    /// Time between two version checks while no upgrade is known, and the
    /// least time between two sendings of the user to the help page for an
    /// upgrade: 24 days.
    static constexpr double kRetryCheckInterval = 2'073'600.0; // s
    /// The settings window's help tab.
    static constexpr int kHelpTabIndex = 3;

    /// Builds the status menu ("Setting", a separator, the quit item with
    /// Ctrl+Q) and, where the desktop has a tray, the status item that
    /// carries it.
    void awakeFromNib();
    /// The launch steps that follow the start of the runtime: the settings
    /// window's controller over `model` (the application's own when null; a
    /// given model outlives the delegate), the watch for the first
    /// reachability report, for tutorial requests and for closing windows.
    /// Without a status item the settings window shows at once, since
    /// nothing else could open it.
    void finishLaunching(PVMainViewModel* model = nullptr);
    /// Closes the windows first (so the settings are stored) whenever a
    /// signal ends the program.
    void closeWindowsOnSignals(QuitOnSignal& watcher);

    /// The application was started again: the settings window comes to the
    /// front and kPVDongleNotificationNameWindowOpen goes out. Always YES.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    /// "Setting": the settings window to the front, turned to the help tab
    /// when an upgrade is known and the user was not sent there in the last
    /// 24 days.
    void openAction();
    /// The quit item: asks, and on YES terminates.
    void quitAction();
    /// Closes every window of the application (the settings are stored as
    /// the settings window closes) and ends the event loop with status 0.
    void terminate();
    /// Closes every shown window of the application.
    static void closeAllWindows();

    void checkVersion();
    void timerAction();
    void reachabilityChangedNotificationAction();
    void popTutorialNotificationAction();
    void windowWillCloseNotificationAction(const PVNotification& notification);

    QMenu* statusMenu() const { return statusMenu_.get(); }
    /// The menu's "Setting" and quit items.
    QAction* openMenuItem() const { return openMenuItem_; }
    QAction* quitMenuItem() const { return quitMenuItem_; }
    /// The tray icon, null on a desktop without a tray.
    QSystemTrayIcon* statusItem() const { return statusItem_.get(); }
    PVMainWindowController* mainWindowController() const { return mainWindowController_.get(); }
    /// Set while the tutorial window exists.
    PVTutorialWindowController* tutorialWindowController() const;

    /// When the last version check completed.
    std::optional<QDateTime> lastCheckVerDate;
    /// The next version check, while no upgrade is known.
    std::shared_ptr<PVScheduledTimer> retryCheckTimer;
    /// When the user was last sent to the help page for an upgrade.
    std::optional<QDateTime> lastAskedDate;

  private:
    void showMainWindow();
    /// Lets go of the menu, the windows and every watch, while the
    /// application still runs (the shared delegate outlives it).
    void releaseWindows();

    // Context of every connection and observer registration; gone with the
    // delegate, so late callbacks find nothing.
    std::unique_ptr<QObject> receiver_;
    std::unique_ptr<QMenu> statusMenu_;
    QAction* openMenuItem_ = nullptr;
    QAction* quitMenuItem_ = nullptr;
    std::unique_ptr<QSystemTrayIcon> statusItem_;
    std::unique_ptr<PVMainViewModel> ownModel_;
    std::unique_ptr<PVMainWindowController> mainWindowController_;
    QPointer<PVTutorialWindowController> tutorialWindowController_;

    // State of the launch and the event routing.
    PVGlobalObjectManager* globals_ = nullptr;
    PVHIDEventHandler* eventHandler_ = nullptr;
    HidCallback hidcallback_;
    PVMotionNoiseFilter motionFilter_;
    /// Queued event handling holds it weakly, to tell whether the delegate
    /// still exists.
    std::shared_ptr<char> life_ = std::make_shared<char>();
};
