#include "SettingsWindowFixture.h"
#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVNotFound.h"
#include "support/WidgetShots.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVPresenterIcon.h"
#include "ui/pages/PVBatteryImages.h"
#include "ui/pages/PVPresenterList.h"
#include "ui/pages/PVToolManagerViewController.h"

#include <QLabel>

namespace {

QString localized(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(key);
}

// The tool manager tab shown, a presenter paired with a known battery level
// and firmware, as the event handler leaves the model before it posts.
class ToolManagerPage : public SettingsWindow
{
  protected:
    void SetUp() override
    {
        SettingsWindow::SetUp();
        page = qobject_cast<PVToolManagerViewController*>(main->viewControllers()[2]);
        ASSERT_NE(page, nullptr);
        app.globals.setPairedState(true);
        app.settingDevice().setBattery(80);
        app.settingDevice().setFirmwareVersion(QStringLiteral("1.4.2"));
        open();
        clickTab(2);
        runMainQueue();
    }

    void reportBattery(quint64 level)
    {
        app.settingDevice().setBattery(level);
        post(kPVDongleNotificationNameBattery);
    }
    void reportFirmware(std::optional<QString> version)
    {
        app.settingDevice().setFirmwareVersion(std::move(version));
        post(kPVDongleNotificationNameFirmwareVersion);
    }
    void reportPaired(bool paired)
    {
        app.globals.setPairedState(paired);
        post(kPVDongleNotificationNameHasWaked);
        runMainQueue();
    }
    QColor pixelAt(QWidget* widget, QPoint point) const
    {
        return grabWidget(controller->window()).pixelColor(widget->mapTo(controller->window(), point));
    }

    PVToolManagerViewController* page = nullptr;
};

TEST_F(ToolManagerPage, ShowsThePairedPresenterItsFirmwareAndBattery)
{
    EXPECT_FALSE(page->seconde2Container()->isVisible());
    EXPECT_EQ(page->fwVersionTextField()->text(), localized("PV020") + ": 1.4.2");
    EXPECT_EQ(page->batteryTextField()->text(), localized("PV021") + ": 80%");
    EXPECT_EQ(page->batteryImageName(), "ba75");
    EXPECT_EQ(page->batteryImageView()->image(), batteryImage("ba75"));
    EXPECT_EQ(page->presenterList()->firstIconOpacity(), 1.0);

    const QImage shot = grabWidget(controller->window(), "tool-manager-page");
    PVPresenterIcon* icon = page->presenterList()->icons()[0];
    const QPoint frameTop = icon->mapTo(controller->window(), QPoint(icon->width() / 2, 1));
    EXPECT_TRUE(sameColor(shot.pixelColor(frameTop), themeBlueColor(), 40))
        << describe(shot.pixelColor(frameTop));
}

TEST_F(ToolManagerPage, FiveEqualSquareIconsTwentyApartOnlyTheFirstShown)
{
    const QList<PVPresenterIcon*> icons = page->presenterList()->icons();
    ASSERT_EQ(icons.size(), 5);
    const int side = icons[0]->width();
    EXPECT_GT(side, 20);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(icons[i]->tagInteger(), quint64(i));
        EXPECT_EQ(icons[i]->style(), 1u);
        EXPECT_EQ(icons[i]->geometry(), QRect(i * (side + 20), 0, side, side));
        EXPECT_EQ(icons[i]->isVisible(), i == 0);
    }
    // The row fills the list's width, up to the rounding of five sides.
    const int rest = page->presenterList()->viewport()->width() - (icons[4]->geometry().right() + 1);
    EXPECT_GE(rest, 0);
    EXPECT_LT(rest, 5);
    // Reloads keep the same five icons.
    page->loadState();
    EXPECT_EQ(page->presenterList()->icons(), icons);
}

