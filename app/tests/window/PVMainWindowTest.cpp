#include "device/presenterState.h"
#include "device/receiverIds.h"
#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVWindowCloseWatcher.h"
#include "support/ApplicationModel.h"
#include "support/LogCapture.h"
#include "support/SteppedTimers.h"
#include "support/WidgetShots.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVLineView.h"
#include "ui/controls/PVPresenterIcon.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/window/PVEmptyViewController.h"
#include "ui/window/PVMainViewController.h"
#include "ui/window/PVMainViewModel.h"
#include "ui/window/PVMainWindowController.h"
#include "ui/window/PVTabButton.h"
#include "ui/window/PVTabStackView.h"
#include "ui/window/PVWindow.h"
#include "ui/window/PVWindowButtonContainer.h"
#include "ui/window/PVWindowStandardButton.h"
#include "ui/window/PVWindowTitleView.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// A settings model in memory: a stored and a current button mode, and the
// order of the calls the window makes; the pointer style page works on a
// real settings device over a temporary folder.
class FakeModel : public PVMainViewModel
{
  public:
    bool dongleInsert() const override { return dongle; }
    bool receiverAccessDenied() const override { return accessDenied; }
    void resetPointerStylePageByDeviceDict() override { calls.push_back("reset pointer style"); }
    void resetButtonSettingPageByDeviceDict() override
    {
        calls.push_back("reset button setting");
        currentMode = storedMode;
    }
    quint64 buttonSetting() const override { return currentMode; }
    void setButtonSetting(quint64 mode) override { currentMode = mode; }
    bool pairedState() const override { return false; }
    quint64 battery() const override { return 0; }
    std::optional<QString> firmwareVersion() const override { return std::nullopt; }
    void syncronizedDeviceDictWithPropertiesAndUpdate() override
    {
        calls.push_back("store");
        storedMode = currentMode;
    }

    PVDevice& settingDevice() override { return app.settingDevice(); }
    PVPointerStyleManager& pointerStyleManager() override { return app.styles; }
    PVPlistManager& plistManager() override { return app.store; }

    ApplicationModel app;
    bool dongle = true;
    bool accessDenied = false;
    quint64 storedMode = 0;
    quint64 currentMode = 0;
    std::vector<std::string> calls;
};

class MainWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        PVWindowCloseWatcher::install();
        controller = std::make_unique<PVMainWindowController>(model);
        controller->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        main = controller->contentViewController();
    }

    void clickTab(int index)
    {
        QTest::mouseClick(main->tabStackView()->tabButtons()[index], Qt::LeftButton, {}, QPoint(20, 10));
        timers.advance(1.0);
    }
    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5)); }

    std::vector<bool> pagesShown() const
    {
        std::vector<bool> shown;
        for (QWidget* container : main->pageContainers()) {
            shown.push_back(container->isVisible());
        }
        return shown;
    }
    std::vector<bool> tabsSelected() const
    {
        std::vector<bool> selected;
        for (PVTabButton* tab : main->tabStackView()->tabButtons()) {
            selected.push_back(tab->selected());
        }
        return selected;
    }
    static void changeTab(const QVariantMap& userInfo)
    {
        PVNotificationCenter::defaultCenter().post(kPVNotificationNameChangeTab, nullptr, userInfo);
    }

    SteppedTimers timers;
    FakeModel model;
    std::unique_ptr<PVMainWindowController> controller;
    PVMainViewController* main = nullptr;
};

TEST_F(MainWindow, TabsCarryTheirTitlesAndShowTheirPage)
{
    EXPECT_EQ(tabsSelected(), (std::vector<bool>{true, false, false, false})) << "tab 0 at first load";
    EXPECT_EQ(pagesShown(), (std::vector<bool>{true, false, false, false}));
    const char* keys[] = {"PV001", "PV004", "PV054", "PV023"};
    const char* pages[] = {"PVButtonSettingViewController", "PVPointerStyleViewController",
                           "PVToolManagerViewController", "PVHelpViewController"};
    for (int i : {2, 1, 3, 0}) {
        SCOPED_TRACE(i);
        PVTabButton* tab = main->tabStackView()->tabButtons()[i];
        EXPECT_EQ(tab->tagInteger(), quint64(i));
        EXPECT_EQ(tab->textField()->text(),
                  PVLocalizedStringManager::sharedInstance().localizedStringAtKey(keys[i]));
        EXPECT_STREQ(main->viewControllers()[i]->metaObject()->className(), pages[i]);
        clickTab(i);
        std::vector<bool> expected(4, false);
        expected[i] = true;
        EXPECT_EQ(tabsSelected(), expected);
        EXPECT_EQ(pagesShown(), expected);
        EXPECT_EQ(main->tabStackView()->selection(), quint64(i));
    }
}

