#include "ui/controls/DXSlider.h"
#include "support/WidgetShots.h"
#include "ui/controls/PVColorTheme.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// Records what the slider tells its delegate, and may replace the marks.
class Delegate : public QObject, public DXSliderDelegate
{
  public:
    std::optional<QPainterPath> tickMarkStyleAtIndex(DXSlider*, quint64 index) override
    {
        if (!customMarks) {
            return std::nullopt;
        }
        QPainterPath path;
        path.moveTo(30.0 + 60.0 * static_cast<double>(index), 2);
        path.lineTo(30.0 + 60.0 * static_cast<double>(index), 6);
        return path;
    }
    void valueDidChanged(DXSlider*, double value) override { values.push_back(value); }
    void tickMarkDidChanged(DXSlider*, quint64 index) override { ticks.push_back(index); }

    bool customMarks = false;
    std::vector<double> values;
    std::vector<quint64> ticks;
};

class SliderTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(340, 340);
        slider = new DXSlider(window.get());
        slider->setGeometry(20, 20, 300, 40);
        slider->setDelegate(&delegate);
        slider->setMouseEventDetect([this](DXSlider*) { ++detected; });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void click(double x, double y = 20)
    {
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(static_cast<int>(x), static_cast<int>(y)));
    }

    std::unique_ptr<QWidget> window;
    DXSlider* slider = nullptr;
    Delegate delegate;
    int detected = 0;
};

TEST_F(SliderTest, DefaultsAreTheDocumentedLook)
{
    EXPECT_EQ(slider->knobRadius(), 10.0);
    EXPECT_EQ(slider->tickMarkPadding(), 20.0);
    EXPECT_EQ(slider->knobFillColor(), QColor(Qt::yellow));
    EXPECT_EQ(slider->knobBorderColor(), QColor::fromRgbF(1, 0.5, 0));
    EXPECT_EQ(slider->fullLineColor(), QColor(Qt::blue));
    EXPECT_EQ(slider->tickMarkColor(), QColor(Qt::black));
    EXPECT_FALSE(slider->vertical());
    EXPECT_EQ(slider->numberOnTickMarks(), 0u);
    EXPECT_EQ(slider->value(), 0.0);
}

TEST_F(SliderTest, FiveMarksSitEverySixtyPointsAndClicksSnapToThem)
{
    slider->setNumberOnTickMarks(5);
    EXPECT_EQ(slider->tickmarkFrameByRect(slider->rect()).width(), 240.0);
    for (quint64 i = 0; i < 5; ++i) {
        EXPECT_EQ(slider->centerPointAtTickMarkIndex(i), QPointF(30.0 + 60.0 * i, 20.0)) << i;
    }
    const struct
    {
        double x;
        quint64 tick;
        double value;
    } cases[] = {{100, 1, 0.25}, {0, 0, 0.0}, {400, 4, 1.0}, {270, 4, 1.0}, {59, 0, 0.0}, {61, 1, 0.25}};
    for (const auto& c : cases) {
        slider->detectMouseEventAtPointInWindow(QPointF(20 + c.x, 40));
        EXPECT_EQ(slider->currentTickMark(), c.tick) << c.x;
        EXPECT_DOUBLE_EQ(slider->value(), c.value) << c.x;
        EXPECT_EQ(delegate.ticks.back(), c.tick);
    }
    EXPECT_EQ(detected, 6);
    EXPECT_TRUE(delegate.values.empty()) << "with marks only the mark is reported";
}

TEST_F(SliderTest, TheKnobSitsOnTheMarkOnlyWhenAskedTo)
{
    slider->setNumberOnTickMarks(5);
    click(100);
    EXPECT_EQ(slider->knobCenterInRect(slider->rect()).x(), 80.0) << "10 + 0.25 * 280";
    EXPECT_EQ(grabWidget(slider, "slider-free").pixelColor(80, 20), QColor(Qt::yellow));
    slider->setAllowsTickMarkValuesOnly(true);
    EXPECT_EQ(slider->knobCenterInRect(slider->rect()).x(), 90.0);
    const QImage shot = grabWidget(slider, "slider-on-mark");
    EXPECT_EQ(shot.pixelColor(90, 20), QColor(Qt::yellow));
    EXPECT_NE(shot.pixelColor(75, 20), QColor(Qt::yellow));
}

TEST_F(SliderTest, SetValueClampsAndPicksTheNearestMark)
{
    slider->setNumberOnTickMarks(5);
    const struct
    {
        double set;
        double value;
        quint64 tick;
    } cases[] = {{1.7, 1.0, 4}, {0.125, 0.125, 1}, {0.124, 0.124, 0},
                 {-3, 0.0, 0},  {0.375, 0.375, 2}, {NAN, 0, 0}};
    for (const auto& c : cases) {
        slider->setValue(c.set);
        EXPECT_DOUBLE_EQ(slider->value(), c.value) << c.set;
        EXPECT_EQ(slider->currentTickMark(), c.tick) << c.set;
    }
}

TEST_F(SliderTest, WithoutMarksClicksMapAlongTheKnobTrack)
{
    const struct
    {
        double x;
        double value;
    } cases[] = {{10, 0.0}, {290, 1.0}, {150, 0.5}, {0, 0.0}, {300, 1.0}};
    for (const auto& c : cases) {
        click(c.x);
        EXPECT_DOUBLE_EQ(slider->value(), c.value) << c.x;
        EXPECT_DOUBLE_EQ(delegate.values.back(), c.value) << "the delegate hears the clamped value";
    }
    EXPECT_TRUE(delegate.ticks.empty());
}