TEST_F(ToolManagerPage, BatteryLevelsPickTheirIconInEighthSteps)
{
    const struct
    {
        quint64 level;
        const char* icon;
    } cases[] = {{12, "ba0"},  {13, "ba25"},  {37, "ba25"},   {38, "ba50"},   {62, "ba50"}, {63, "ba75"},
                 {87, "ba75"}, {88, "ba100"}, {100, "ba100"}, {150, "ba100"}, {0, "ba0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        reportBattery(c.level);
        EXPECT_EQ(page->batteryImageName(), c.icon);
        EXPECT_EQ(page->batteryImageView()->image(), batteryImage(c.icon));
        EXPECT_EQ(page->batteryTextField()->text(), localized("PV021") + QString(": %1%").arg(c.level));
        EXPECT_TRUE(page->batteryImageView()->isVisible());
    }
    grabWidget(controller->window(), "tool-manager-battery-0");
}

TEST_F(ToolManagerPage, TheBatteryIconsDifferInTheirFill)
{
    const QStringList names = {"ba0", "ba25", "ba50", "ba75", "ba100"};
    for (int i = 0; i < names.size(); ++i) {
        const QImage image = batteryImage(names[i]);
        ASSERT_FALSE(image.isNull()) << names[i].toStdString();
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(image, batteryImage(names[j]))
                << names[i].toStdString() << " " << names[j].toStdString();
        }
    }
    EXPECT_TRUE(batteryImage("ba10").isNull());
}

TEST_F(ToolManagerPage, AnEmptyOrMissingFirmwareVersionKeepsTheOneShown)
{
    reportFirmware(QStringLiteral("2.0.1"));
    const QString shown = localized("PV020") + ": 2.0.1";
    EXPECT_EQ(page->fwVersionTextField()->text(), shown);
    for (const std::optional<QString>& version : {std::optional<QString>(""), std::optional<QString>()}) {
        reportFirmware(version);
        EXPECT_EQ(page->fwVersionTextField()->text(), shown);
        EXPECT_EQ(page->fmverstr(), "2.0.1");
    }
}

TEST_F(ToolManagerPage, AnUnknownBatteryLevelCoversTheDetailsWithTheMessage)
{
    reportBattery(PVNotFound);
    EXPECT_TRUE(page->seconde2Container()->isVisible());
    EXPECT_EQ(page->containerMessageLabel()->text(), localized("PV044"));
    // The details under it keep what they showed.
    EXPECT_EQ(page->batteryTextField()->text(), localized("PV021") + ": 80%");

    // Told directly, the level hides the icon and the text.
    page->setBattery(PVNotFound);
    EXPECT_TRUE(page->batteryImageView()->isHidden());
    EXPECT_TRUE(page->batteryTextField()->isHidden());
    reportBattery(40);
    EXPECT_FALSE(page->seconde2Container()->isVisible());
    EXPECT_TRUE(page->batteryImageView()->isVisible());
    EXPECT_EQ(page->batteryImageName(), "ba50");
}

TEST_F(ToolManagerPage, APresenterThatUnpairsWhileShownIsCoveredAndItsIconFades)
{
    PVPresenterIcon* icon = page->presenterList()->icons()[0];
    const QPoint frameTop(icon->width() / 2, 1);
    EXPECT_TRUE(sameColor(pixelAt(icon, frameTop), themeBlueColor(), 40));

    reportPaired(false);
    EXPECT_TRUE(page->seconde2Container()->isVisible());
    EXPECT_EQ(page->containerMessageLabel()->text(), localized("PV044"));
    EXPECT_EQ(page->presenterList()->firstIconOpacity(), 0.0);
    EXPECT_TRUE(icon->isVisible()) << "the icon keeps its place";
    EXPECT_EQ(pixelAt(icon, frameTop), QColor(Qt::white));
    grabWidget(controller->window(), "tool-manager-unpaired");

    reportPaired(true);
    EXPECT_FALSE(page->seconde2Container()->isVisible());
    EXPECT_EQ(page->presenterList()->firstIconOpacity(), 1.0);
}

TEST_F(ToolManagerPage, LeavingTheTabAndComingBackShowsWhatWasStoredMeanwhile)
{
    clickTab(0);
    reportBattery(30);
    reportFirmware(QStringLiteral("1.5.0"));
    EXPECT_EQ(page->batteryTextField()->text(), localized("PV021") + ": 80%") << "not observed while away";
    clickTab(2);
    EXPECT_EQ(page->batteryTextField()->text(), localized("PV021") + ": 30%");
    EXPECT_EQ(page->batteryImageName(), "ba25");
    EXPECT_EQ(page->fwVersionTextField()->text(), localized("PV020") + ": 1.5.0");
}

} // namespace
