#include "device/dongleReader.h"
#include "device/hidCallback.h"
#include "device/hidDevice.h"
#include "device/hidPacket.h"
#include "device/packetQueue.h"
#include "device/receiverIds.h"
#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVWindowCloseWatcher.h"
#include "support/ApplicationModel.h"
#include "support/FakeHidBackend.h"
#include "support/LogCapture.h"
#include "support/SteppedTimers.h"
#include "support/WidgetShots.h"
#include "ui/window/PVEmptyViewController.h"
#include "ui/window/PVMainViewController.h"
#include "ui/window/PVMainViewModelAdapter.h"
#include "ui/window/PVMainWindowController.h"
#include "ui/window/PVWindow.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

const HidDeviceInfo receiver{"/dev/hidraw3", kReceiverVendorId, kReceiverProductId, 0xFF00, 1};

QString textOf(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(QString::fromLatin1(key));
}

// The receiver's reader on a fake HID backend, whose presence reports reach
// the run-time facts as the event handler would write them, beside the
// settings window over the application's model.
class ReceiverAccess : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(packetQueueInitSync(&queue), 0);
        ASSERT_EQ(packetQueueInit(&queue), 0);
        hidDeviceAttach(&hid, &queue);
        setHidCallback([this](const PresenterEvent& event) { lastInsert = event.dongleInsert; });
        PVWindowCloseWatcher::install();
    }

    void TearDown() override
    {
        controller.reset();
        setHidCallback({});
        hidDeviceAttach(nullptr, sharedPacketQueue());
        int marker = 0;
        ASSERT_EQ(packetQueuePushBack(&queue, &marker), 0);
        for (void* item = packetQueuePopFront(&queue); item != &marker; item = packetQueuePopFront(&queue)) {
            hidPacketFree(static_cast<hidPacket*>(item));
        }
        packetQueueClose(&queue);
        packetQueueDestroySync(&queue);
    }

    /// Runs the reader on this thread until the backend's clock reaches
    /// `untilUs`, then hands its last presence report to the window's side.
    void readUntil(int64_t untilUs)
    {
        DongleReader reader(hid, &queue, {});
        reader.run([&] { return hid.nowMicroseconds() >= untilUs; });
        if (app.globals.dongleInsert() != (lastInsert != 0)) {
            app.globals.setDongleInsert(lastInsert != 0);
            PVNotificationCenter::defaultCenter().post(kPVDongleNotificationNameInsert);
        }
    }

    void openWindow()
    {
        controller = std::make_unique<PVMainWindowController>(adapter);
        controller->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        main = controller->contentViewController();
    }

    int alertLines() const
    {
        int count = 0;
        for (const DXLogEntry& entry : log.entries()) {
            count += entry.level == DXLogLevelAlert ? 1 : 0;
        }
        return count;
    }

    LogCapture log;
    FakeHidBackend hid;
    packetQueue queue{};
    char lastInsert = 0;
    SteppedTimers timers;
    ApplicationModel app;
    PVMainViewModelAdapter adapter{app.models, app.globals, app.styles, app.store};
    std::unique_ptr<PVMainWindowController> controller;
    PVMainViewController* main = nullptr;
};

TEST_F(ReceiverAccess, AReceiverListedButRefusedGivesTheRuleOnTheEmptyPageAndOneAlertLine)
{
    hid.plug(receiver);
    hid.refuseOpen(receiver.path, HidOpenResult::PermissionDenied);
    readUntil(1'100'000);
    openWindow();
    QLabel* text = main->emptyViewController()->messageLabel();
    EXPECT_TRUE(main->emptyViewContainer()->isVisible());
    EXPECT_EQ(text->text(), textOf(PVEmptyViewController::kAccessDeniedKey));
    EXPECT_TRUE(text->text().contains(QString::fromLatin1(kReceiverUdevRule)));
    grabWidget(controller->window(), "window-receiver-refused-by-the-system");
    EXPECT_EQ(alertLines(), 1) << "three refused opens, one Alert line";

    // Pulled out: the page says that no receiver is there.
    hid.unplug(receiver.path);
    readUntil(1'600'000);
    timers.advanceMilliseconds(PVMainViewController::kReceiverAccessCheckMs);
    EXPECT_EQ(text->text(), textOf(PVEmptyViewController::kMessageKey));

    // Plugged in again with the rule in place: the receiver opens and the
    // pages show.
    hid.allowOpen(receiver.path);
    hid.plug(receiver);
    readUntil(2'200'000);
    EXPECT_FALSE(main->emptyViewContainer()->isVisible());
    EXPECT_EQ(alertLines(), 1);
}

TEST_F(ReceiverAccess, OtherFailuresToOpenCountAsNoReceiver)
{
    for (const HidOpenResult result : {HidOpenResult::Failed, HidOpenResult::NotFound}) {
        hid.plug(receiver);
        hid.refuseOpen(receiver.path, result);
        readUntil(hid.nowMicroseconds() + 600'000);
        if (controller == nullptr) {
            openWindow();
        }
        timers.advanceMilliseconds(PVMainViewController::kReceiverAccessCheckMs);
        EXPECT_TRUE(main->emptyViewContainer()->isVisible()) << hidOpenResultName(result);
        EXPECT_EQ(main->emptyViewController()->messageLabel()->text(), textOf(PVEmptyViewController::kMessageKey))
            << hidOpenResultName(result);
    }
    EXPECT_EQ(alertLines(), 0);
}

} // namespace
