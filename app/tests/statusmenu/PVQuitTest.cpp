#include "DelegateFixture.h"

#include "platform/QuitOnSignal.h"
#include "support/AlertAnswer.h"
#include "tutorial/PVTutorialWindow.h"
#include "tutorial/PVTutorialWindowController.h"
#include "ui/alert/PVAlertViewController.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <csignal>

namespace {

using Quit = DelegateTest;

constexpr int kNo = 1;  // button 1 of the yes/no alert
constexpr int kYes = 2; // button 2

TEST_F(Quit, TheQuestionAnsweredNoLeavesEverythingRunningAndYesStoresAndEndsWithZero)
{
    launch();
    openSettings();
    app.settingDevice().buttonSetting.set(3);
    ASSERT_EQ(app.storedGeneral().value("button_setting").toULongLong(), 0u);

    for (const int answer : {kNo, kYes}) {
        SCOPED_TRACE(answer);
        // The quit item runs inside the application's event loop, which the
        // answer YES ends; a loop left running is ended by the test's own
        // code 7.
        QTimer::singleShot(0, [this] {
            delegate.quitMenuItem()->trigger();
            QTimer::singleShot(100, [] { QApplication::exit(7); });
        });
        // Two windows run: the settings window and the alert over it.
        pressWhenShown(2, answer, [](PVAlertViewController* alert) {
            EXPECT_EQ(alert->titleTextField()->text(), QStringLiteral("Quit"));
            EXPECT_EQ(alert->textField()->text(), localized("Do you really want to quit?"));
        });
        const int status = QApplication::exec();
        if (answer == kNo) {
            EXPECT_EQ(status, 7);
            EXPECT_TRUE(settingsWindow()->isVisible());
            EXPECT_EQ(app.storedGeneral().value("button_setting").toULongLong(), 0u);
            EXPECT_TRUE(reachability.isMonitoring());
            timers.advance(1.0);
        } else {
            EXPECT_EQ(status, 0);
            EXPECT_FALSE(settingsWindow()->isVisible());
            EXPECT_EQ(app.storedGeneral().value("button_setting").toULongLong(), 3u);
        }
    }
}

// The tutorial and the settings window both close, whichever is in front.
TEST_F(Quit, TerminatingClosesEveryWindow)
{
    launch();
    openSettings();
    delegate.popTutorialNotificationAction();
    ASSERT_TRUE(QTest::qWaitForWindowActive(delegate.tutorialWindowController()->window()));
    QTimer::singleShot(0, [this] { delegate.terminate(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(settingsWindow()->isVisible());
    EXPECT_EQ(delegate.tutorialWindowController(), nullptr);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
    }
}

// A logout sends SIGTERM: no question, but the windows close first so the
// settings are stored, and the program ends with 0.
TEST_F(Quit, SigtermClosesTheWindowsWithoutAskingAndStoresTheSettings)
{
    launch(false);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settingsWindow()));
    app.settingDevice().buttonSetting.set(4);
    QuitOnSignal signalWatch;
    ASSERT_TRUE(signalWatch.install());
    delegate.closeWindowsOnSignals(signalWatch);

    bool timedOut = false;
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    QTimer::singleShot(10'000, [&timedOut] {
        timedOut = true;
        QApplication::exit(1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(PVAlertViewController::currentAlert(), nullptr);
    EXPECT_FALSE(settingsWindow()->isVisible());
    EXPECT_EQ(app.storedGeneral().value("button_setting").toULongLong(), 4u);
}

} // namespace
