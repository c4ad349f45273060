#include "overlays/PVPointerWindowController.h"
#include "platform/X11InputLayer.h"
#include "settings/PVPointerStyle.h"
#include "screenFixture.h"

#include <limits>

namespace {

QImage solidImage(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// The smallest rectangle that holds every pixel of exactly that colour.
QRect areaOf(const QImage& shot, QColor color)
{
    QRect area;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (shot.pixelColor(x, y) == color) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

class PointerOverlayOnScreen : public ScreenFixture
{
  protected:
    std::unique_ptr<PVPointerWindowController> shownAt(QPoint pixel, const QImage& image, quint64 level = 2)
    {
        auto controller = std::make_unique<PVPointerWindowController>(*globals);
        controller->setControl(1);
        controller->setPointerImage(image);
        controller->setPointerSizeLevel(level);
        controller->showOnScreen(screen);
        controller->setPointerCenter(globalOf(pixel));
        settle();
        return controller;
    }
};

// Pure colours without blue never occur in the pattern.
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kYellow(255, 255, 0);

TEST_F(PointerOverlayOnScreen, ImageShowsAtTheCentreAndTheScreenStaysVisibleAroundIt)
{
    auto controller = shownAt({600, 400}, solidImage({70, 70}, kRed));
    QImage shot = grabScreen("pointer_overlay_at_600_400");
    EXPECT_EQ(areaOf(shot, kRed), QRect(565, 365, 70, 70));
    for (const QPoint pixel : {QPoint(564, 400), QPoint(635, 400), QPoint(600, 364), QPoint(600, 435),
                               QPoint(10, 10), QPoint(1900, 1060)}) {
        EXPECT_TRUE(showsPattern(shot, pixel));
    }

    controller->setShouldHide(true);
    settle();
    shot = grabScreen("pointer_overlay_hidden");
    EXPECT_TRUE(areaOf(shot, kRed).isNull());
    EXPECT_TRUE(showsPattern(shot, {600, 400}));

    controller->setShouldHide(false);
    controller->setPointerCenter(globalOf({1200, 900}));
    settle();
    shot = grabScreen("pointer_overlay_moved_to_1200_900");
    EXPECT_EQ(areaOf(shot, kRed), QRect(1165, 865, 70, 70));
    EXPECT_TRUE(showsPattern(shot, {600, 400}));

    controller->dismissOnScreen();
    settle();
    shot = grabScreen("pointer_overlay_dismissed");
    EXPECT_TRUE(areaOf(shot, kRed).isNull());
    EXPECT_TRUE(showsPattern(shot, {1200, 900}));
}

TEST_F(PointerOverlayOnScreen, WindowWithNothingToShowHidesNothing)
{
    // Shown over the whole screen, but before any centre and without an
    // image: the pattern stays visible everywhere.
    PVPointerWindowController controller(*globals);
    controller.setPointerSizeLevel(2);
    controller.showOnScreen(screen);
    settle();
    QImage shot = grabScreen("pointer_overlay_before_a_centre");
    for (const QPoint pixel : {QPoint(0, 0), QPoint(960, 540), QPoint(1919, 1079)}) {
        EXPECT_TRUE(showsPattern(shot, pixel));
    }
    controller.setPointerCenter(globalOf({960, 540}));
    settle();
    shot = grabScreen("pointer_overlay_without_image");
    EXPECT_TRUE(showsPattern(shot, {960, 540}));
}

TEST_F(PointerOverlayOnScreen, ImagesAreScaledDownToTheSquareButNeverUp)
{
    const struct
    {
        const char* name;
        QSize imageSize;
        quint64 level;
        QColor color;
        QRect seen;      ///< around the centre (600, 400)
        QPoint uncovered; ///< in the square, beside the image
    } cases[] = {
        {"wide_image_level_2", {200, 100}, 2, kGreen, {565, 383, 70, 35}, {600, 370}},
        {"small_image_level_2", {20, 20}, 2, kYellow, {590, 390, 20, 20}, {570, 400}},
        {"large_image_level_0", {100, 100}, 0, kRed, {583, 383, 35, 35}, {600, 380}},
    };
    for (const auto& c : cases) {
        auto controller = shownAt({600, 400}, solidImage(c.imageSize, c.color), c.level);
        const QImage shot = grabScreen(QStringLiteral("pointer_overlay_%1").arg(c.name));
        EXPECT_EQ(areaOf(shot, c.color), c.seen) << c.name;
        // What the image leaves free of the square shows the screen, not a
        // dark band, even without a compositor.
        EXPECT_TRUE(showsPattern(shot, c.uncovered)) << c.name;
        controller.reset();
        settle();
    }
}

TEST_F(PointerOverlayOnScreen, RingStyleShowsTheScreenInsideAndAroundTheRing)
{
    // The built-in ring at size level 1 (53 points): its transparent middle
    // and corners show the screen; only the ring itself covers it.
    const QImage ring = PVPointerStyle::resourceImage("pointer_blue_ring");
    ASSERT_FALSE(ring.isNull());
    auto controller = shownAt({600, 400}, ring, 1);
    const QImage shot = grabScreen("pointer_overlay_blue_ring_level_1");
    for (const QPoint pixel : {QPoint(600, 400), QPoint(575, 375), QPoint(625, 425), QPoint(590, 405)}) {
        EXPECT_TRUE(showsPattern(shot, pixel));
    }
    const auto coveredOnRow = [&shot](int from, int to) {
        int covered = 0;
        for (int x = from; x <= to; ++x) {
            covered += shot.pixelColor(x, 400) != PatternWindow::colorAt(QPoint(x, 400)) ? 1 : 0;
        }
        return covered;
    };
    EXPECT_GE(coveredOnRow(574, 590), 2);
    EXPECT_GE(coveredOnRow(610, 626), 2);
    EXPECT_EQ(coveredOnRow(500, 573) + coveredOnRow(627, 700), 0);
}

TEST_F(PointerOverlayOnScreen, ClickOnTheImageReachesTheWindowBelow)
{
    X11InputLayer input;
    ASSERT_TRUE(input.available()) << input.unavailableReason();
    auto controller = shownAt({600, 400}, solidImage({70, 70}, kRed));
    ASSERT_EQ(areaOf(grabScreen(), kRed), QRect(565, 365, 70, 70));

    input.leftButton(QPointF(600, 400), true, 0);
    input.leftButton(QPointF(600, 400), false, 0);
    settle();
    ASSERT_EQ(pattern.presses.size(), 1u);
    EXPECT_EQ(pattern.presses.front(), QPoint(600, 400));
    EXPECT_NE(QGuiApplication::focusWindow(), controller->window()->windowHandle());
}

} // namespace
