#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVWindowCloseWatcher.h"
#include "settings/PVPointerStyle.h"
#include "support/ApplicationModel.h"
#include "support/LogCapture.h"
#include "support/SteppedTimers.h"
#include "support/WidgetShots.h"
#include "tutorial/PVTutorialScrollView.h"
#include "tutorial/PVTutorialSectionView.h"
#include "tutorial/PVTutorialView.h"
#include "tutorial/PVTutorialViewController.h"
#include "tutorial/PVTutorialWindow.h"
#include "tutorial/PVTutorialWindowController.h"
#include "ui/controls/PVHyperlinkButton.h"
#include "ui/controls/PVImageButton.h"
#include "ui/controls/PVImageView.h"
#include "ui/window/PVMainViewModelAdapter.h"
#include "ui/window/PVMainWindowController.h"
#include "ui/window/PVWindow.h"
#include "ui/window/PVWindowButtonContainer.h"
#include "ui/window/PVWindowStandardButton.h"
#include "ui/window/PVWindowTitleView.h"

#include <QGuiApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

// The tutorial's pictures go missing while the object lives: the compiled-in
// resource that holds them is taken away and put back. (The resource macros
// work only outside any namespace.)
struct TutorialImagesMissing
{
    TutorialImagesMissing() { Q_CLEANUP_RESOURCE(pelvaro_tutorial_images); }
    ~TutorialImagesMissing() { Q_INIT_RESOURCE(pelvaro_tutorial_images); }
};

namespace {

QString text(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(QString::fromLatin1(key));
}

// The tutorial window shown and active; main-queue timers stepped by the
// test.
class TutorialWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        PVWindowCloseWatcher::install();
        controller = std::make_unique<PVTutorialWindowController>();
        content = controller->contentViewController();
        scroll = content->scrollView();
        page = scroll->tutorialView();
    }

    void open()
    {
        controller->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        // Buttons act at most every half second.
        timers.advance(1.0);
    }

    void click(QWidget* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        timers.advance(1.0);
    }

    /// Where `widget` starts, counted from the top of the visible area.
    int topInVisibleArea(const QWidget* widget) const
    {
        return widget->mapTo(scroll->viewport(), QPoint(0, 0)).y();
    }

    SteppedTimers timers;
    std::unique_ptr<PVTutorialWindowController> controller;
    PVTutorialViewController* content = nullptr;
    PVTutorialScrollView* scroll = nullptr;
    PVTutorialView* page = nullptr;
};

