#include "settings/PVGlobalObjectManager.h"
#include "support/FakeScreenProvider.h"

#include <gtest/gtest.h>

namespace {

QList<quint32> numbersOf(const QList<PVScreen>& screens)
{
    QList<quint32> numbers;
    for (const PVScreen& screen : screens) {
        numbers.append(screen.displayID);
    }
    return numbers;
}

TEST(GlobalObjectManager, StartsWithoutReceiverOrPresenterAndWithoutAVersion)
{
    FakeScreenProvider provider;
    PVGlobalObjectManager manager(provider);
    EXPECT_FALSE(manager.dongleInsert());
    EXPECT_FALSE(manager.pairedState());
    EXPECT_EQ(manager.pptVersion(), QString(""));
    EXPECT_FALSE(manager.pptVersion().isNull());
    EXPECT_EQ(manager.primaryScreen(), std::nullopt);
    EXPECT_TRUE(manager.allScreens().isEmpty());
    EXPECT_TRUE(manager.extendedScreens().isEmpty());
}

TEST(GlobalObjectManager, ScreensAreFreshAfterEveryChangeOfTheProvider)
{
    FakeScreenProvider provider;
    provider.setScreens({FakeScreenProvider::screen("HDMI-1", 1, {0, 0, 1920, 1080})});
    PVGlobalObjectManager manager(provider);
    EXPECT_EQ(manager.primaryScreen()->displayID, 1u);
    EXPECT_TRUE(manager.extendedScreens().isEmpty());

    provider.addScreen(FakeScreenProvider::screen("eDP-1", 2, {1920, 0, 1440, 900}));
    EXPECT_EQ(numbersOf(manager.allScreens()), (QList<quint32>{1, 2}));
    EXPECT_EQ(manager.primaryScreen()->displayID, 2u);
    EXPECT_EQ(numbersOf(manager.extendedScreens()), QList<quint32>{1});

    provider.removeScreen(2);
    EXPECT_EQ(numbersOf(manager.allScreens()), QList<quint32>{1});
    EXPECT_EQ(manager.primaryScreen()->displayID, 1u);
    EXPECT_TRUE(manager.extendedScreens().isEmpty());

    provider.removeScreen(1);
    EXPECT_EQ(manager.primaryScreen(), std::nullopt);
    EXPECT_TRUE(manager.allScreens().isEmpty());
}

TEST(GlobalObjectManager, FlipMirrorsAboutThePrimaryScreensHeight)
{
    FakeScreenProvider provider;
    PVGlobalObjectManager manager(provider);
    EXPECT_EQ(PVFlipPointOnPrimaryScreen(10, 0, manager), QPointF(10, 0));
    provider.setScreens({FakeScreenProvider::screen("DP-1", 1, {0, 0, 1920, 1080}),
                         FakeScreenProvider::screen("DP-2", 2, {1920, 0, 2560, 1440})});
    EXPECT_EQ(PVFlipPointOnPrimaryScreen(10, 0, manager), QPointF(10, 1080));
    EXPECT_EQ(PVFlipPointOnPrimaryScreen(2000, 1440, manager), QPointF(2000, -360));
    // The application's own manager reads the one Xvfb screen.
    EXPECT_EQ(PVFlipPointOnPrimaryScreen(10, 0), QPointF(10, 1080));
}

TEST(GlobalObjectManager, PresenterInfoIsKeptAsAWholeCopy)
{
    FakeScreenProvider provider;
    PVGlobalObjectManager manager(provider);
    PVPresenterInfo info;
    info.dongleInsert = 1;
    info.pairState = -1;
    info.dx = 1.5;
    info.battery = 90;
    std::copy_n("1.0.7", 6, info.firmwarever);
    manager.setPresenterInfo(info);
    info.dx = 0;
    const PVPresenterInfo kept = manager.presenterInfo();
    EXPECT_EQ(kept.dx, 1.5);
    EXPECT_EQ(kept.pairState, -1);
    EXPECT_EQ(kept.battery, 90u);
    EXPECT_STREQ(kept.firmwarever, "1.0.7");
}

} // namespace
