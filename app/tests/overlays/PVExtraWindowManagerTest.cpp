#include "overlays/PVExtraWindowManager.h"
#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "settings/PVDevice.h"
#include "settings/PVGlobalObjectManager.h"
#include "settings/PVPlistManager.h"
#include "settings/PVPointerStyleManager.h"
#include "support/SettingsFolder.h"
#include "support/FakeScreenProvider.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

PVPointerStyle builtInStyle(quint64 id, const QString& imageName)
{
    return PVPointerStyle({{"_id", id}, {"tag", 0}, {"image_name", imageName}});
}

int countOf(const LogCapture& log, bool tagged, const std::string& text)
{
    int count = 0;
    for (const DXLogEntry& entry : log.entries()) {
        count += entry.level == DXLogLevelDebug && entry.tagged == tagged && entry.text == text &&
                         (!tagged || entry.tag == 2)
                     ? 1
                     : 0;
    }
    return count;
}

// Screens side by side: 1000 × 800 points at x 0 and 1000, and a third,
// smaller one at x 2000 for the tests that use three.
class ExtraWindowManager : public ::testing::Test
{
  protected:
    ExtraWindowManager()
    {
        device.setPointerStyle(builtInStyle(1, "pointer_red_dot"));
        device.setPointerSize(1);
    }

    void useScreens(QList<PVScreen> screens)
    {
        provider.setScreens(std::move(screens));
        manager = std::make_unique<PVExtraWindowManager>(
            globals, [this]() -> const PVDevice& { return device; }, center);
    }

    /// The part of the image square each pointer overlay of the kind shows
    /// in its window (none while nothing of the image is on screen), in
    /// screen order.
    QList<QRect> shapesOf(quint64 control) const
    {
        QList<QRect> shapes;
        for (const auto& controller : manager->pwcs().value_or(QList<std::shared_ptr<PVPointerWindowController>>())) {
            if (controller->control() == control) {
                const PVPointerWindow* window = controller->window();
                shapes.append(window->shape().isEmpty() ? QRect()
                                                        : window->imageView()->geometry() & window->rect());
            }
        }
        return shapes;
    }

    const PVScreen left = FakeScreenProvider::screen("DP-1", 1, {0, 0, 1000, 800});
    const PVScreen right = FakeScreenProvider::screen("DP-2", 2, {1000, 0, 1000, 800});
    const PVScreen third = FakeScreenProvider::screen("DP-3", 3, {2000, 0, 800, 600});

    SettingsFolder folder;
    PVPlistManager store;
    PVPointerStyleManager styles{store};
    PVDevice device{PVDevice::defalutDeviceDict(), store, styles};
    FakeScreenProvider provider;
    PVGlobalObjectManager globals{provider};
    PVNotificationCenter center;
    std::unique_ptr<PVExtraWindowManager> manager;
};

TEST_F(ExtraWindowManager, CentreCrossesTheSharedBorderWithoutAStop)
{
    useScreens({left, right});
    manager->startShowingAtPoint({900, 400}, PVOverlayControlPointer);
    ASSERT_EQ(manager->pwcs()->size(), 2);
    // Size level 1: a 53-point square around the centre.
    const struct
    {
        double x;
        quint32 screen;
        QList<QRect> shapes; ///< left window, right window
    } steps[] = {
        {930, 1, {QRect(904, 374, 53, 53), QRect()}},
        {980, 1, {QRect(954, 374, 46, 53), QRect(0, 374, 7, 53)}},
        {1030, 2, {QRect(), QRect(4, 374, 53, 53)}},
        {1080, 2, {QRect(), QRect(54, 374, 53, 53)}},
    };
    double x = 900;
    for (const auto& step : steps) {
        manager->setCenterDiffer({step.x - x, 0}, false);
        x = step.x;
        EXPECT_EQ(manager->currentCenter(), QPointF(step.x, 400)) << step.x;
        EXPECT_EQ(manager->currentScreen()->displayID, step.screen) << step.x;
        EXPECT_TRUE(manager->isInterior()) << step.x;
        EXPECT_EQ(shapesOf(PVOverlayControlPointer), step.shapes) << step.x;
    }
}