// How many different colours the window shows inside `area` of `widget`.
int coloursIn(const QImage& shot, const QWidget* window, const QWidget* widget)
{
    const QRect area(widget->mapTo(window, QPoint(0, 0)), widget->size());
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); y += 2) {
        for (int x = area.left(); x <= area.right(); x += 2) {
            colours.insert(shot.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

TEST_F(TutorialWindow, TheBackToTopButtonShowsOnceThePageIsScrolledAndTakesItBack)
{
    open();
    EXPECT_FALSE(content->topButton()->isVisible());
    EXPECT_EQ(scroll->contentOffset(), 0.0);

    scroll->verticalScrollBar()->setValue(1);
    EXPECT_TRUE(content->topButton()->isVisible());
    settledShot(controller->window(), "tutorial-scrolled-one-point");

    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    ASSERT_TRUE(content->topButton()->isVisible());
    click(content->topButton());
    EXPECT_EQ(scroll->contentOffset(), 0.0);
    EXPECT_EQ(scroll->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(content->topButton()->isVisible());
}

TEST_F(TutorialWindow, TheBackToTopButtonHidesAtHalfAPointOrLess)
{
    const struct
    {
        double offset;
        bool shown;
    } cases[] = {
        {0.0, false},   {0.5, false}, {0.5001, true}, {1.0, true}, {2400.0, true},
        {-30.0, false}, {std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const auto& c : cases) {
        content->updateAppearence(c.offset);
        EXPECT_EQ(!content->topButton()->isHidden(), c.shown) << c.offset;
    }
    // A scroll notice without a scroll view reads as the top.
    content->updateAppearence(3.0);
    content->scrollViewDidScroll(nullptr);
    EXPECT_TRUE(content->topButton()->isHidden());
}

TEST_F(TutorialWindow, EachLinkBringsItsSectionToTheTopOfTheVisibleArea)
{
    const struct
    {
        const char* icon;
        const char* titleKey;
        const char* step;
    } sections[] = {
        {"Start Stop", "PV003", "Pelvaro_Blackout"}, {"BlackOut", "PV002", "Pelvaro_StartEnd"},
        {"Magnify", "PV045", "Pelvaro_MouseClick"},  {"Cursor", "PV052", "Pelvaro_Magnifier"},
        {"Highlighter ", "PV046", "Pelvaro_Pen"},
    };
    open();
    ASSERT_EQ(page->links().size(), 5);
    ASSERT_EQ(page->sectionViews().size(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        PVHyperlinkButton* link = page->links()[i];
        PVTutorialSectionView* section = page->sectionViews()[i];
        EXPECT_EQ(link->tagInteger(), quint64(i + 1));
        EXPECT_EQ(link->label()->text(), text(sections[i].titleKey));
        EXPECT_TRUE(link->label()->font().underline());
        EXPECT_EQ(section->title()->text(), text(sections[i].titleKey));
        const QImage icon = PVPointerStyle::resourceImage(QString::fromLatin1(sections[i].icon));
        const QImage step = PVPointerStyle::resourceImage(QString::fromLatin1(sections[i].step));
        ASSERT_FALSE(icon.isNull());
        ASSERT_FALSE(step.isNull());
        EXPECT_EQ(section->icon()->image(), icon);
        EXPECT_EQ(page->linkIcons()[i]->image(), icon);
        EXPECT_EQ(section->step()->image(), step);

        scroll->scrollToOffset(0);
        click(link);
        EXPECT_EQ(topInVisibleArea(section), 0);
        EXPECT_EQ(scroll->contentOffset(), page->offsetFromTop(section));
        EXPECT_TRUE(content->topButton()->isVisible());
        settledShot(controller->window(), QStringLiteral("tutorial-section-%1").arg(i));
    }
}

TEST_F(TutorialWindow, TheHeaderHoldsTheTitleTheStackedLinksAndTheLegend)
{
    open();
    QWidget* header = page->header();
    ASSERT_EQ(page->sections().size(), 6);
    EXPECT_EQ(page->sections().first(), header);
    EXPECT_EQ(page->pageTitle()->text(), text("PV055"));
    EXPECT_TRUE(page->pageTitle()->font().bold());
    EXPECT_EQ(page->doubleClickCaption()->text(), text("PV056"));
    EXPECT_EQ(page->singleClickCaption()->text(), text("PV057"));
    for (QWidget* part : {static_cast<QWidget*>(page->pageTitle()), static_cast<QWidget*>(page->doubleClickIcon()),
                          static_cast<QWidget*>(page->doubleClickCaption()),
                          static_cast<QWidget*>(page->singleClickIcon()),
                          static_cast<QWidget*>(page->singleClickCaption())}) {
        EXPECT_TRUE(header->isAncestorOf(part));
        EXPECT_TRUE(header->rect().contains(part->geometry())) << part->metaObject()->className();
    }
    EXPECT_EQ(page->links()[0]->y(), page->pageTitle()->geometry().bottom() + 1 + 20);
    for (int i = 0; i < 5; ++i) {
        const QRect link = page->links()[i]->geometry();
        EXPECT_EQ(link.height(), 22);
        EXPECT_EQ(link.left(), 53);
        EXPECT_GT(link.width(), 0);
        if (i > 0) {
            EXPECT_EQ(link.top(), page->links()[i - 1]->geometry().bottom() + 1) << i;
        }
        // The icon sits before its link, centred on it.
        const QRect icon = page->linkIcons()[i]->geometry();
        EXPECT_EQ(icon.size(), QSize(16, 16));
        EXPECT_EQ(icon.right() + 1 + 8, link.left());
        EXPECT_LE(std::abs(icon.center().y() - link.center().y()), 1);
    }
    // The legend below the links: the two icons side by side, each caption
    // right of its icon.
    const QRect doubleIcon = page->doubleClickIcon()->geometry();
    const QRect singleIcon = page->singleClickIcon()->geometry();
    EXPECT_EQ(doubleIcon.top(), page->links()[4]->geometry().bottom() + 1 + 30);
    EXPECT_EQ(doubleIcon.size(), QSize(30, 30));
    EXPECT_EQ(singleIcon.top(), doubleIcon.top());
    EXPECT_EQ(page->doubleClickCaption()->x(), doubleIcon.right() + 1 + 10);
    EXPECT_EQ(singleIcon.left(), page->doubleClickCaption()->geometry().right() + 1 + 35);
    EXPECT_EQ(page->singleClickCaption()->x(), singleIcon.right() + 1 + 10);
    EXPECT_EQ(header->height(), doubleIcon.bottom() + 1 + 10);
}

TEST_F(TutorialWindow, StepPicturesKeepTheirRatioAndThreeCarryTheHoldAndMoveCaption)
{
    const struct
    {
        double ratio;
        bool caption;
        double captionFactor;
    } sections[] = {
        {53.0 / 207.0, false, 0.0}, {77.0 / 138.0, false, 0.0}, {76.0 / 59.0, true, 1.43},
        {1.2874395847320557, true, 1.43}, {79.0 / 59.0, true, 1.45},
    };
    open();
    // The window's page, and pages of their own at a narrow and a wide width.
    PVTutorialView narrow, wide;
    narrow.resize(320, narrow.heightForWidth(320));
    wide.resize(1100, wide.heightForWidth(1100));
    narrow.layoutSubtreeIfNeeded();
    wide.layoutSubtreeIfNeeded();
    for (PVTutorialView* view : {page, &narrow, &wide}) {
        SCOPED_TRACE(view->width());
        int previousBottom = view->header()->geometry().bottom();
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE(i);
            PVTutorialSectionView* section = view->sectionViews()[i];
            const QRect step = section->step()->geometry();
            EXPECT_EQ(section->y(), previousBottom + 1) << "sections follow each other without gaps";
            previousBottom = section->geometry().bottom();
            EXPECT_EQ(step.width(), view->width() - 110);
            EXPECT_NEAR(step.height(), step.width() * sections[i].ratio, 1.0);
            EXPECT_EQ(step.top(), section->title()->geometry().bottom() + 1 + 10);
            EXPECT_EQ(section->height(), step.bottom() + 1 + 10);
            QLabel* caption = section->caption();
            ASSERT_EQ(caption != nullptr, sections[i].caption);
            if (caption != nullptr) {
                EXPECT_EQ(caption->text(), text("PV058"));
                EXPECT_NEAR(caption->x(), 0.45 * section->width() / 2.0, 1.0);
                EXPECT_NEAR(caption->geometry().center().y(),
                            (step.top() + step.height() / 2.0) * sections[i].captionFactor, 1.5);
                EXPECT_TRUE(step.intersects(caption->geometry()));
            }
        }
        EXPECT_EQ(view->height(), previousBottom + 1 + 20);
    }
    EXPECT_NEAR(page->sectionViews()[3]->step()->height() /
                    static_cast<double>(page->sectionViews()[3]->step()->width()),
                1.2874395847320557, 1.0 / page->sectionViews()[3]->step()->width());
}

TEST_F(TutorialWindow, ThePicturesShowAndTheWindowSitsInTheMiddleOfTheMainScreen)
{
    open();
    const QImage shot = settledShot(controller->window(), "tutorial-window");
    EXPECT_GT(coloursIn(shot, controller->window(), page->linkIcons()[0]), 1);
    EXPECT_GT(coloursIn(shot, controller->window(), page->doubleClickIcon()), 1);
    EXPECT_GT(coloursIn(shot, controller->window(), page->sectionViews()[0]->step()), 1);

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = controller->window()->geometry();
    EXPECT_EQ(frame.size(), QSize(PVTutorialViewController::kWidth, PVTutorialViewController::kHeight));
    EXPECT_LE(std::abs(frame.center().x() - available.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - available.center().y()), 1);
}

TEST_F(TutorialWindow, TheMinimiseButtonIsOffAndTheCloseButtonClosesTheWindow)
{
    open();
    PVWindowButtonContainer* buttons = content->titleView()->buttonContainer();
    EXPECT_FALSE(buttons->minimizeButton()->isEnabled());
    click(buttons->minimizeButton());
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_FALSE(controller->window()->isMinimized());

    click(buttons->closeButton());
    EXPECT_FALSE(controller->window()->isVisible());
    // Shown again, the same page comes back where it was left.
    scroll->scrollToOffset(200);
    open();
    EXPECT_EQ(controller->contentViewController(), content);
    EXPECT_EQ(scroll->contentOffset(), 200.0);
    EXPECT_TRUE(content->topButton()->isVisible());
}

TEST_F(TutorialWindow, WithEveryPictureMissingTheWindowOpensWithItsSectionsInOrder)
{
    controller.reset();
    TutorialImagesMissing missing;
    ASSERT_TRUE(PVPointerStyle::resourceImage(QStringLiteral("Pelvaro_Pen")).isNull());
    SetUp();
    open();
    const char* titles[] = {"PV003", "PV002", "PV045", "PV052", "PV046"};
    ASSERT_EQ(page->sectionViews().size(), 5);
    for (int i = 0; i < 5; ++i) {
        PVTutorialSectionView* section = page->sectionViews()[i];
        EXPECT_EQ(section->title()->text(), text(titles[i])) << i;
        EXPECT_TRUE(section->icon()->image().isNull());
        EXPECT_TRUE(section->step()->image().isNull());
        EXPECT_TRUE(page->linkIcons()[i]->image().isNull());
        EXPECT_GT(section->step()->height(), 0) << "the picture's place is kept";
    }
    const QImage shot = settledShot(controller->window(), "tutorial-without-pictures");
    EXPECT_EQ(coloursIn(shot, controller->window(), page->sectionViews()[0]->step()), 1);
    EXPECT_TRUE(content->topButton()->imageView()->image().isNull());

    click(page->links()[4]);
    EXPECT_EQ(topInVisibleArea(page->sectionViews()[4]), 0);
}

TEST_F(TutorialWindow, LinksOfTagsNamingNoSectionAskForNothing)
{
    open();
    struct Recorder : PVTutorialViewDelegete
    {
        void tutorialViewRequestToScrollOffset(PVTutorialView*, double offset) override { asked.push_back(offset); }
        std::vector<double> asked;
    } recorder;
    page->setDelegate(&recorder);
    PVButton stray;
    for (quint64 tag : {quint64(6), quint64(99), ~quint64(0)}) {
        stray.setTagInteger(tag);
        page->sectionButtonAction(&stray);
    }
    page->sectionButtonAction(nullptr);
    EXPECT_TRUE(recorder.asked.empty());
    // Tag 0 names the header: the top of the page.
    stray.setTagInteger(0);
    page->sectionButtonAction(&stray);
    EXPECT_EQ(recorder.asked, std::vector<double>{0.0});
    page->setDelegate(scroll);
}

TEST_F(TutorialWindow, GoingAwayWritesTheAlertLinesOfTheControllerAndTheWindow)
{
    open();
    LogCapture log;
    controller.reset();
    EXPECT_TRUE(log.contains(DXLogLevelAlert, "PVTutorialWindowController dealloc"));
    EXPECT_TRUE(log.contains(DXLogLevelAlert, "PVTutorialWindow dealloc"));
}

TEST_F(TutorialWindow, AnOwnerMayLetTheControllerGoWhenItsWindowCloses)
{
    // The application drops the controller when its window closes: from
    // within the closing, so the controller goes once the event loop turns.
    open();
    QObject owner;
    PVTutorialWindowController* released = controller.release();
    PVNotificationCenter::defaultCenter().addObserver(
        &owner, kPVWindowWillCloseNotification, [released](const PVNotification& notification) {
            if (notification.object == released->window()) {
                released->deleteLater();
            }
        });
    QPointer<PVTutorialWindow> window = released->window();
    LogCapture log;
    click(content->titleView()->buttonContainer()->closeButton());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(log.contains(DXLogLevelAlert, "PVTutorialWindowController dealloc"));
    EXPECT_TRUE(log.contains(DXLogLevelAlert, "PVTutorialWindow dealloc"));
}

// Closing the tutorial, like closing any window of the application, stores
// the settings device while the settings window exists.
TEST(TutorialWindowOverModel, ClosingTheTutorialStoresTheSettingsDevice)
{
    PVWindowCloseWatcher::install();
    SteppedTimers timers;
    ApplicationModel app;
    app.globals.setDongleInsert(true);
    PVMainViewModelAdapter adapter{app.models, app.globals, app.styles, app.store};
    PVMainWindowController settings(adapter);
    settings.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(settings.window()));

    PVTutorialWindowController tutorial;
    tutorial.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(tutorial.window()));
    app.settingDevice().buttonSetting.set(3);
    ASSERT_EQ(app.storedGeneral().value("button_setting").toULongLong(), 0u);

    PVWindowStandardButton* close = tutorial.contentViewController()->titleView()->buttonContainer()->closeButton();
    QTest::mouseClick(close, Qt::LeftButton, {}, close->rect().center());
    EXPECT_FALSE(tutorial.window()->isVisible());
    EXPECT_TRUE(settings.window()->isVisible());
    EXPECT_EQ(app.storedGeneral().value("button_setting").toULongLong(), 3u);
}

} // namespace
