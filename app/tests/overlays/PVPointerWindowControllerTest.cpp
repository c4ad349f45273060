#include "overlays/PVPointerWindowController.h"
#include "settings/PVGlobalObjectManager.h"
#include "support/FakeScreenProvider.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

QImage solidImage(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// Two screens side by side, 1000 × 800 points each; a third above the first.
class PointerWindowController : public ::testing::Test
{
  protected:
    PointerWindowController()
    {
        provider.setScreens({left, right, above});
        globals = std::make_unique<PVGlobalObjectManager>(provider);
    }

    std::unique_ptr<PVPointerWindowController> shownAt(const PVScreen& screen, QPointF center,
                                                       quint64 level = 2)
    {
        auto controller = std::make_unique<PVPointerWindowController>(*globals);
        controller->setControl(1);
        controller->setPointerImage(solidImage({70, 70}, Qt::red));
        controller->setPointerSizeLevel(level);
        controller->showOnScreen(screen);
        controller->setPointerCenter(center);
        return controller;
    }

    const PVScreen left = FakeScreenProvider::screen("DP-1", 1, {0, 0, 1000, 800});
    const PVScreen right = FakeScreenProvider::screen("DP-2", 2, {1000, 0, 1000, 800});
    const PVScreen above = FakeScreenProvider::screen("DP-3", 3, {0, 800, 1000, 600});
    FakeScreenProvider provider;
    std::unique_ptr<PVGlobalObjectManager> globals;
};

TEST_F(PointerWindowController, SizeLevelsGiveTheirSquareAndAnyOtherLevelNone)
{
    const struct
    {
        quint64 level;
        double side;
    } cases[] = {{0, 35.0}, {1, 52.5}, {2, 70.0}, {3, 0.0}, {99, 0.0}, {~0ull, 0.0}};
    for (const auto& c : cases) {
        auto controller = shownAt(left, {500, 400}, c.level);
        EXPECT_EQ(controller->pointerSize(), QSizeF(c.side, c.side)) << c.level;
        EXPECT_EQ(controller->imageFrame(), QRectF(500 - c.side / 2, 400 - c.side / 2, c.side, c.side)) << c.level;
        // A square of side 0 leaves nothing of the window on screen.
        EXPECT_EQ(controller->window()->shape().isEmpty(), c.side == 0.0) << c.level;
    }
}

TEST_F(PointerWindowController, WindowsCoverTheirScreensInQtCoordinates)
{
    // The primary screen is the one at the origin; frames turn over on its
    // height (800) into Qt's top-left coordinates.
    const struct
    {
        PVScreen screen;
        QRect geometry;
    } cases[] = {{left, {0, 0, 1000, 800}}, {right, {1000, 0, 1000, 800}}, {above, {0, -600, 1000, 600}}};
    for (const auto& c : cases) {
        auto controller = shownAt(c.screen, {0, 0});
        EXPECT_EQ(controller->window()->geometry(), c.geometry) << c.screen.name.toStdString();
        EXPECT_TRUE(controller->window()->isVisible());
    }
}

TEST_F(PointerWindowController, CentreOnTheBorderPutsHalfTheSquareInEachScreensWindow)
{
    auto onLeft = shownAt(left, {1000, 400});
    auto onRight = shownAt(right, {1000, 400});
    EXPECT_EQ(onLeft->imageFrame(), QRectF(965, 365, 70, 70));
    EXPECT_EQ(onRight->imageFrame(), QRectF(-35, 365, 70, 70));
    EXPECT_EQ(onLeft->window()->shape(), QRegion(965, 365, 35, 70));
    EXPECT_EQ(onRight->window()->shape(), QRegion(0, 365, 35, 70));

    // The screen above holds the border's upper end: a centre at the corner
    // shows a quarter there.
    auto onAbove = shownAt(above, {1000, 800});
    EXPECT_EQ(onAbove->window()->shape(), QRegion(965, 565, 35, 35));
}

TEST_F(PointerWindowController, CentreOnAnotherScreenLeavesThisWindowEmpty)
{
    auto controller = shownAt(left, {1500, 400});
    EXPECT_EQ(controller->imageFrame(), QRectF(1465, 365, 70, 70));
    EXPECT_TRUE(controller->window()->shape().isEmpty());
    controller->setPointerCenter({500, 400});
    EXPECT_EQ(controller->window()->shape(), QRegion(465, 365, 70, 70));
}

TEST_F(PointerWindowController, HidingAndShowingRestoresTheImageWithoutANewLayout)
{
    auto controller = shownAt(left, {500, 400});
    const QImage image = controller->pointerImage();
    PVImageView* view = controller->window()->imageView();
    const QRect placed = view->geometry();

    controller->setShouldHide(true);
    EXPECT_TRUE(view->image().isNull());
    EXPECT_TRUE(controller->window()->shape().isEmpty());
    EXPECT_EQ(view->geometry(), placed);

    controller->setShouldHide(false);
    EXPECT_EQ(view->image().cacheKey(), image.cacheKey());
    EXPECT_EQ(view->geometry(), placed);
    EXPECT_EQ(controller->window()->shape(), QRegion(placed));
}

TEST_F(PointerWindowController, HiddenImageStaysHiddenWhileTheCentreMoves)
{
    auto controller = shownAt(left, {500, 400});
    controller->setShouldHide(true);
    controller->setPointerCenter({300, 300});
    EXPECT_TRUE(controller->window()->imageView()->image().isNull());
    EXPECT_TRUE(controller->window()->shape().isEmpty());
}

TEST_F(PointerWindowController, ShowingASecondTimeDoesNothing)
{
    auto controller = shownAt(left, {500, 400});
    controller->showOnScreen(right);
    EXPECT_EQ(controller->onScreen()->displayID, 1u);
    EXPECT_EQ(controller->window()->geometry(), QRect(0, 0, 1000, 800));
}

TEST_F(PointerWindowController, NothingIsLaidOutBeforeAScreenOrWithoutAnImage)
{
    PVPointerWindowController controller(*globals);
    controller.setPointerImage(solidImage({70, 70}, Qt::red));
    controller.setPointerSizeLevel(2);
    controller.setPointerCenter({500, 400});
    EXPECT_TRUE(controller.imageFrame().isNull());
    EXPECT_FALSE(controller.window()->isVisible());

    auto imageless = shownAt(left, {500, 400});
    imageless->setPointerImage(QImage());
    EXPECT_TRUE(imageless->window()->shape().isEmpty());
}

TEST_F(PointerWindowController, DismissingReleasesTheWindowForGood)
{
    LogCapture log;
    auto controller = shownAt(left, {500, 400});
    controller->dismissOnScreen();
    EXPECT_EQ(controller->window(), nullptr);
    EXPECT_FALSE(controller->onScreen().has_value());
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "PVPointerWindow dealloc"));

    // No window comes back, and changes of the centre or image are harmless.
    controller->showOnScreen(right);
    controller->setPointerCenter({1500, 400});
    controller->setShouldHide(true);
    EXPECT_EQ(controller->window(), nullptr);
    EXPECT_FALSE(controller->onScreen().has_value());

    controller.reset();
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "PVPointerWindowController dealloc"));
}

TEST_F(PointerWindowController, DebugDescriptionEndsWithTheKind)
{
    auto controller = shownAt(left, {500, 400});
    controller->setControl(2);
    const QString text = controller->debugDescription();
    EXPECT_TRUE(text.startsWith("<PVPointerWindowController: 0x")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(">, control = 2")) << text.toStdString();
}

} // namespace