TEST_F(ExtraWindowManager, LeavingAllScreensStopsOnceOnTheEdge)
{
    useScreens({left, right});
    manager->startShowingAtPoint({1980, 400}, PVOverlayControlPointer);
    LogCapture log;

    manager->setCenterDiffer({40, 10}, false);
    EXPECT_EQ(manager->currentCenter(), QPointF(2000, 410));
    EXPECT_TRUE(manager->isOnEdge());
    EXPECT_FALSE(manager->isInterior());
    EXPECT_EQ(countOf(log, false, "on the edge!"), 1);
    EXPECT_EQ(countOf(log, true, "differ (40, 10)"), 1);
    EXPECT_EQ(countOf(log, true, "currentCenter (2000, 410)"), 1);

    manager->setCenterDiffer({40, 10}, false);
    EXPECT_EQ(manager->currentCenter(), QPointF(2040, 420));
    EXPECT_FALSE(manager->isOnEdge());
    EXPECT_FALSE(manager->isInterior());
    EXPECT_EQ(countOf(log, false, "on the edge!"), 1);
    EXPECT_EQ(shapesOf(PVOverlayControlPointer), (QList<QRect>{QRect(), QRect()}));

    // Further out it follows freely, and comes back in where it re-enters.
    manager->setCenterDiffer({300, 0}, false);
    EXPECT_EQ(manager->currentCenter(), QPointF(2340, 420));
    manager->setCenterDiffer({-400, 0}, false);
    EXPECT_EQ(manager->currentCenter(), QPointF(1940, 420));
    EXPECT_TRUE(manager->isInterior());
    EXPECT_EQ(manager->currentScreen()->displayID, 2u);
}

TEST_F(ExtraWindowManager, BoundedCentreStaysOnItsScreenAndPassesOnFromTheEdge)
{
    useScreens({left, right, third});
    manager->startShowingAtPoint({950, 400}, PVOverlayControlPointer);
    const struct
    {
        QPointF displacement;
        QPointF center;
        quint32 screen;
        bool onEdge;
    } steps[] = {
        {{100, 0}, {1000, 400}, 1, true},   // held on the left screen's edge
        {{100, 0}, {1100, 400}, 2, false},  // from the edge into the neighbour
        {{0, 900}, {1100, 800}, 2, true},   // up: held at the top
        {{0, 900}, {1100, 800}, 2, true},   // no screen above: stays
        {{1000, 0}, {2000, 800}, 2, true},  // along the top edge to the corner
        {{100, -300}, {2100, 500}, 3, false}, // from the corner into the third
        {{0, 400}, {2100, 600}, 3, true},
    };
    for (const auto& step : steps) {
        manager->setCenterDiffer(step.displacement, true);
        EXPECT_EQ(manager->currentCenter(), step.center) << step.center.x() << ", " << step.center.y();
        EXPECT_EQ(manager->currentScreen()->displayID, step.screen) << step.center.x() << ", " << step.center.y();
        EXPECT_EQ(manager->isOnEdge(), step.onEdge) << step.center.x() << ", " << step.center.y();
    }
}

