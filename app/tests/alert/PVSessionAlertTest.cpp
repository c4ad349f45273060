#include "ui/alert/PVSessionAlert.h"

#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVSessionEnvironment.h"
#include "platform/X11InputLayer.h"
#include "support/AlertAnswer.h"
#include "support/LogCapture.h"
#include "support/WidgetShots.h"
#include "ui/window/PVWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The Alert line the pointer control logs in `session`.
std::string alertLineIn(const PVSessionEnvironment& session)
{
    LogCapture log;
    const X11InputLayer layer{session};
    for (const DXLogEntry& entry : log.entries()) {
        if (entry.level == DXLogLevelAlert) {
            return entry.text;
        }
    }
    return {};
}

TEST(SessionAlert, AWaylandSessionShowsThePointerControlsAlertLineOnceItsLaunchIsUnderWay)
{
    for (const PVSessionEnvironment& wayland :
         {PVSessionEnvironment{"wayland", false}, PVSessionEnvironment{"x11", true}}) {
        const std::string line = alertLineIn(wayland);
        ASSERT_NE(line.find("Wayland"), std::string::npos) << line;
        int shown = 0;
        pressWhenShown(1, 1, [&](PVAlertViewController* alert) {
            ++shown;
            EXPECT_EQ(alert->titleTextField()->text(),
                      PVLocalizedStringManager::sharedInstance().localizedStringAtKey(kPVSessionAlertTitleKey));
            EXPECT_EQ(alert->textField()->text().toStdString(), line);
            EXPECT_FALSE(alert->showSecondButton());
            grabWidget(alert->alertWindow(), "alert-wayland-session");
        });
        ASSERT_TRUE(PVSessionAlertAtLaunch(wayland));
        EXPECT_EQ(shown, 0) << "queued: the launch goes on first";
        QTRY_COMPARE_WITH_TIMEOUT(shown, 1, 10'000);
        QApplication::processEvents();
        EXPECT_EQ(PVAlertViewController::currentAlert(), nullptr);
    }
}

TEST(SessionAlert, AnX11SessionShowsNothing)
{
    for (const PVSessionEnvironment& x11 : {PVSessionEnvironment{"x11", false}, PVSessionEnvironment{"", false}}) {
        EXPECT_FALSE(PVSessionAlertAtLaunch(x11));
        QApplication::processEvents();
        EXPECT_EQ(PVAlertViewController::currentAlert(), nullptr);
    }
}

} // namespace
