#include "PointerStyleFixture.h"
#include "localisation/PVLocalizedStringManager.h"
#include "support/AlertAnswer.h"
#include "support/WidgetShots.h"
#include "ui/controls/DXSlider.h"
#include "ui/controls/PVButton.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVPresentDesktopItem.h"
#include "ui/controls/PVRoundButton.h"
#include "ui/pages/PVPresentDesktopImages.h"

#include <QLabel>

namespace {

QString text(const char* key)
{
    return PVLocalizedStringManager::sharedInstance().localizedStringAtKey(key);
}

class PointerSettings : public PointerStylePage
{
  protected:
    std::vector<bool> itemsSelected() const
    {
        std::vector<bool> selected;
        for (PVPresentDesktopItem* item : page->presentDesktopItems()) {
            selected.push_back(item->selected());
        }
        return selected;
    }
    static std::vector<bool> onlyItem(quint64 value)
    {
        std::vector<bool> selected(3, false);
        if (value < selected.size()) {
            selected[value] = true;
        }
        return selected;
    }
    /// (size, speed, screen choice, style id) of the settings device.
    std::tuple<quint64, quint64, quint64, quint64> pointerSettings() const
    {
        const PVDevice& device = app.settingDevice();
        return {device.pointerSize(), device.pointerSpeed(), device.presentDesktop(), chosenId()};
    }
    /// What the page shows: (size tick, speed tick, grid image size, marked style).
    std::tuple<quint64, quint64, quint64, std::vector<quint64>> shown() const
    {
        return {page->sizeSlider()->currentTickMark(), page->speedSlider()->currentTickMark(),
                page->pointerStyleList()->imageSize(), selectedTiles()};
    }
    static QPoint tick(DXSlider* slider, quint64 index)
    {
        return slider->centerPointAtTickMarkIndex(index).toPoint();
    }
};

TEST_F(PointerSettings, SlidersScreenItemsAndResetAreSetUp)
{
    openOnPage();
    for (auto [slider, marks] : {std::pair{page->sizeSlider(), 3u}, std::pair{page->speedSlider(), 5u}}) {
        SCOPED_TRACE(marks);
        EXPECT_EQ(slider->numberOnTickMarks(), marks);
        EXPECT_EQ(slider->knobRadius(), 7.0);
        EXPECT_EQ(slider->tickMarkPadding(), 10.0);
        EXPECT_EQ(slider->knobBorderColor(), themeBlueDarkColor());
        EXPECT_EQ(slider->knobFillColor(), themeBlueColor());
        for (const QColor& color : {slider->emptyLineColor(), slider->fullLineColor(), slider->tickMarkColor()}) {
            EXPECT_EQ(color, themePartingLineColor());
        }
        EXPECT_EQ(slider->delegate(), page);
    }
    EXPECT_EQ(page->speedSlider()->parentWidget(), page->speedContainer());
    const char* images[] = {"primary_screen", "screen_extend", "auto_detect"};
    const char* keys[] = {"PV006", "PV007", "PV008"};
    ASSERT_EQ(page->presentDesktopItems().size(), 3);
    for (int tag = 0; tag < 3; ++tag) {
        SCOPED_TRACE(tag);
        PVPresentDesktopItem* item = page->presentDesktopItems()[tag];
        EXPECT_EQ(item->tagInteger(), quint64(tag));
        EXPECT_EQ(item->parentWidget(), page->presentContainer());
        EXPECT_EQ(item->label()->text(), text(keys[tag]));
        EXPECT_FALSE(item->imageView()->image().isNull());
        EXPECT_EQ(item->imageView()->image(), presentDesktopImage(images[tag]));
    }
    EXPECT_NE(presentDesktopImage(images[0]), presentDesktopImage(images[1]));
    EXPECT_NE(presentDesktopImage(images[1]), presentDesktopImage(images[2]));
    EXPECT_TRUE(presentDesktopImage("other").isNull());
    EXPECT_EQ(page->resetButton()->label()->text(), text("PV012"));

    // White strips lie over the grid's top and bottom edges; the separator
    // is a line in the parting-line colour.
    const QImage shot = grabWidget(controller->window(), "pointer-style-page");
    const QRect list(page->pointerStyleList()->mapTo(controller->window(), QPoint()),
                     page->pointerStyleList()->size());
    for (QWidget* mask : {page->topWhiteFakeMask(), page->bottomWhiteFakeMask()}) {
        const QRect covered(mask->mapTo(controller->window(), QPoint()), mask->size());
        EXPECT_EQ(covered.left(), list.left());
        EXPECT_EQ(covered.width(), list.width());
        EXPECT_TRUE(covered.top() == list.top() || covered.bottom() == list.bottom());
        EXPECT_EQ(shot.pixelColor(covered.center()), QColor(Qt::white));
    }
    QWidget* line = page->sliderSeperator();
    EXPECT_TRUE(sameColor(shot.pixelColor(line->mapTo(controller->window(), line->rect().center())),
                          themePartingLineColor(), 2));
}

TEST_F(PointerSettings, ShowsTheSettingsDeviceAndClampsLevelsPastTheLastTickWithoutWritingThem)
{
    const struct
    {
        quint64 size, speed, screen, style;
        std::tuple<quint64, quint64, quint64, std::vector<quint64>> shown;
        std::vector<bool> items;
    } cases[] = {
        {2, 4, 0, 3, {2, 4, 2, {3}}, {true, false, false}},
        {0, 1, 1, 2, {0, 1, 0, {2}}, {false, true, false}},
        {5, 9, 5, 4, {2, 4, 5, {4}}, {false, false, false}},
    };
    openOnPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        PVDevice& device = app.settingDevice();
        device.setPointerSize(c.size);
        device.setPointerSpeed(c.speed);
        device.setPresentDesktop(c.screen);
        device.setPointerStyle(*app.styles.pointerStyleAtPKID(c.style));
        clickTab(0);
        clickTab(1);
        EXPECT_EQ(shown(), c.shown);
        EXPECT_EQ(itemsSelected(), c.items);
        EXPECT_EQ(page->presentDesktop(), c.screen);
        EXPECT_EQ(pointerSettings(), std::make_tuple(c.size, c.speed, c.screen, c.style)) << "nothing written";
    }
    // A stored screen choice outside 0-2 selects nothing: the runtime then
    // presents on the primary screen.
}