TEST_F(ExtraWindowManager, PointerAndGlassShareTheListAndAreDismissedApart)
{
    useScreens({left, right});
    manager->startShowingAtPoint({500, 400}, PVOverlayControlMagnifierGlass);
    manager->startShowingAtPoint({600, 400}, PVOverlayControlPointer);
    ASSERT_EQ(manager->pwcs()->size(), 4);
    const auto all = *manager->pwcs();
    EXPECT_EQ(all[0]->control(), 2u);
    EXPECT_EQ(all[1]->control(), 2u);
    EXPECT_EQ(all[2]->control(), 1u);
    EXPECT_EQ(all[3]->control(), 1u);
    // The glass at size level 0 and the pointer at the device's level, both
    // at the common centre.
    EXPECT_EQ(all[0]->pointerSize(), QSizeF(35, 35));
    EXPECT_EQ(all[2]->pointerSize(), QSizeF(52.5, 52.5));
    EXPECT_EQ(all[0]->pointerImage(), PVPointerStyle::resourceImage("magnifier"));
    EXPECT_EQ(all[2]->pointerImage(), device.pointerStyle()->image());
    EXPECT_EQ(all[0]->pointerCenter(), QPointF(600, 400));

    manager->dismissControl(PVOverlayControlPointer);
    ASSERT_EQ(manager->pwcs()->size(), 2);
    EXPECT_EQ((*manager->pwcs())[0], all[0]);
    EXPECT_EQ((*manager->pwcs())[1], all[1]);
    EXPECT_NE(all[0]->window(), nullptr);
    EXPECT_EQ(all[2]->window(), nullptr);
    EXPECT_EQ(all[3]->window(), nullptr);

    manager->dismissControl(PVOverlayControlMagnifierGlass);
    EXPECT_FALSE(manager->pwcs().has_value());
}

TEST_F(ExtraWindowManager, DismissingAKindNotShownKeepsTheListAndClearsTheEdgeState)
{
    useScreens({left, right});
    manager->dismissControl(PVOverlayControlMagnifierGlass);
    EXPECT_FALSE(manager->pwcs().has_value());

    manager->startShowingAtPoint({1990, 400}, PVOverlayControlPointer);
    manager->setCenterDiffer({20, 0}, false);
    ASSERT_TRUE(manager->isOnEdge());
    const auto before = *manager->pwcs();
    manager->dismissControl(PVOverlayControlMagnifierGlass);
    EXPECT_EQ(*manager->pwcs(), before);
    EXPECT_FALSE(manager->isOnEdge());
    EXPECT_FALSE(manager->isInterior());

    // An empty list becomes none.
    manager->setPwcs(QList<std::shared_ptr<PVPointerWindowController>>());
    manager->dismissControl(PVOverlayControlMagnifierGlass);
    EXPECT_FALSE(manager->pwcs().has_value());
}

TEST_F(ExtraWindowManager, HidingTouchesOnlyPointerOverlaysOfTheKind)
{
    useScreens({left, right});
    manager->startShowingAtPoint({500, 400}, PVOverlayControlMagnifierGlass);
    manager->startShowingAtPoint({500, 400}, PVOverlayControlPointer);
    manager->startShowingAtPoint({500, 400}, PVOverlayControlMagnifiedCapture);

    manager->hide(true, PVOverlayControlMagnifiedCapture);
    for (const auto& controller : *manager->pwcs()) {
        EXPECT_FALSE(controller->shouldHide());
    }
    for (const auto& controller : *manager->mwcs()) {
        EXPECT_FALSE(controller->shouldHide());
    }

    manager->hide(true, PVOverlayControlMagnifierGlass);
    ASSERT_EQ(manager->pwcs()->size(), 4);
    for (const auto& controller : *manager->pwcs()) {
        EXPECT_EQ(controller->shouldHide(), controller->control() == PVOverlayControlMagnifierGlass);
        EXPECT_NE(controller->window(), nullptr);
    }
    EXPECT_EQ(shapesOf(PVOverlayControlMagnifierGlass), (QList<QRect>{QRect(), QRect()}));
    EXPECT_EQ(shapesOf(PVOverlayControlPointer).first(), QRect(474, 374, 53, 53));

    manager->hide(false, PVOverlayControlMagnifierGlass);
    EXPECT_EQ(shapesOf(PVOverlayControlMagnifierGlass).first(), QRect(483, 383, 35, 35));
}