TEST_F(MainWindow, ChangeTabNotificationsReadTheirIndex)
{
    const struct
    {
        const char* name;
        QVariantMap userInfo;
        std::vector<bool> shown;
    } cases[] = {
        {"index 2", {{kPVNotificationUserInfoChangeTabIndex, 2}}, {false, false, true, false}},
        {"not found",
         {{kPVNotificationUserInfoChangeTabIndex, QVariant::fromValue(PVMainViewController::kNotFound)}},
         {false, false, true, false}},
        {"no index", {}, {true, false, false, false}},
        {"index 3", {{kPVNotificationUserInfoChangeTabIndex, 3}}, {false, false, false, true}},
        {"not a number", {{kPVNotificationUserInfoChangeTabIndex, "three"}}, {true, false, false, false}},
        {"outside the tabs", {{kPVNotificationUserInfoChangeTabIndex, 7}}, {false, false, false, false}},
    };
    for (const auto& c : cases) {
        changeTab(c.userInfo);
        EXPECT_EQ(pagesShown(), c.shown) << c.name;
    }
}

TEST_F(MainWindow, ATabClickWithoutASelectionBlockDoesNothing)
{
    main->tabStackView()->setSelectionBlock({});
    LogCapture log;
    clickTab(2);
    EXPECT_EQ(pagesShown(), (std::vector<bool>{true, false, false, false}));
    EXPECT_TRUE(log.entries().empty());

    main->tabStackView()->setSelectionBlock(
        [this](quint64 from, quint64 to) { main->checkDirtyAndShowAlertWhenNeedChangeTab(from, to); });
    clickTab(2);
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "Tab index 2"));
}

TEST_F(MainWindow, SelectingTheSelectedTabAgainChangesNothingVisible)
{
    clickTab(1);
    const QImage before = grabWidget(controller->window());
    clickTab(1);
    EXPECT_EQ(grabWidget(controller->window()), before);
}

TEST_F(MainWindow, WithoutAReceiverTheEmptyPageCoversTheTabsAndTheSelectionReturns)
{
    EXPECT_FALSE(main->emptyViewContainer()->isVisible());
    EXPECT_TRUE(main->presenterIcon()->isVisible());
    clickTab(3);
    model.dongle = false;
    PVNotificationCenter::defaultCenter().post(kPVDongleNotificationNameInsert);
    EXPECT_TRUE(main->emptyViewContainer()->isVisible());
    EXPECT_FALSE(main->presenterIcon()->isVisible());
    EXPECT_EQ(
        main->emptyViewController()->messageLabel()->text(),
        PVLocalizedStringManager::sharedInstance().localizedStringAtKey(PVEmptyViewController::kMessageKey));
    const QImage shot = grabWidget(controller->window(), "window-no-receiver");
    const QPoint pageMiddle = main->emptyViewContainer()->geometry().center();
    EXPECT_EQ(main->childAt(pageMiddle)->window(), controller->window());
    EXPECT_TRUE(main->emptyViewContainer()->isAncestorOf(main->childAt(pageMiddle)) ||
                main->childAt(pageMiddle) == main->emptyViewContainer());
    EXPECT_TRUE(sameColor(shot.pixelColor(main->emptyViewContainer()->geometry().topLeft() + QPoint(4, 4)),
                          themeBackgroundColor()));

    model.dongle = true;
    PVNotificationCenter::defaultCenter().post(kPVDongleNotificationNameInsert);
    EXPECT_FALSE(main->emptyViewContainer()->isVisible());
    EXPECT_TRUE(main->presenterIcon()->isVisible());
    EXPECT_EQ(pagesShown(), (std::vector<bool>{false, false, false, true}));
}

TEST_F(MainWindow, ARefusedReceiverIsNamedOnTheEmptyPageForAsLongAsItIsRefused)
{
    const QString missing =
        PVLocalizedStringManager::sharedInstance().localizedStringAtKey(PVEmptyViewController::kMessageKey);
    const QString refused =
        PVLocalizedStringManager::sharedInstance().localizedStringAtKey(PVEmptyViewController::kAccessDeniedKey);
    EXPECT_TRUE(refused.contains(QString::fromLatin1(kReceiverUdevRule))) << refused.toStdString();
    QLabel* text = main->emptyViewController()->messageLabel();

    model.dongle = false;
    model.accessDenied = true;
    PVNotificationCenter::defaultCenter().post(kPVDongleNotificationNameInsert);
    EXPECT_EQ(text->text(), refused) << "the page asks as soon as it shows";
    grabWidget(controller->window(), "window-receiver-refused");

    // The reader's finding changes without a notification: the page asks
    // again every half second while it shows.
    model.accessDenied = false;
    timers.advanceMilliseconds(PVMainViewController::kReceiverAccessCheckMs - 1);
    EXPECT_EQ(text->text(), refused);
    timers.advanceMilliseconds(1);
    EXPECT_EQ(text->text(), missing);
    model.accessDenied = true;
    timers.advanceMilliseconds(PVMainViewController::kReceiverAccessCheckMs);
    EXPECT_EQ(text->text(), refused);

    // Closed, the window stops asking; shown again, it asks at once.
    controller->window()->close();
    model.accessDenied = false;
    timers.advance(2.0);
    EXPECT_EQ(text->text(), refused);
    controller->showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    EXPECT_EQ(text->text(), missing);

    // With the receiver open the empty page goes and so does the asking.
    model.dongle = true;
    PVNotificationCenter::defaultCenter().post(kPVDongleNotificationNameInsert);
    model.accessDenied = true;
    timers.advance(2.0);
    EXPECT_EQ(text->text(), missing);
}