TEST_F(PointerSettings, DraggingTheSizeSliderPostsOneNotificationPerChangeOfTick)
{
    openOnPage();
    DXSlider* slider = page->sizeSlider();
    ASSERT_EQ(app.settingDevice().pointerSize(), 1u);
    // From the first tick to the last and back, with steps between ticks.
    const QPoint first = tick(slider, 0);
    const QPoint last = tick(slider, 2);
    std::vector<quint64> levels{app.settingDevice().pointerSize()};
    std::vector<int> notes{sizeChanges};
    const auto record = [&] {
        if (app.settingDevice().pointerSize() != levels.back()) {
            levels.push_back(app.settingDevice().pointerSize());
            notes.push_back(sizeChanges);
        }
    };
    // The press itself moves the knob to the first tick.
    QTest::mousePress(slider, Qt::LeftButton, {}, first);
    record();
    for (int step = 1; step <= 12; ++step) {
        QTest::mouseMove(slider, first + (last - first) * step / 12);
        record();
        EXPECT_EQ(page->pointerStyleList()->imageSize(), app.settingDevice().pointerSize());
    }
    for (int step = 11; step >= 0; --step) {
        QTest::mouseMove(slider, first + (last - first) * step / 12);
        record();
    }
    QTest::mouseRelease(slider, Qt::LeftButton, {}, first);
    EXPECT_EQ(levels, (std::vector<quint64>{1, 0, 1, 2, 1, 0}));
    EXPECT_EQ(notes, (std::vector<int>{0, 1, 2, 3, 4, 5})) << "one per change, none while the tick stays";
    EXPECT_EQ(sizeChanges, 5);
    for (PVPointStyleItem* tile : tiles()) {
        EXPECT_EQ(tile->imageSize(), 0u);
    }
    EXPECT_EQ(styleChanges, 0);
}

TEST_F(PointerSettings, TheSpeedSliderSetsTheSpeedWithoutNotifications)
{
    openOnPage();
    DXSlider* slider = page->speedSlider();
    for (quint64 level : {4u, 0u, 3u, 3u}) {
        SCOPED_TRACE(level);
        QTest::mouseClick(slider, Qt::LeftButton, {}, tick(slider, level));
        EXPECT_EQ(app.settingDevice().pointerSpeed(), level);
        EXPECT_EQ(slider->currentTickMark(), level);
    }
    EXPECT_EQ(sizeChanges, 0);
    EXPECT_EQ(styleChanges, 0);
    EXPECT_EQ(app.settingDevice().pointerSize(), 1u);
}

TEST_F(PointerSettings, ChoosingAScreenSetsItAndMarksOnlyItsItem)
{
    openOnPage();
    EXPECT_EQ(itemsSelected(), onlyItem(2));
    for (quint64 value : {1u, 0u, 2u, 1u}) {
        SCOPED_TRACE(value);
        click(page->presentDesktopItems()[static_cast<int>(value)]);
        EXPECT_EQ(app.settingDevice().presentDesktop(), value);
        EXPECT_EQ(page->presentDesktop(), value);
        EXPECT_EQ(itemsSelected(), onlyItem(value));
    }
}