TEST_F(ExtraWindowManager, StyleOrSizeChangeRedrawsEveryPointerOverlay)
{
    useScreens({left, right});
    manager->startShowingAtPoint({500, 400}, PVOverlayControlMagnifierGlass);
    manager->startShowingAtPoint({500, 400}, PVOverlayControlMagnifiedCapture);
    const auto magnifiers = *manager->mwcs();

    device.setPointerStyle(builtInStyle(4, "pointer_blue_ring"));
    device.setPointerSize(2);
    center.post(kPVUINotificationNameChangeStyle);
    for (const auto& controller : *manager->pwcs()) {
        EXPECT_EQ(controller->pointerImage(), device.pointerStyle()->image());
        EXPECT_EQ(controller->pointerSize(), QSizeF(70, 70));
        EXPECT_EQ(controller->control(), 2u);
    }
    EXPECT_EQ(*manager->mwcs(), magnifiers);

    device.setPointerSize(0);
    center.post(kPVUINotificationNameChangeSize);
    EXPECT_EQ(manager->pwcs()->first()->pointerSize(), QSizeF(35, 35));

    // A device without a style shows no image rather than an old one.
    device.setPointerStyle(std::nullopt);
    center.post(kPVUINotificationNameChangeStyle);
    EXPECT_TRUE(manager->pwcs()->first()->pointerImage().isNull());
}

TEST_F(ExtraWindowManager, WithoutScreensNothingIsCreatedAndThePointIsKept)
{
    useScreens({});
    manager->startShowingAtPoint({500, 400}, PVOverlayControlPointer);
    ASSERT_TRUE(manager->pwcs().has_value());
    EXPECT_TRUE(manager->pwcs()->isEmpty());
    manager->startShowingAtPoint({500, 400}, PVOverlayControlMagnifiedCapture);
    ASSERT_TRUE(manager->mwcs().has_value());
    EXPECT_TRUE(manager->mwcs()->isEmpty());

    const auto existing = std::make_shared<PVPointerWindowController>(globals);
    manager->setPwcs(QList<std::shared_ptr<PVPointerWindowController>>{existing});
    manager->startShowingAtPoint({500, 400}, PVOverlayControlMagnifierGlass);
    EXPECT_EQ(*manager->pwcs(), QList<std::shared_ptr<PVPointerWindowController>>{existing});

    manager->setCenter({-5000, 7000}, false);
    EXPECT_EQ(manager->currentCenter(), QPointF(-5000, 7000));
    EXPECT_FALSE(manager->isOnEdge());
    EXPECT_FALSE(manager->isInterior());
    EXPECT_FALSE(manager->currentScreen().has_value());
}

TEST_F(ExtraWindowManager, KindsOutsideOneToThreeChangeNothing)
{
    useScreens({left, right});
    manager->startShowingAtPoint({1990, 400}, PVOverlayControlPointer);
    manager->setCenterDiffer({20, 0}, false);
    const auto before = *manager->pwcs();
    for (const quint64 control : {0ull, 4ull, ~0ull}) {
        manager->startShowingAtPoint({100, 100}, control);
        manager->dismissControl(control);
        manager->hide(true, control);
        EXPECT_EQ(*manager->pwcs(), before) << control;
        EXPECT_FALSE(manager->mwcs().has_value()) << control;
        EXPECT_EQ(manager->currentCenter(), QPointF(2000, 400)) << control;
        EXPECT_TRUE(manager->isOnEdge()) << control;
        for (const auto& controller : before) {
            EXPECT_FALSE(controller->shouldHide()) << control;
        }
    }
}

TEST_F(ExtraWindowManager, DisconnectedScreenStillClampsButIsNoLongerCurrent)
{
    useScreens({left, right});
    manager->setCenter({1950, 400}, false);
    ASSERT_TRUE(manager->isInterior());
    provider.removeScreen(2);
    EXPECT_FALSE(manager->currentScreen().has_value());

    manager->setCenterDiffer({100, 0}, false);
    EXPECT_EQ(manager->currentCenter(), QPointF(2000, 400));
    EXPECT_TRUE(manager->isOnEdge());
    EXPECT_FALSE(manager->currentScreen().has_value());

    // Back on a connected screen it is current again.
    manager->setCenter({500, 400}, false);
    EXPECT_EQ(manager->currentScreen()->displayID, 1u);
}

} // namespace
