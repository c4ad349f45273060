#include "SettingsWindowFixture.h"
#include "device/presenterState.h"
#include "localisation/PVLocalizedStringManager.h"
#include "support/LogCapture.h"
#include "support/WidgetShots.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVOptionButton.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/pages/PVButtonSettingViewController.h"

#include <QLabel>
#include <QObject>

namespace {

class ButtonSettingPage : public SettingsWindow
{
  protected:
    void SetUp() override
    {
        SettingsWindow::SetUp();
        page = qobject_cast<PVButtonSettingViewController*>(main->viewControllers()[0]);
        ASSERT_NE(page, nullptr);
        // What the button-mode actions hear: every set of the mode.
        app.settingDevice().buttonSetting.startObserving(
            &runtime, [this](quint64, quint64 mode) { modesHeard.push_back(mode); }, false);
    }

    std::vector<bool> optionsSelected() const
    {
        std::vector<bool> selected;
        for (PVOptionButton* option : page->optionButtons()) {
            selected.push_back(option->selected());
        }
        return selected;
    }
    static std::vector<bool> only(quint64 mode)
    {
        std::vector<bool> selected(PVButtonSettingViewController::kModeCount, false);
        if (mode < selected.size()) {
            selected[mode] = true;
        }
        return selected;
    }

    PVButtonSettingViewController* page = nullptr;
    QObject runtime;
    std::vector<quint64> modesHeard;
};

TEST_F(ButtonSettingPage, OptionsCarryTheirModeAndTextAndTheStoredModeShowsAtFirst)
{
    open();
    const char* keys[] = {"PV002", "PV003", "PV052", "PV046", "PV045"};
    ASSERT_EQ(page->optionButtons().size(), 5);
    for (int mode = 0; mode < 5; ++mode) {
        PVOptionButton* option = page->optionButtons()[mode];
        EXPECT_EQ(option->tagInteger(), quint64(mode));
        EXPECT_EQ(option->parentWidget(), page->settingButtonContainer());
        EXPECT_EQ(option->label()->text(),
                  PVLocalizedStringManager::sharedInstance().localizedStringAtKey(keys[mode]));
    }
    EXPECT_EQ(optionsSelected(), only(0));
    EXPECT_EQ(buttonOnlyMode.load(), 1);

    // The chosen option's mark is a blue dot, the others' an empty ring.
    const QImage shot = grabWidget(controller->window(), "button-setting-page");
    const auto markCentre = [&](int mode) {
        PVImageView* mark = page->optionButtons()[mode]->imageView();
        return shot.pixelColor(mark->mapTo(controller->window(), mark->rect().center()));
    };
    EXPECT_TRUE(sameColor(markCentre(0), themeBlueColor(), 10)) << describe(markCentre(0));
    for (int mode = 1; mode < 5; ++mode) {
        EXPECT_EQ(markCentre(mode), QColor(Qt::white)) << mode;
    }
}

TEST_F(ButtonSettingPage, ChoosingAModeWritesItAtOnceAndSetsButtonsOnlyForBlackoutAndSlideShow)
{
    open();
    const struct
    {
        quint64 mode;
        uint8_t buttonsOnly;
    } cases[] = {{2, 0}, {1, 1}, {3, 0}, {0, 1}, {4, 0}};
    std::vector<quint64> expectedHeard;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        click(page->optionButtons()[c.mode]);
        expectedHeard.push_back(c.mode);
        EXPECT_EQ(app.settingDevice().buttonSetting.value(), c.mode);
        EXPECT_EQ(modesHeard, expectedHeard);
        EXPECT_EQ(buttonOnlyMode.load(), c.buttonsOnly);
        EXPECT_EQ(optionsSelected(), only(c.mode));
        EXPECT_EQ(page->buttonMode(), c.mode);
    }
    // The file changes when the window closes, not before.
    EXPECT_EQ(app.storedGeneral().value("button_setting").toULongLong(), 0u);
    click(main->okButton());
    EXPECT_EQ(app.storedGeneral().value("button_setting").toULongLong(), 4u);
}

TEST_F(ButtonSettingPage, ChoosingTheSelectedModeAgainWritesTheSameValueAndChangesNothingVisible)
{
    open();
    click(page->optionButtons()[3]);
    QTest::mouseMove(main->okButton(), QPoint(1, 1));
    const QImage before = settledShot(controller->window());
    modesHeard.clear();
    click(page->optionButtons()[3]);
    QTest::mouseMove(main->okButton(), QPoint(1, 1));
    EXPECT_EQ(modesHeard, (std::vector<quint64>{3}));
    EXPECT_EQ(settledShot(controller->window()), before);
}

TEST_F(ButtonSettingPage, AStoredModeOutsideTheFiveSelectsNoOptionAndClearsButtonsOnly)
{
    buttonOnlyMode.store(1);
    app.settingDevice().buttonSetting.set(7);
    open();
    EXPECT_EQ(optionsSelected(), only(7));
    EXPECT_EQ(buttonOnlyMode.load(), 0);
    EXPECT_EQ(page->buttonMode(), 7u);
}

TEST_F(ButtonSettingPage, ShowingThePageAgainMarksAModeChangedElsewhere)
{
    open();
    clickTab(2);
    app.settingDevice().buttonSetting.set(1);
    EXPECT_EQ(optionsSelected(), only(0)) << "the hidden page does not follow";
    clickTab(0);
    EXPECT_EQ(optionsSelected(), only(1));
    EXPECT_EQ(buttonOnlyMode.load(), 1);

    // Cancel puts the stored mode back; the page shows it when the window
    // opens again.
    click(page->optionButtons()[4]);
    click(main->cancelButton());
    EXPECT_EQ(buttonOnlyMode.load(), 1);
    open();
    EXPECT_EQ(optionsSelected(), only(0));
}

TEST_F(ButtonSettingPage, ThePointerStylesShortcutSwitchesToTheSecondTab)
{
    open();
    LogCapture log;
    click(page->pointerStyleButton());
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "Pointer Styles"));
    EXPECT_EQ(pagesShown(), (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(main->tabStackView()->selection(), 1u);
}

TEST_F(ButtonSettingPage, TheTutorialShortcutAsksForTheTutorialWithNothingAttached)
{
    open();
    std::vector<PVNotification> posted;
    QObject statusMenu;
    PVNotificationCenter::defaultCenter().addObserver(
        &statusMenu, kPVUINotificationNamePopTutorial,
        [&](const PVNotification& notification) { posted.push_back(notification); });
    click(page->tutorialButton());
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].object, nullptr);
    EXPECT_TRUE(posted[0].userInfo.isEmpty());
    EXPECT_EQ(pagesShown(), (std::vector<bool>{true, false, false, false}));
}

} // namespace