TEST_F(MainWindow, MinimiseClosesAndStoresZoomStaysOff)
{
    PVWindowButtonContainer* buttons = main->titleView()->buttonContainer();
    EXPECT_FALSE(buttons->zoomButton()->isEnabled());
    EXPECT_TRUE(buttons->minimizeButton()->isEnabled());
    model.currentMode = 3;
    click(buttons->minimizeButton());
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(model.calls, (std::vector<std::string>{"store"}));
    EXPECT_EQ(model.storedMode, 3u);

    controller->showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    click(buttons->zoomButton());
    EXPECT_TRUE(controller->window()->isVisible());
    controller->close();
    EXPECT_TRUE(controller->window()->isVisible()) << "the controller's close does nothing";
}

TEST_F(MainWindow, CancelPutsTheStoredModeBackBeforeTheWindowCloses)
{
    buttonOnlyMode.store(0);
    model.currentMode = 2;
    LogCapture log;
    click(main->cancelButton());
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(model.calls,
              (std::vector<std::string>{"reset pointer style", "reset button setting", "store"}));
    EXPECT_EQ(model.buttonSetting(), 0u);
    EXPECT_EQ(buttonOnlyMode.load(), 1);
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "Cancel Button"));

    // From blackout back to the cursor mode: buttons-only is cleared.
    model.storedMode = 2;
    model.currentMode = 0;
    controller->showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    timers.advance(1.0);
    click(main->cancelButton());
    EXPECT_EQ(buttonOnlyMode.load(), 0);
}

TEST_F(MainWindow, OkClosesAndTheStoreWritesTheCurrentValues)
{
    model.currentMode = 4;
    LogCapture log;
    click(main->okButton());
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(model.calls, (std::vector<std::string>{"store"}));
    EXPECT_EQ(model.storedMode, 4u);
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "OK Button"));
}

TEST_F(MainWindow, AnyWindowThatClosesStoresTheSettings)
{
    QWidget other;
    other.show();
    other.close();
    EXPECT_EQ(model.calls, (std::vector<std::string>{"store"}));
}

TEST_F(MainWindow, PagesLogTheirComingsAndGoingsUnderTheirOwnClassName)
{
    const auto pageLines = [](const LogCapture& log) {
        std::vector<std::string> lines;
        for (const DXLogEntry& entry : log.entries()) {
            if (entry.tagged && entry.tag == PVViewController::kLogTag && entry.level == DXLogLevelDebug) {
                lines.push_back(entry.text);
            }
        }
        return lines;
    };
    {
        LogCapture log;
        clickTab(1);
        EXPECT_EQ(pageLines(log), (std::vector<std::string>{
                                      "PVButtonSettingViewController view will disappear",
                                      "PVButtonSettingViewController view did disappear",
                                      "PVPointerStyleViewController view will appear",
                                      "PVPointerStyleViewController view did appear",
                                  }));
    }
    LogCapture log;
    controller.reset();
    const std::vector<std::string> lines = pageLines(log);
    // The help page was never shown: it still goes under its own name.
    for (const char* page :
         {"PVMainViewController", "PVButtonSettingViewController", "PVPointerStyleViewController",
          "PVToolManagerViewController", "PVHelpViewController", "PVEmptyViewController"}) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(page) + " dealloc"), 1) << page;
    }
    EXPECT_TRUE(log.contains(DXLogLevelAlert, "PVWindow dealloc"));
}