TEST_F(PointerSettings, ResetAsksAndOnlyYesRestoresTheDefaultsAndReloadsThePage)
{
    openOnPage();
    click(page->presentDesktopItems()[0]);
    click(tileOf(3));
    app.settingDevice().buttonSetting.set(4);
    QTest::mouseClick(page->sizeSlider(), Qt::LeftButton, {}, tick(page->sizeSlider(), 2));
    QTest::mouseClick(page->speedSlider(), Qt::LeftButton, {}, tick(page->speedSlider(), 0));
    const auto edited = std::make_tuple(quint64{2}, quint64{0}, quint64{0}, quint64{3});
    ASSERT_EQ(pointerSettings(), edited);
    const auto edittedPage = shown();
    sizeChanges = 0;
    styleChanges = 0;

    const struct
    {
        int button;
        bool yes;
    } answers[] = {{1, false}, {2, true}};
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.yes);
        // Two windows run: the settings window and the alert over it.
        pressWhenShown(2, answer.button, [](PVAlertViewController* alert) {
            EXPECT_EQ(alert->titleTextField()->text(), text("PV012"));
            EXPECT_EQ(alert->textField()->text(), text("Do you want to reset all pointer settings?"));
        });
        click(page->resetButton());
        // The next click of the reset button counts only after the button's
        // pause between two actions.
        QTest::qWait(static_cast<int>(PVButton::kActionInterval * 1000) + 50);
        if (!answer.yes) {
            EXPECT_EQ(pointerSettings(), edited);
            EXPECT_EQ(shown(), edittedPage);
            EXPECT_EQ(itemsSelected(), onlyItem(0));
        } else {
            EXPECT_EQ(pointerSettings(), std::make_tuple(quint64{1}, quint64{2}, quint64{2}, quint64{1}));
            EXPECT_EQ(shown(), std::make_tuple(quint64{1}, quint64{2}, quint64{1}, std::vector<quint64>{1}));
            EXPECT_EQ(itemsSelected(), onlyItem(2));
        }
        EXPECT_EQ(app.settingDevice().buttonSetting.value(), 4u);
        EXPECT_EQ(sizeChanges, 0);
    }
}

TEST_F(PointerSettings, ShowingThePageAfterCancelShowsTheRevertedSettings)
{
    openOnPage();
    QTest::mouseClick(page->sizeSlider(), Qt::LeftButton, {}, tick(page->sizeSlider(), 0));
    QTest::mouseClick(page->speedSlider(), Qt::LeftButton, {}, tick(page->speedSlider(), 4));
    click(page->presentDesktopItems()[1]);
    click(tileOf(2));
    ASSERT_EQ(pointerSettings(), std::make_tuple(quint64{0}, quint64{4}, quint64{1}, quint64{2}));
    click(main->cancelButton());
    ASSERT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(pointerSettings(), std::make_tuple(quint64{1}, quint64{2}, quint64{2}, quint64{1}));
    open();
    EXPECT_EQ(shown(), std::make_tuple(quint64{1}, quint64{2}, quint64{1}, std::vector<quint64>{1}));
    EXPECT_EQ(itemsSelected(), onlyItem(2));
}

TEST_F(PointerSettings, TickMarksAreLinesOfFifteenAcrossTheTrackThroughEachTick)
{
    openOnPage();
    DXSlider* slider = page->speedSlider();
    // The path the delegate gives, for a horizontal and a vertical slider.
    for (bool vertical : {false, true}) {
        SCOPED_TRACE(vertical);
        slider->setVertical(vertical);
        for (quint64 index = 0; index < 5; ++index) {
            const QPointF centre = slider->centerPointAtTickMarkIndex(index);
            const std::optional<QPainterPath> path = page->tickMarkStyleAtIndex(slider, index);
            ASSERT_TRUE(path.has_value());
            ASSERT_EQ(path->elementCount(), 2);
            const QPointF from = path->elementAt(0);
            const QPointF to = path->elementAt(1);
            const QPointF expectedFrom = vertical ? centre - QPointF(7.5, 0) : centre - QPointF(0, 7.5);
            const QPointF expectedTo = vertical ? centre + QPointF(7.5, 0) : centre + QPointF(0, 7.5);
            EXPECT_EQ(from, expectedFrom);
            EXPECT_EQ(to, expectedTo);
        }
    }
    slider->setVertical(false);

    // On screen: a mark away from the knob shows from 7.5 above the track's
    // centre to 7.5 below it, not as far as the default mark's 10.
    slider->setCurrentTickMark(0);
    const QImage shot = grabWidget(controller->window(), "speed-slider");
    const QPoint mark = slider->mapTo(controller->window(), tick(slider, 3));
    const auto inked = [&](int dy) {
        for (int dx : {-1, 0, 1}) {
            if (shot.pixelColor(mark.x() + dx, mark.y() + dy) != QColor(Qt::white)) {
                return true;
            }
        }
        return false;
    };
    for (int dy : {-6, -4, 4, 6}) {
        EXPECT_TRUE(inked(dy)) << dy;
    }
    for (int dy : {-9, 9}) {
        EXPECT_FALSE(inked(dy)) << dy;
    }
}

} // namespace
