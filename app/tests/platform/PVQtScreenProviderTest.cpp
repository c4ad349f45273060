#include "platform/PVQtScreenProvider.h"
#include "platform/PVScreen.h"
#include "runtime/PVScreenSelection.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

TEST(QtScreenProvider, TheOneXvfbScreenIsPrimaryAndExtendsNothing)
{
    PVQtScreenProvider provider;
    const QList<PVScreen> screens = provider.screens();
    ASSERT_EQ(screens.size(), 1);
    const PVScreen& screen = screens.first();
    EXPECT_EQ(screen.frame, QRectF(0, 0, 1920, 1080));
    EXPECT_EQ(screen.frame.united(screen.visibleFrame), screen.frame);
    EXPECT_EQ(screen.scaleFactor, QGuiApplication::primaryScreen()->devicePixelRatio());
    EXPECT_EQ(screen.name, QGuiApplication::primaryScreen()->name());
    EXPECT_FALSE(screen.builtIn);
    EXPECT_EQ(screen.displayID, 1u);
    EXPECT_EQ(provider.mainScreen(), screen);

    EXPECT_EQ(PVScreenSelection::primaryScreen(provider), screen);
    const std::optional<QList<PVScreen>> extended = PVScreenSelection::extendedScreens(provider);
    ASSERT_TRUE(extended.has_value());
    EXPECT_TRUE(extended->isEmpty());
}

TEST(QtScreenProvider, BuiltInPanelsAreKnownByTheirConnector)
{
    const std::pair<const char*, bool> names[] = {
        {"eDP-1", true}, {"eDP1", true},   {"LVDS-1", true},     {"DSI-1", true}, {"HDMI-1", false},
        {"DP-1", false}, {"VGA-1", false}, {"Virtual-1", false}, {"", false},     {"edp-1", false},
    };
    for (const auto& [name, builtIn] : names) {
        EXPECT_EQ(PVScreen::isBuiltInConnector(name), builtIn) << name;
    }
}

} // namespace