TEST_F(MainWindow, OpensCentredWithRoundedFramedCornersAndTabLinesAtQuarters)
{
    PVWindow* window = controller->window();
    const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_NEAR(window->geometry().center().x(), visible.center().x(), 1);
    EXPECT_NEAR(window->geometry().center().y(), visible.center().y(), 1);
    EXPECT_FALSE(window->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(window->mask().contains(QPoint(10, 10)));
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);

    const QImage shot = grabWidget(window, "settings-window");
    EXPECT_EQ(shot.pixelColor(window->width() / 2, 0), themeWindowBorderColor());
    EXPECT_EQ(shot.pixelColor(0, window->height() / 2), themeWindowBorderColor());

    PVTabStackView* row = main->tabStackView();
    const double width = row->width();
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NEAR(row->verticalLines()[i]->lineRect().center().x(), width * i / 4.0, 0.01) << i;
    }
    // Selected tab white; the others background grey with a rule along
    // their bottom; the row's vertical lines in the border colour.
    const QPoint origin = row->mapTo(window, QPoint(0, 0));
    const int quarter = row->width() / 4;
    const int middleY = origin.y() + row->height() / 2;
    EXPECT_EQ(shot.pixelColor(origin.x() + quarter / 2, middleY + 12), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(origin.x() + quarter / 2, origin.y() + row->height() - 1), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(origin.x() + quarter + quarter / 2, middleY + 12), themeBackgroundGrayColor());
    EXPECT_EQ(shot.pixelColor(origin.x() + quarter + quarter / 2, origin.y() + row->height() - 1),
              themeBorderColor());
    // The middle line straddles two pixels, each 80 % covered.
    EXPECT_TRUE(sameColor(shot.pixelColor(origin.x() + 2 * quarter, middleY), themeBorderColor(), 12));
}

TEST_F(MainWindow, TitleBarButtonsShowTheirSymbolsWhileThePointerIsOverThem)
{
    PVWindowButtonContainer* buttons = main->titleView()->buttonContainer();
    EXPECT_EQ(buttons->x(), PVWindowTitleView::kButtonsLeft);
    EXPECT_EQ(buttons->minimizeButton()->x() - buttons->closeButton()->geometry().right() - 1, 6);
    EXPECT_EQ(buttons->zoomButton()->x() - buttons->minimizeButton()->geometry().right() - 1, 6);
    QTest::mouseMove(buttons, QPoint(3, 3));
    EXPECT_TRUE(QTest::qWaitFor([&] { return buttons->mouseInside(); }, 2000));
    EXPECT_TRUE(buttons->closeButton()->showsSymbol());
    grabWidget(main->titleView(), "title-hover");
}

TEST_F(MainWindow, DraggingTheTitleBarMovesTheWindowAndNothingElseDoes)
{
    PVWindow* window = controller->window();
    PVWindowTitleView* title = main->titleView();
    // The pointer is away from the title bar (this display's pointer may
    // rest where an earlier test left it).
    QEvent away(QEvent::Leave);
    QApplication::sendEvent(title, &away);
    ASSERT_FALSE(window->movableByWindowBackground());
    const QPoint start = window->pos();
    // Elsewhere the window stays put.
    QTest::mousePress(main, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(main, QPoint(340, 330));
    QTest::mouseRelease(main, Qt::LeftButton, {}, QPoint(340, 330));
    EXPECT_EQ(window->pos(), start);

    QEnterEvent enter(QPointF(300, 10), QPointF(300, 10), title->mapToGlobal(QPointF(300, 10)));
    QApplication::sendEvent(title, &enter);
    EXPECT_TRUE(window->movableByWindowBackground());
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseMove(title, QPoint(340, 40));
    QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(340, 40));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->pos() == start + QPoint(40, 30); }, 2000))
        << window->pos().x() << "," << window->pos().y();

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(title, &leave);
    EXPECT_FALSE(window->movableByWindowBackground());
}

TEST(TabButton, ALongTitleShrinksUntilItFitsAndStopsAtTheFloor)
{
    const struct
    {
        int width;
        int expectedAtMost;
    } cases[] = {{200, 14}, {80, 13}, {50, 12}, {5, PVTabButton::kSmallestFontSize}};
    for (const auto& c : cases) {
        PVTabButton tab;
        tab.setLocalizedKey(QStringLiteral("PV054")); // "Tool Manager"
        tab.resize(c.width, 36);
        tab.show();
        grabWidget(&tab, QStringLiteral("tab-%1").arg(c.width));
        const QFont font = tab.textField()->font();
        const double text = QFontMetricsF(font).horizontalAdvance(tab.textField()->text());
        EXPECT_LE(font.pixelSize(), c.expectedAtMost) << c.width;
        if (font.pixelSize() > PVTabButton::kSmallestFontSize) {
            EXPECT_LE(text + 10, c.width) << c.width;
            QFont oneUp = font;
            oneUp.setPixelSize(font.pixelSize() + 1);
            if (font.pixelSize() < 14) {
                EXPECT_GT(QFontMetricsF(oneUp).horizontalAdvance(tab.textField()->text()) + 10, c.width)
                    << "one point larger would not fit";
            }
        } else {
            EXPECT_EQ(font.pixelSize(), PVTabButton::kSmallestFontSize);
        }
    }
}

} // namespace
