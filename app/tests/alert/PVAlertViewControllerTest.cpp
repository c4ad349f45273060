#include "ui/alert/PVAlertViewController.h"
#include "localisation/PVLocalizedStringManager.h"
#include "support/AlertAnswer.h"
#include "support/LogCapture.h"
#include "support/SteppedTimers.h"
#include "support/WidgetShots.h"
#include "ui/alert/PVAlertButton.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/window/PVWindow.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString text(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(key);
}

class Alert : public ::testing::Test
{
  protected:
    SteppedTimers timers;
};

TEST_F(Alert, YesNoFormAnswersYesForYesAndNoForNo)
{
    for (const auto& [button, expected] : {std::pair{2, true}, std::pair{1, false}}) {
        std::vector<bool> answers;
        pressWhenShown(1, button, [](PVAlertViewController* alert) {
            EXPECT_EQ(alert->button1()->label()->text(), text("PV030"));
            EXPECT_EQ(alert->button2()->label()->text(), text("PV029"));
            EXPECT_TRUE(alert->isShown());
        });
        auto alert = PVAlertViewController::showWithYesNoButtonAlertTitle(
            "Quit", "Do you really want to quit?",
            [&](PVAlertViewController*, bool yes) { answers.push_back(yes); });
        EXPECT_EQ(answers, std::vector<bool>{expected}) << "button " << button;
        EXPECT_FALSE(alert->isShown());
        EXPECT_EQ(alert->alertWindow(), nullptr);
    }
}

TEST_F(Alert, TheTwoButtonFormAnswersYesForItsFirstButton)
{
    std::vector<bool> answers;
    LogCapture log;
    pressWhenShown(1, 1);
    PVAlertViewController::showAlertTitle("T", "M", "PV012", "PV013",
                                          [&](PVAlertViewController*, bool yes) { answers.push_back(yes); });
    EXPECT_EQ(answers, std::vector<bool>{true});
    EXPECT_TRUE(log.contains(DXLogLevelAlert, "button1 click"));
}

TEST_F(Alert, OkFormWithoutABlockClosesAndCallsNothing)
{
    pressWhenShown(1, 1, [](PVAlertViewController* alert) {
        EXPECT_FALSE(alert->showSecondButton());
        EXPECT_FALSE(alert->button2()->isVisible());
        EXPECT_EQ(alert->button1()->label()->text(), text("PV014")) << "given PV029, shows OK";
        const QImage shot = grabWidget(alert->alertWindow(), "alert-ok");
        EXPECT_EQ(shot.pixelColor(alert->alertWindow()->width() / 2, 0), themeWindowBorderColor());
        alert->show(); // already shown: nothing
        EXPECT_TRUE(alert->isShown());
    });
    auto alert =
        PVAlertViewController::showWithOKButtonAlertTitle("Update", "You are using the latest version.", {});
    EXPECT_FALSE(alert->isShown());
}

TEST_F(Alert, AnAnswerMayShowASecondAlertThatEndsFirst)
{
    std::vector<std::string> events;
    pressWhenShown(1, 2);
    auto first = PVAlertViewController::showWithYesNoButtonAlertTitle(
        "First", "One", [&](PVAlertViewController* controller, bool yes) {
            events.push_back(yes ? "first yes" : "first no");
            pressWhenShown(2, 1);
            PVAlertViewController::showWithOKButtonAlertTitle(
                "Second", "Two", [&, controller](PVAlertViewController*, bool) {
                    events.push_back("second answered");
                    EXPECT_TRUE(controller->alertWindow() != nullptr &&
                                controller->alertWindow()->isVisible())
                        << "the first alert is still on screen";
                });
            events.push_back("second returned");
        });
    events.push_back("first returned");
    EXPECT_EQ(events, (std::vector<std::string>{"first yes", "second answered", "second returned",
                                                "first returned"}));
}

TEST_F(Alert, ClosedByTheWindowManagerItEndsWithoutAnAnswer)
{
    std::vector<bool> answers;
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll] {
        PVAlertViewController* alert = PVAlertViewController::currentAlert();
        if (alert == nullptr || alert->alertWindow() == nullptr || !alert->alertWindow()->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        alert->alertWindow()->close(); // what a window manager's close does
    });
    poll->start();
    auto alert = PVAlertViewController::showWithYesNoButtonAlertTitle(
        "Quit", "Do you really want to quit?", [&](PVAlertViewController*, bool yes) { answers.push_back(yes); });
    EXPECT_TRUE(answers.empty()) << "no button was pressed";
    EXPECT_FALSE(alert->isShown());
    EXPECT_EQ(PVAlertViewController::currentAlert(), nullptr);
}

TEST_F(Alert, ALongMessageWrapsInsideTheWidth)
{
    const QString message = QString("A long message that cannot stand on one line. ").repeated(6);
    pressWhenShown(1, 1, [&](PVAlertViewController* alert) {
        EXPECT_EQ(alert->alertWindow()->width(), PVAlertViewController::kWidth);
        EXPECT_LE(alert->textField()->geometry().right(), PVAlertViewController::kWidth);
        EXPECT_GT(alert->textField()->height(), 3 * alert->textField()->fontMetrics().height());
        EXPECT_LE(alert->button1()->geometry().bottom(), alert->height());
        grabWidget(alert->alertWindow(), "alert-long");
    });
    PVAlertViewController::showWithOKButtonAlertTitle("Title", message, {});
}

TEST_F(Alert, BothButtonsStandWhollyInsideTheWindow)
{
    pressWhenShown(1, 1, [&](PVAlertViewController* alert) {
        // A button is cut off where any widget it lies in ends.
        for (QWidget* button : {static_cast<QWidget*>(alert->button1()), static_cast<QWidget*>(alert->button2())}) {
            for (QWidget* inner = button; inner != alert->alertWindow(); inner = inner->parentWidget()) {
                EXPECT_TRUE(inner->parentWidget()->rect().contains(inner->geometry()))
                    << inner->metaObject()->className() << " at " << inner->x() << "," << inner->y() << " "
                    << inner->width() << " wide, in " << inner->parentWidget()->width();
            }
        }
        EXPECT_FALSE(alert->button1()->geometry().intersects(alert->button2()->geometry()));
    });
    PVAlertViewController::showWithYesNoButtonAlertTitle("Reset", "Do you want to reset all pointer settings?", {});
}

TEST_F(Alert, TheWindowUnderTheAlertBecomesActiveAgain)
{
    auto window = activeWindow(QSize(300, 200));
    ASSERT_NE(window, nullptr);
    pressWhenShown(1, 1, [&](PVAlertViewController*) { EXPECT_FALSE(window->isActiveWindow()); });
    PVAlertViewController::showWithOKButtonAlertTitle("T", "M", {});
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

TEST_F(Alert, OverAButtonTheWindowIsNotMovableByItsBackground)
{
    pressWhenShown(1, 1, [](PVAlertViewController* alert) {
        EXPECT_TRUE(alert->alertWindow()->movableByWindowBackground());
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), alert->button1()->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(alert->button1(), &enter);
        EXPECT_FALSE(alert->alertWindow()->movableByWindowBackground());
        const QPoint before = alert->alertWindow()->pos();
        QTest::mousePress(alert->button1(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(alert->button1(), QPoint(60, 40));
        EXPECT_EQ(alert->alertWindow()->pos(), before);
        QTest::mouseRelease(alert->button1(), Qt::LeftButton, {}, QPoint(10, 10));
    });
    PVAlertViewController::showWithOKButtonAlertTitle("T", "M", {});
}

} // namespace
