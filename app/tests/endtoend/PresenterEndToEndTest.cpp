// The whole presenter runtime as the program launches it: the delegate's
// launch on the application's shared parts, the reader and motion threads on
// a simulated receiver playing in real time, the engine, the X11 input layer
// and the overlays. Each case runs in a child process of its own (the worker
// threads start once per process) and exits 0 once it saw what it waits for.

#include "application/PVAppDelegate.h"
#include "device/presenterCodes.h"
#include "overlays/PVExtraWindowManager.h"
#include "overlays/PVMagnifierWindow.h"
#include "settings/PVModelManager.h"
#include "simulation/SimulatedPresenterBackend.h"
#include "support/SettingsFolder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointF>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

// Last: its macros (None, Bool, Status) clash with names in the headers above.
#include <X11/Xlib.h>

namespace {

/// The X pointer's position on the root window, from the server.
QPointF queryPointer(Display* display)
{
    Window root = 0;
    Window child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    return QPointF(rootX, rootY);
}

/// A presenter that pairs and rests while the engine settles, then the rest.
PresenterScenario settledPresenter(uint8_t deviceNumber)
{
    PresenterScenario scenario(
        {.deviceNumber = deviceNumber, .motion = {.seed = 3, .accNoise = 0.02, .gyroNoise = 0.002}});
    scenario.identity().paired().battery(70).still(2.0);
    return scenario;
}

/// In the child: launches the runtime in `buttonMode` on the simulated
/// presenter, then asks `seen` every 10 ms; exits 0 once it answers true,
/// 3 after a minute (with `describe` on standard error).
[[noreturn]] void launchAndWatch(uint64_t buttonMode, PresenterScenario scenario, const std::function<bool()>& seen,
                                 const std::function<std::string()>& describe)
{
    setenv("VNX_LOG_GLOBAL_LEVEL", "OFF", 1);
    static SettingsFolder folder; // the document folder: fresh, before any shared part reads it
    PVModelManager::sharedInstance().settingDevice().buttonSetting.set(buttonMode);
    PVAppDelegate& delegate = PVAppDelegate::shareInstance();
    delegate.launchParts = PVLaunchParts::application(new SimulatedPresenterBackend(std::move(scenario)));
    delegate.applicationDidFinishLaunching();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (seen()) {
            std::fflush(nullptr);
            _exit(0);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "not seen: %s\n", describe().c_str());
            std::fflush(nullptr);
            _exit(3);
        }
    });
    poll.start(10);
    QCoreApplication::exec();
    _exit(4);
}

[[noreturn]] void clickTakesControlAndATurnMovesThePointer()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        _exit(5);
    }
    // Away from the centre, to see the click bring the pointer there.
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, 100, 100);
    XSync(display, False);
    const QPointF start = queryPointer(display);

    PresenterScenario scenario = settledPresenter(0x31);
    scenario.button(presenterButtonHotClick).still(1.0).turn({0, 0, 1}, 0.3, 1.0).still(30.0);
    QPointF centre;
    bool centred = false;
    QPointF now;
    launchAndWatch(
        2,
        std::move(scenario),
        [&] {
            now = queryPointer(display);
            if (!centred) {
                // Taking control puts the pointer at the centre of the screen.
                const QRect screen = QGuiApplication::primaryScreen()->geometry();
                centred = (now - QPointF(screen.center())).manhattanLength() < 3;
                centre = now;
                return false;
            }
            const QPointF moved = now - centre;
            return moved.x() > 100 && std::abs(moved.y()) < 0.3 * moved.x();
        },
        [&] {
            return "start " + std::to_string(start.x()) + "," + std::to_string(start.y()) + (centred ? " centred" : " never centred") + ", now " +
                   std::to_string(now.x()) + "," + std::to_string(now.y());
        });
}

TEST(PresenterEndToEnd, InCursorModeAClickTakesControlAndATurnRightMovesTheXPointerRight)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(clickTakesControlAndATurnMovesThePointer(), ::testing::ExitedWithCode(0), "");
}

[[noreturn]] void holdShowsTheMagnifiedCapture()
{
    PresenterScenario scenario = settledPresenter(0x32);
    scenario.button(presenterButtonHotClick).still(1.0).button(presenterButtonHotDown).still(30.0);
    launchAndWatch(
        4,
        std::move(scenario),
        [] {
            const auto& captures = PVExtraWindowManager::sharedInstance().mwcs();
            return captures.has_value() && !captures->isEmpty() && captures->first()->window() != nullptr &&
                   captures->first()->window()->isVisible();
        },
        [] { return std::string("no visible capture window"); });
}

TEST(PresenterEndToEnd, InMagnifierModeAHoldShowsTheCaptureWindow)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(holdShowsTheMagnifiedCapture(), ::testing::ExitedWithCode(0), "");
}

} // namespace
