#include "DelegateFixture.h"

#include "tutorial/PVTutorialWindow.h"
#include "tutorial/PVTutorialWindowController.h"
#include "ui/window/PVMainViewController.h"
#include "ui/window/PVTabStackView.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>

namespace {

using StatusMenu = DelegateTest;

TEST_F(StatusMenu, HoldsSettingASeparatorAndQuitWithCtrlQ)
{
    launch();
    const QList<QAction*> items = delegate.statusMenu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], delegate.openMenuItem());
    EXPECT_EQ(items[0]->text(), localized("Setting"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("Settings"));
    EXPECT_TRUE(items[0]->shortcut().isEmpty());
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2], delegate.quitMenuItem());
    EXPECT_EQ(items[2]->text(), QStringLiteral("Quit"));
    EXPECT_EQ(items[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
}

TEST_F(StatusMenu, TheTrayCarriesTheMenuWhereThereIsOneAndTheWindowShowsWhereNot)
{
    for (const bool trayAvailable : {true, false}) {
        SCOPED_TRACE(trayAvailable);
        PVAppDelegate own;
        TrayPresence presence(trayAvailable);
        own.awakeFromNib();
        own.finishLaunching(&adapter);
        if (trayAvailable) {
            ASSERT_NE(own.statusItem(), nullptr);
            EXPECT_EQ(own.statusItem()->contextMenu(), own.statusMenu());
            EXPECT_FALSE(own.statusItem()->icon().isNull());
            EXPECT_FALSE(own.mainWindowController()->window()->isVisible());
        } else {
            EXPECT_EQ(own.statusItem(), nullptr);
            EXPECT_TRUE(QTest::qWaitForWindowExposed(own.mainWindowController()->window()));
        }
    }
}

TEST_F(StatusMenu, SettingBringsTheSettingsWindowToTheFront)
{
    launch();
    ASSERT_FALSE(settingsWindow()->isVisible());
    delegate.openMenuItem()->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(settingsWindow()));

    // Under the tutorial, and again in front after the menu item.
    delegate.popTutorialNotificationAction();
    ASSERT_TRUE(QTest::qWaitForWindowActive(delegate.tutorialWindowController()->window()));
    delegate.openMenuItem()->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(settingsWindow()));
}

TEST_F(StatusMenu, AReopenRaisesTheSettingsWindowAndTellsOfIt)
{
    launch();
    PostCounter windowOpen(kPVDongleNotificationNameWindowOpen);
    for (int reopen = 1; reopen <= 2; ++reopen) {
        SCOPED_TRACE(reopen);
        EXPECT_TRUE(delegate.applicationShouldHandleReopen(false));
        EXPECT_TRUE(QTest::qWaitForWindowActive(settingsWindow()));
        EXPECT_EQ(windowOpen.count, reopen);
        EXPECT_EQ(windowOpen.last.object, nullptr);
        EXPECT_TRUE(windowOpen.last.userInfo.isEmpty());
        settingsWindow()->close();
        ASSERT_FALSE(settingsWindow()->isVisible());
    }
}

TEST_F(StatusMenu, TheTutorialOpensOnceAndItsControllerGoesWithItsWindow)
{
    launch();
    EXPECT_EQ(delegate.tutorialWindowController(), nullptr);
    PVNotificationCenter::defaultCenter().post(kPVUINotificationNamePopTutorial);
    const QPointer<PVTutorialWindowController> tutorial = delegate.tutorialWindowController();
    ASSERT_NE(tutorial, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(tutorial->window()));

    // A second request brings the same window back to the front.
    openSettings();
    PVNotificationCenter::defaultCenter().post(kPVUINotificationNamePopTutorial);
    EXPECT_EQ(delegate.tutorialWindowController(), tutorial);
    EXPECT_TRUE(QTest::qWaitForWindowActive(tutorial->window()));

    // Another window's closing leaves it; its own closing lets it go.
    settingsWindow()->close();
    EXPECT_EQ(delegate.tutorialWindowController(), tutorial);
    const QPointer<PVTutorialWindow> window = tutorial->window();
    window->close();
    EXPECT_EQ(delegate.tutorialWindowController(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(tutorial.isNull());
    EXPECT_TRUE(window.isNull());

    // The next request makes a new one.
    PVNotificationCenter::defaultCenter().post(kPVUINotificationNamePopTutorial);
    ASSERT_NE(delegate.tutorialWindowController(), nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(delegate.tutorialWindowController()->window()));
}

TEST_F(StatusMenu, SettingTurnsToTheHelpTabForAKnownUpgradeOnceIn24Days)
{
    launch();
    PVMainViewController* main = delegate.mainWindowController()->contentViewController();
    PostCounter changeTab(kPVNotificationNameChangeTab);
    auto reopenOnTab = [&](quint64 tab) {
        settingsWindow()->close();
        main->setupSelection(tab);
        openSettings();
    };

    // No upgrade known: the window opens where it was.
    delegate.onlineVersion = QStringLiteral("1.2.3");
    reopenOnTab(1);
    EXPECT_EQ(changeTab.count, 0);
    EXPECT_FALSE(delegate.lastAskedDate.has_value());

    delegate.onlineVersion = QStringLiteral("1.3");
    const QDateTime before = QDateTime::currentDateTimeUtc();
    reopenOnTab(1);
    EXPECT_EQ(changeTab.count, 1);
    EXPECT_EQ(changeTab.last.userInfo.value(kPVNotificationUserInfoChangeTabIndex).toInt(), 3);
    EXPECT_EQ(main->tabStackView()->selection(), 3u);
    ASSERT_TRUE(delegate.lastAskedDate.has_value());
    EXPECT_GE(*delegate.lastAskedDate, before);

    // Within 24 days: the window opens where the user left it.
    reopenOnTab(0);
    EXPECT_EQ(changeTab.count, 1);
    EXPECT_EQ(main->tabStackView()->selection(), 0u);
    delegate.lastAskedDate = QDateTime::currentDateTimeUtc().addSecs(-(2'073'600 - 60));
    reopenOnTab(0);
    EXPECT_EQ(changeTab.count, 1);

    // 24 days later the user is sent there again.
    delegate.lastAskedDate = QDateTime::currentDateTimeUtc().addSecs(-2'073'600);
    reopenOnTab(0);
    EXPECT_EQ(changeTab.count, 2);
    EXPECT_EQ(main->tabStackView()->selection(), 3u);
}

} // namespace
