#include "overlays/PVMagnifierWindowController.h"
#include "screenFixture.h"
#include "support/FakeScreenProvider.h"
#include "support/LogCapture.h"

#include <cstdlib>

namespace {

// Red and green of two colours within `tolerance` (the pattern's blue cells
// blur at their edges when enlarged; red and green run smoothly).
::testing::AssertionResult samePlace(const QColor& seen, const QColor& expected, int tolerance = 3)
{
    if (std::abs(seen.red() - expected.red()) <= tolerance && std::abs(seen.green() - expected.green()) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << describe(seen) << " instead of about " << describe(expected);
}

class MagnifierOverlayOnScreen : public ScreenFixture
{
  protected:
    std::unique_ptr<PVMagnifierWindowController> shownAt(QPoint pixel)
    {
        auto controller = std::make_unique<PVMagnifierWindowController>(*globals);
        controller->showOnScreen(screen);
        controller->showImageCenter(globalOf(pixel));
        settle();
        return controller;
    }

    static const QImage& viewOf(const PVMagnifierWindowController& controller)
    {
        return controller.window()->imageView()->image();
    }
};

// View pixels (in steps of two) against the screen pixels they enlarge.
const int kOffsets[] = {-30, -17, 0, 9, 30};

TEST_F(MagnifierOverlayOnScreen, ViewShowsTheScreenUnderTheCentreTwiceAsLarge)
{
    LogCapture log;
    auto controller = shownAt({600, 400});
    const QImage view = viewOf(*controller).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(view.size(), QSize(200, 200));
    EXPECT_EQ(controller->screenCaptureRef().size(), QSize(1920 + 400, 1080 + 400));
    for (const int dx : kOffsets) {
        for (const int dy : kOffsets) {
            EXPECT_TRUE(samePlace(view.pixelColor(100 + 2 * dx, 100 + 2 * dy),
                                  PatternWindow::colorAt(QPoint(600 + dx, 400 + dy))))
                << dx << ", " << dy;
        }
    }
    // Outside the circle the view is transparent.
    for (const QPoint corner : {QPoint(2, 2), QPoint(197, 2), QPoint(2, 197), QPoint(197, 197), QPoint(20, 20)}) {
        EXPECT_EQ(view.pixelColor(corner).alpha(), 0) << corner.x() << ", " << corner.y();
    }

    // What a user sees: the enlarged circle around the centre, the screen
    // itself outside it.
    const QImage shot = grabScreen("magnifier_at_600_400");
    for (const int d : kOffsets) {
        EXPECT_TRUE(samePlace(shot.pixelColor(600 + 2 * d, 400 + d / 2 * 2),
                              PatternWindow::colorAt(QPoint(600 + d, 400 + d / 2))))
            << d;
    }
    for (const QPoint pixel : {QPoint(505, 305), QPoint(695, 495), QPoint(499, 400), QPoint(10, 10)}) {
        EXPECT_TRUE(showsPattern(shot, pixel));
    }

    controller->dismiss();
    EXPECT_EQ(controller->window(), nullptr);
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "PVMagnifierWindow dealloc"));
    controller.reset();
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "PVMagnifierWindowController dealloc"));
}

TEST_F(MagnifierOverlayOnScreen, CentreOnTheEdgeGivesAFullCircleWithTheOuterHalfTransparent)
{
    auto controller = shownAt({0, 400});
    const QImage view = viewOf(*controller).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(view.size(), QSize(200, 200));
    // Left of the screen's edge: nothing; right of it: the screen, enlarged,
    // to the circle's rim.
    for (const QPoint outer : {QPoint(20, 100), QPoint(60, 40), QPoint(98, 160)}) {
        EXPECT_EQ(view.pixelColor(outer).alpha(), 0) << outer.x() << ", " << outer.y();
    }
    for (const QPoint inner : {QPoint(104, 100), QPoint(120, 12), QPoint(196, 100), QPoint(150, 180)}) {
        EXPECT_EQ(view.pixelColor(inner).alpha(), 255) << inner.x() << ", " << inner.y();
    }
    EXPECT_TRUE(samePlace(view.pixelColor(150, 100), PatternWindow::colorAt(QPoint(25, 400))));

    const QImage shot = grabScreen("magnifier_on_the_left_edge");
    EXPECT_TRUE(samePlace(shot.pixelColor(50, 400), PatternWindow::colorAt(QPoint(25, 400))));
    EXPECT_TRUE(showsPattern(shot, {0, 290}));
}

TEST_F(MagnifierOverlayOnScreen, CentreOffThisScreenHidesTheView)
{
    auto controller = shownAt({600, 400});
    controller->showImageCenter(QPointF(2500, 400));
    settle();
    EXPECT_FALSE(controller->window()->imageView()->isVisibleTo(controller->window()));
    EXPECT_TRUE(controller->window()->shape().isEmpty());
    const QImage shot = grabScreen("magnifier_centre_on_another_screen");
    EXPECT_TRUE(showsPattern(shot, {600, 400}));
    EXPECT_TRUE(showsPattern(shot, {550, 400}));

    // The screen's far corner still counts as on the screen.
    controller->showImageCenter(globalOf({1920, 0}));
    EXPECT_TRUE(controller->window()->imageView()->isVisibleTo(controller->window()));
    EXPECT_FALSE(controller->window()->shape().isEmpty());
}

TEST_F(MagnifierOverlayOnScreen, LaterChangesOfTheScreenAppearOnlyWhenShownAgain)
{
    auto first = shownAt({600, 400});
    pattern.setShifted(true);
    settle();
    first->showImageCenter(globalOf({700, 450}));
    EXPECT_TRUE(samePlace(viewOf(*first).pixelColor(100, 100), PatternWindow::colorAt(QPoint(700, 450))));
    first->dismiss();
    settle();

    auto second = shownAt({700, 450});
    EXPECT_TRUE(samePlace(viewOf(*second).pixelColor(100, 100), PatternWindow::colorAt(QPoint(700, 450), true)));
    grabScreen("magnifier_shown_again_after_a_change");
}

TEST_F(MagnifierOverlayOnScreen, ScreenThatCannotBeCapturedLeavesTheWindowEmpty)
{
    // A screen the application has no Qt screen for: it has gone, or was
    // never there.
    FakeScreenProvider provider;
    const PVScreen gone = FakeScreenProvider::screen("gone-1", 7, screen.frame);
    provider.setScreens({gone});
    PVGlobalObjectManager fakeGlobals(provider);
    LogCapture log;
    PVMagnifierWindowController controller(fakeGlobals);
    controller.showOnScreen(gone);
    EXPECT_TRUE(log.contains(DXLogLevelWarn, "Failed to create image from bitmap context"));
    EXPECT_TRUE(controller.screenCaptureRef().isNull());

    controller.showImageCenter(globalOf({600, 400}));
    settle();
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "empty"));
    EXPECT_TRUE(controller.window()->imageView()->image().isNull());
    EXPECT_TRUE(controller.window()->shape().isEmpty());
    const QImage shot = grabScreen("magnifier_without_a_snapshot");
    EXPECT_TRUE(showsPattern(shot, {600, 400}));
}

} // namespace
