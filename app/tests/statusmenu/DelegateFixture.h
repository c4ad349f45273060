#pragma once

// A delegate of its own per test, launched over the application's real
// settings model on a fresh folder with a receiver plugged in, the tray's
// presence chosen by the test, a reachability the test sets, the loopback
// update server, and the main queue's timers stepped by the test.

#include "application/PVAppDelegate.h"
#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVSystemTray.h"
#include "platform/PVWindowCloseWatcher.h"
#include "support/ApplicationModel.h"
#include "support/FakeReachability.h"
#include "support/SteppedTimers.h"
#include "ui/window/PVMainViewModelAdapter.h"
#include "ui/window/PVMainWindowController.h"
#include "ui/window/PVWindow.h"
#include "update/UpdateServerFixture.h"

#include <QTest>
#include <functional>
#include <optional>

/// Chooses whether the desktop has a tray while it lives.
class TrayPresence
{
  public:
    explicit TrayPresence(bool available) : before_(PVSystemTray::setAvailable(available)) {}
    ~TrayPresence() { PVSystemTray::setAvailable(before_); }
    TrayPresence(const TrayPresence&) = delete;
    TrayPresence& operator=(const TrayPresence&) = delete;

  private:
    std::optional<bool> before_;
};

/// Counts the posts of one notification while it lives.
class PostCounter
{
  public:
    explicit PostCounter(const QString& name)
    {
        PVNotificationCenter::defaultCenter().addObserver(&observer_, name, [this](const PVNotification& post) {
            ++count;
            last = post;
        });
    }
    int count = 0;
    PVNotification last;

  private:
    QObject observer_;
};

inline QString localized(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(QString::fromLatin1(key));
}

class DelegateTest : public UpdateServerFixture
{
  protected:
    static constexpr const char* kLocalVersion = "1.2.3";

    DelegateTest() { PVWindowCloseWatcher::install(); }

    /// The delegate's menu and launch steps, with or without a tray.
    void launch(bool trayAvailable = true)
    {
        app.globals.setDongleInsert(true);
        tray.emplace(trayAvailable);
        delegate.localVersion = QString::fromLatin1(kLocalVersion);
        delegate.awakeFromNib();
        delegate.finishLaunching(&adapter);
    }

    PVWindow* settingsWindow() { return delegate.mainWindowController()->window(); }

    /// Shows the settings window as the menu does and waits until it is the
    /// active one; its buttons then act at once.
    void openSettings()
    {
        delegate.openAction();
        ASSERT_TRUE(QTest::qWaitForWindowActive(settingsWindow()));
        timers.advance(1.0);
    }

    /// Serves `version` with an installer address.
    void serveVersion(const char* version)
    {
        server.setReply(kVersionPath, TestHttpsServer::Reply::ok(QByteArray("0.9;\"https://host/old.zip\"}\n") +
                                                                 version + ";\"https://host/pelvaro.zip\"}"));
    }

    /// Runs `start` and waits until the version check it starts has
    /// completed.
    void runCheck(const std::function<void()>& start)
    {
        delegate.lastCheckVerDate.reset();
        start();
        EXPECT_TRUE(QTest::qWaitFor([this] { return delegate.lastCheckVerDate.has_value(); }, kWaitMs));
    }

    SteppedTimers timers;
    FakeReachability reachability{PVReachabilityStatus::Unknown};
    ApplicationModel app;
    PVMainViewModelAdapter adapter{app.models, app.globals, app.styles, app.store};
    std::optional<TrayPresence> tray;
    // Last, so it goes first: its windows are over the model above.
    PVAppDelegate delegate;
};
