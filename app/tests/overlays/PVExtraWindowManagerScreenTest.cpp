#include "overlays/PVExtraWindowManager.h"
#include "platform/PVNotificationCenter.h"
#include "screenFixture.h"
#include "settings/PVDevice.h"
#include "settings/PVPlistManager.h"
#include "settings/PVPointerStyleManager.h"
#include "support/SettingsFolder.h"

namespace {

// The manager on the application's one screen, with a settings device that
// shows the built-in red dot at size level 2.
class ExtraWindowManagerOnScreen : public ScreenFixture
{
  protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        device.setPointerStyle(PVPointerStyle({{"_id", 1}, {"tag", 0}, {"image_name", "pointer_red_dot"}}));
        device.setPointerSize(2);
        ASSERT_FALSE(device.pointerStyle()->image().isNull());
        managerPtr = std::make_unique<PVExtraWindowManager>(
            *globals, [this]() -> const PVDevice& { return device; }, center);
    }

    SettingsFolder folder;
    PVPlistManager store;
    PVPointerStyleManager styles{store};
    PVDevice device{PVDevice::defalutDeviceDict(), store, styles};
    PVNotificationCenter center;
    std::unique_ptr<PVExtraWindowManager> managerPtr;
};

TEST_F(ExtraWindowManagerOnScreen, PointerShowsAtTheScreensCentreUntilDismissed)
{
    const QPoint middle(960, 540);
    managerPtr->startShowingAtPoint(globalOf(middle), PVOverlayControlPointer);
    settle();
    QImage shot = grabScreen("manager_pointer_at_the_centre");
    EXPECT_FALSE(showsPattern(shot, middle));
    EXPECT_TRUE(showsPattern(shot, middle + QPoint(40, 0)));
    EXPECT_TRUE(showsPattern(shot, middle - QPoint(0, 40)));
    // The dot's middle is its own red.
    EXPECT_GT(shot.pixelColor(middle).red(), 150);
    EXPECT_LT(shot.pixelColor(middle).green(), 100);

    managerPtr->dismissControl(PVOverlayControlPointer);
    settle();
    shot = grabScreen("manager_pointer_dismissed");
    EXPECT_TRUE(showsPattern(shot, middle));
}

TEST_F(ExtraWindowManagerOnScreen, HiddenGlassIsNotInTheMagnifiedCapture)
{
    // The magnifier's hold: the glass hides, then the capture starts at the
    // same centre; the capture shows the screen, not the glass.
    const QPoint at(700, 450);
    managerPtr->startShowingAtPoint(globalOf(at), PVOverlayControlMagnifierGlass);
    settle();
    EXPECT_FALSE(showsPattern(grabScreen("manager_glass"), at + QPoint(-8, -8)));
    managerPtr->hide(true, PVOverlayControlMagnifierGlass);
    settle();
    managerPtr->startShowingAtPoint(managerPtr->currentCenter(), PVOverlayControlMagnifiedCapture);
    settle();
    const QImage shot = grabScreen("manager_capture_under_the_hidden_glass");
    const QImage view = managerPtr->mwcs()->first()->window()->imageView()->image();
    ASSERT_EQ(view.size(), QSize(200, 200));
    // The glass's frame lay 8 points up and left of the centre.
    for (const QPoint offset : {QPoint(0, 0), QPoint(-8, -8), QPoint(-15, 0), QPoint(12, 14)}) {
        const QColor expected = PatternWindow::colorAt(at + offset);
        const QColor seen = view.pixelColor(QPoint(100, 100) + 2 * offset);
        EXPECT_LE(std::abs(seen.red() - expected.red()), 3) << offset.x() << ", " << offset.y();
        EXPECT_LE(std::abs(seen.green() - expected.green()), 3) << offset.x() << ", " << offset.y();
    }
    EXPECT_FALSE(showsPattern(shot, at + QPoint(30, 0)));

    managerPtr->hide(false, PVOverlayControlMagnifierGlass);
    managerPtr->dismissControl(PVOverlayControlMagnifiedCapture);
    settle();
    EXPECT_FALSE(managerPtr->mwcs().has_value());
    EXPECT_TRUE(showsPattern(grabScreen(), at + QPoint(30, 0)));
}

} // namespace
