#include "device/presenterState.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVWindowCloseWatcher.h"
#include "support/ApplicationModel.h"
#include "support/SteppedTimers.h"
#include "support/WidgetShots.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVPresenterIcon.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/window/PVMainViewController.h"
#include "ui/window/PVMainViewModelAdapter.h"
#include "ui/window/PVMainWindowController.h"
#include "ui/window/PVWindow.h"
#include "ui/window/PVWindowButtonContainer.h"
#include "ui/window/PVWindowStandardButton.h"
#include "ui/window/PVWindowTitleView.h"

#include <QObject>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The settings window over the application's model on a fresh settings
// folder; the receiver comes and goes as the event handler reports it.
class MainWindowOverModel : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        PVWindowCloseWatcher::install();
        controller = std::make_unique<PVMainWindowController>(adapter);
        open();
        main = controller->contentViewController();
    }

    void open()
    {
        controller->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        // Buttons act at most every half second.
        timers.advance(1.0);
    }

    void receiverPresent(bool present)
    {
        app.globals.setDongleInsert(present);
        PVNotificationCenter::defaultCenter().post(kPVDongleNotificationNameInsert);
    }

    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5)); }

    SteppedTimers timers;
    ApplicationModel app;
    PVMainViewModelAdapter adapter{app.models, app.globals, app.styles, app.store};
    std::unique_ptr<PVMainWindowController> controller;
    PVMainViewController* main = nullptr;
};

TEST_F(MainWindowOverModel, TheEmptyPageFollowsTheReceiverAsTheEventHandlerReportsIt)
{
    // The window opens before any receiver report: the run-time facts start
    // without a receiver.
    EXPECT_TRUE(main->emptyViewContainer()->isVisible());
    EXPECT_FALSE(main->presenterIcon()->isVisible());
    grabWidget(controller->window(), "window-over-model-no-receiver");

    receiverPresent(true);
    EXPECT_FALSE(main->emptyViewContainer()->isVisible());
    EXPECT_TRUE(main->presenterIcon()->isVisible());
    const QImage shot = grabWidget(controller->window(), "window-over-model-receiver");
    const QRect icon = main->presenterIcon()->geometry();
    EXPECT_TRUE(sameColor(shot.pixelColor(icon.center().x(), icon.top() + 1), themeBlueColor(), 40))
        << describe(shot.pixelColor(icon.center().x(), icon.top() + 1));

    // A change of the fact alone shows nothing until it is reported.
    app.globals.setDongleInsert(false);
    EXPECT_FALSE(main->emptyViewContainer()->isVisible());
    PVNotificationCenter::defaultCenter().post(kPVDongleNotificationNameInsert);
    EXPECT_TRUE(main->emptyViewContainer()->isVisible());
}

TEST_F(MainWindowOverModel, EveryWayOfClosingStoresTheCurrentValues)
{
    const struct
    {
        const char* name;
        std::function<QWidget*(PVMainViewController*)> button;
    } cases[] = {
        {"OK", [](PVMainViewController* m) { return static_cast<QWidget*>(m->okButton()); }},
        {"close", [](PVMainViewController* m) { return m->titleView()->buttonContainer()->closeButton(); }},
        {"minimise",
         [](PVMainViewController* m) { return m->titleView()->buttonContainer()->minimizeButton(); }},
    };
    quint64 mode = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PVDevice& device = app.settingDevice();
        device.buttonSetting.set(mode);
        device.setPointerSpeed(mode);
        device.setPresentDesktop(mode % 3);
        click(c.button(main));
        EXPECT_FALSE(controller->window()->isVisible());
        const QVariantMap stored = app.storedGeneral();
        EXPECT_EQ(stored.value("button_setting").toULongLong(), mode);
        EXPECT_EQ(stored.value("pointer_speed").toULongLong(), mode);
        EXPECT_EQ(stored.value("present_desktop").toULongLong(), mode % 3);
        EXPECT_FALSE(device.isDirty());
        ++mode;
        open();
    }
}

TEST_F(MainWindowOverModel, CancelPutsBackTheStoredSettingsBeforeTheWindowCloses)
{
    PVDevice& device = app.settingDevice();
    ASSERT_EQ(device.buttonSetting.value(), 0u);
    buttonOnlyMode.store(1);
    // What the button-mode actions see: every set of the mode.
    QObject runtime;
    std::vector<quint64> modesSeen;
    device.buttonSetting.startObserving(
        &runtime, [&](quint64, quint64 mode) { modesSeen.push_back(mode); }, false);
    // What the device holds when the window's closing stores it.
    quint64 modeWhenClosing = 99;
    PVNotificationCenter::defaultCenter().addObserver(
        &runtime, kPVWindowWillCloseNotification,
        [&](const PVNotification&) { modeWhenClosing = device.buttonSetting.value(); });

    device.buttonSetting.set(2);
    buttonOnlyMode.store(0);
    device.setPointerSize(2);
    device.setPointerSpeed(4);
    device.setPresentDesktop(0);
    click(main->cancelButton());

    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(modeWhenClosing, 0u);
    EXPECT_EQ(modesSeen, (std::vector<quint64>{2, 0}));
    EXPECT_EQ(buttonOnlyMode.load(), 1);
    EXPECT_EQ(device.pointerSize(), 1u);
    EXPECT_EQ(device.pointerSpeed(), 2u);
    EXPECT_EQ(device.presentDesktop(), 2u);
    const QVariantMap stored = app.storedGeneral();
    EXPECT_EQ(stored.value("button_setting").toULongLong(), 0u);
    EXPECT_EQ(stored.value("pointer_size").toULongLong(), 1u);
    EXPECT_EQ(stored.value("pointer_speed").toULongLong(), 2u);
    EXPECT_EQ(stored.value("present_desktop").toULongLong(), 2u);
}

TEST_F(MainWindowOverModel, TheSettingsDeviceIsAskedForAnewOnEveryCall)
{
    // Another record replaces the settings device: the window stores that one.
    QVariantMap record = PVDevice::defalutDeviceDict();
    record.insert("serial_id", "Replacement");
    auto replacement = std::make_shared<PVDevice>(record, app.store, app.styles);
    app.models.setSettingDevice(replacement);
    replacement->buttonSetting.set(4);
    click(main->okButton());
    const QVariantList stored = PVPlistManager().queryDevices({"Replacement"});
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first().toMap().value("button_setting").toULongLong(), 4u);
    EXPECT_EQ(app.storedGeneral().value("button_setting").toULongLong(), 0u);
}

} // namespace