TEST_F(SliderTest, ATrackShorterThanItsKnobGivesTheFirstValue)
{
    // 16 points wide with a knob of radius 10 (and, with marks, padding on
    // both sides): no room to move the knob, so every click lands on 0.
    slider->setGeometry(20, 20, 16, 40);
    for (const quint64 marks : {quint64{0}, quint64{5}}) {
        slider->setNumberOnTickMarks(marks);
        slider->setValue(0.5);
        for (const double x : {0.0, 8.0, 15.0}) {
            click(x);
            EXPECT_EQ(slider->value(), 0.0) << marks << " marks, x " << x;
            if (marks != 0) {
                EXPECT_EQ(slider->currentTickMark(), 0u);
            }
        }
    }
}

TEST_F(SliderTest, AVerticalSliderStartsAtTheBottom)
{
    slider->setVertical(true);
    slider->setGeometry(20, 20, 40, 300);
    click(20, 299);
    EXPECT_NEAR(slider->value(), 0.0, 0.01);
    click(20, 10);
    EXPECT_DOUBLE_EQ(slider->value(), 1.0);
    slider->setValue(0.25);
    EXPECT_EQ(slider->knobCenterInRect(slider->rect()), QPointF(20, 300 - 10 - 0.25 * 280));
    EXPECT_EQ(grabWidget(slider, "slider-vertical").pixelColor(20, 220), QColor(Qt::yellow));
    slider->setNumberOnTickMarks(5);
    EXPECT_EQ(slider->centerPointAtTickMarkIndex(0), QPointF(20, 270));
    EXPECT_EQ(slider->centerPointAtTickMarkIndex(4), QPointF(20, 30));
}

TEST_F(SliderTest, TheTrackIsFullUpToTheKnobAndEmptyAfter)
{
    slider->setValue(0.0);
    QImage shot = grabWidget(slider, "slider-zero");
    // Inside the 3-point track the empty part (light grey) runs from the
    // knob to W - r; no blue shows anywhere.
    EXPECT_TRUE(sameColor(shot.pixelColor(200, 20), QColor(170, 170, 170), 2))
        << describe(shot.pixelColor(200, 20));
    for (int x = 0; x < 300; ++x) {
        ASSERT_NE(shot.pixelColor(x, 20), QColor(Qt::blue)) << x;
    }
    EXPECT_NE(shot.pixelColor(295, 20), QColor(170, 170, 170)) << "the track ends at W - r";

    slider->setValue(0.5);
    shot = grabWidget(slider, "slider-half");
    EXPECT_EQ(shot.pixelColor(60, 20), QColor(Qt::blue));
    EXPECT_TRUE(sameColor(shot.pixelColor(240, 20), QColor(170, 170, 170), 2));
}

TEST_F(SliderTest, APressedKnobIsDrawnDarker)
{
    slider->setValue(0.5);
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(150, 20));
    EXPECT_TRUE(slider->highlighted());
    EXPECT_EQ(slider->knobHighlightFillColor(), darkerColor(Qt::yellow));
    const QColor pressed = grabWidget(slider, "slider-pressed").pixelColor(150, 20);
    EXPECT_TRUE(sameColor(pressed, QColor(191, 191, 0), 1)) << describe(pressed);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(150, 20));
    EXPECT_FALSE(slider->highlighted());
    EXPECT_EQ(grabWidget(slider).pixelColor(150, 20), QColor(Qt::yellow));

    slider->setKnobHighlightFillColor(themeBlueColor());
    slider->setHighlighted(true);
    EXPECT_EQ(grabWidget(slider).pixelColor(150, 20), themeBlueColor());
}

TEST_F(SliderTest, ADelegateMayDrawEveryMarkItself)
{
    slider->setNumberOnTickMarks(5);
    slider->setValue(1.0);
    QImage shot = grabWidget(slider, "slider-default-marks");
    EXPECT_LT(shot.pixelColor(90, 12).lightness(), 200) << "default mark crosses the track";
    delegate.customMarks = true;
    shot = grabWidget(slider, "slider-custom-marks");
    EXPECT_GT(shot.pixelColor(90, 12).lightness(), 200) << "the default mark is gone";
    EXPECT_LT(shot.pixelColor(90, 4).lightness(), 200) << "the delegate's mark shows";
}

TEST_F(SliderTest, MarksBeyondTheLastAndSingleMarksStayInRange)
{
    slider->setNumberOnTickMarks(1);
    click(250);
    EXPECT_EQ(slider->value(), 0.0);
    slider->setCurrentTickMark(3);
    EXPECT_EQ(slider->currentTickMark(), 0u);
    EXPECT_EQ(slider->value(), 0.0);
    EXPECT_EQ(slider->centerPointAtTickMarkIndex(0), QPointF(150, 20));

    slider->setNumberOnTickMarks(5);
    slider->setCurrentTickMark(9);
    EXPECT_EQ(slider->currentTickMark(), 4u);
    EXPECT_EQ(slider->value(), 1.0);
    slider->setCurrentTickMark(2);
    EXPECT_EQ(slider->value(), 0.5);

    slider->setNumberOnTickMarks(0);
    slider->setCurrentTickMark(2);
    EXPECT_EQ(slider->value(), 0.0);
}

TEST_F(SliderTest, ADelegateThatIsDestroyedIsForgotten)
{
    {
        Delegate shortLived;
        slider->setDelegate(&shortLived);
    }
    EXPECT_EQ(slider->delegate(), nullptr);
    click(100);
    EXPECT_EQ(detected, 1);
}

} // namespace
