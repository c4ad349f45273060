// The application end to end on the test's own X server. The whole program
// (`pelvaro --simulate`) against stand-in Impress windows; and, in child
// processes of this test (the worker threads start once per process), the
// program's launch on a simulated receiver with the settings window on top:
// the mode report follows the button mode chosen in the window, and a choice
// made in the window is there again after a restart.

#include "StandInWindows.h"
#include "StubPrograms.h"
#include "application/PVAppDelegate.h"
#include "device/modeReport.h"
#include "device/presenterState.h"
#include "platform/PVWindowCloseWatcher.h"
#include "settings/PVDevice.h"
#include "settings/PVGlobalObjectManager.h"
#include "settings/PVModelManager.h"
#include "simulation/SimulatedPresenterBackend.h"
#include "ui/controls/PVOptionButton.h"
#include "ui/pages/PVButtonSettingViewController.h"
#include "ui/window/PVMainViewController.h"
#include "ui/window/PVMainViewModelAdapter.h"
#include "ui/window/PVMainWindowController.h"
#include "ui/window/PVWindow.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

// Last: its macros (None, Bool, Status) clash with names in the headers above.
#include <X11/keysym.h>

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// ---- The whole program against stand-in Impress windows ----

TEST(WholeProgram, InBlackoutModeTheSimulatedClickStartsImpresssShowAndBlanksIt50MsLater)
{
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("runtime")));
    // LibreOffice's program, as far as the program asks it anything.
    StubPrograms libreOffice;
    libreOffice.write(QStringLiteral("bin"), QStringLiteral("soffice"),
                      QStringLiteral("echo 'LibreOffice 7.4.7.2 40(Build:2)'"));
    StandInWindows impress;
    const unsigned long document = impress.document();
    impress.focus(document);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Settings and the single-instance socket of this run only.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), data.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("VNX_LOG_GLOBAL_LEVEL"), QStringLiteral("OFF"));
    environment.insert(QStringLiteral("PATH"),
                       libreOffice.path(QStringLiteral("bin")) + QLatin1Char(':') + environment.value("PATH"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(PELVARO_PROGRAM), {QStringLiteral("--simulate")});
    ASSERT_TRUE(program.waitForStarted());

    // Impress maps its show window when F5 reaches the document.
    unsigned long show = 0;
    unsigned long f5AtMs = 0;
    unsigned long bAtMs = 0;
    const auto deadline = SteadyClock::now() + 90s;
    while (bAtMs == 0 && SteadyClock::now() < deadline && program.state() == QProcess::Running) {
        for (const StandInWindows::Key& key : impress.pressedKeys()) {
            if (key.keysym == XK_F5 && key.window == document && show == 0) {
                f5AtMs = key.serverTimeMs;
                show = impress.placedShow(QRect(0, 0, 1920, 1080));
            } else if (key.keysym == XK_b && show != 0 && key.window == show) {
                bAtMs = key.serverTimeMs;
            }
        }
        std::this_thread::sleep_for(2ms);
    }
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30'000));
    const std::string output = program.readAll().toStdString();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(program.exitCode(), 0) << output;
    ASSERT_NE(show, 0u) << "no F5 reached the document\n" << output;
    ASSERT_NE(bAtMs, 0u) << "no \"b\" reached the show\n" << output;
    EXPECT_GE(bAtMs - f5AtMs, 50u);
}

// ---- The launch in a child process, with the settings window ----

/// The simulated receiver, recording the output reports sent to it with the
/// time they were sent.
class RecordingReceiver final : public HidBackend
{
  public:
    explicit RecordingReceiver(PresenterScenario scenario) : inner_(std::move(scenario)) {}

    struct Write
    {
        SteadyClock::time_point at;
        std::vector<uint8_t> bytes;
    };
    std::vector<Write> writes() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return writes_;
    }

    std::vector<HidDeviceInfo> enumerate(int v, int p, int page, int usage) override
    {
        return inner_.enumerate(v, p, page, usage);
    }
    HidOpenResult open(const std::string& path, HidDeviceHandle& handle) override { return inner_.open(path, handle); }
    int read(HidDeviceHandle handle, uint8_t* buffer, size_t length, int timeoutMs) override
    {
        return inner_.read(handle, buffer, length, timeoutMs);
    }
    int write(HidDeviceHandle handle, const uint8_t* data, size_t length) override
    {
        const int written = inner_.write(handle, data, length);
        if (written > 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            writes_.push_back({SteadyClock::now(), std::vector<uint8_t>(data, data + length)});
        }
        return written;
    }
    void close(HidDeviceHandle handle) override { inner_.close(handle); }
    int64_t nowMicroseconds() override { return inner_.nowMicroseconds(); }
    void sleepMicroseconds(int64_t duration) override { inner_.sleepMicroseconds(duration); }

  private:
    SimulatedPresenterBackend inner_;
    mutable std::mutex mutex_;
    std::vector<Write> writes_;
};

/// A presenter that pairs, reports its battery and rests for a moment, then
/// goes quiet: the reader opens the receiver again every so often, each time
/// with a burst of mode reports.
PresenterScenario quietPresenter()
{
    PresenterScenario scenario({.deviceNumber = 0x44, .motion = {.seed = 5, .accNoise = 0.02, .gyroNoise = 0.002}});
    scenario.identity().paired().battery(60).still(0.5);
    return scenario;
}

/// In the child: waits up to 30 s for `done`, running the event loop.
bool waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 30'000);
}

[[noreturn]] void finish(bool passed, const std::string& why)
{
    if (!passed) {
        std::fprintf(stderr, "%s\n", why.c_str());
    }
    std::fflush(nullptr);
    _exit(passed ? 0 : 3);
}

/// In the child: the program's launch on `receiver`, then the settings
/// window shown on the button setting tab once the receiver is there.
struct LaunchedWithWindow
{
    explicit LaunchedWithWindow(HidBackend* receiver)
    {
        setenv("VNX_LOG_GLOBAL_LEVEL", "OFF", 1);
        PVWindowCloseWatcher::install();
        PVAppDelegate& delegate = PVAppDelegate::shareInstance();
        delegate.launchParts = PVLaunchParts::application(receiver);
        delegate.launchPresenterRuntime();
        controller.showWindow();
        const PVGlobalObjectManager& globals = PVGlobalObjectManager::sharedInstance();
        if (!QTest::qWaitForWindowActive(controller.window()) || !waitFor([&] { return globals.dongleInsert(); })) {
            finish(false, "the window or the receiver did not come");
        }
        // Buttons act at most every half second.
        QTest::qWait(600);
    }

    void chooseButtonMode(quint64 mode)
    {
        auto* page = qobject_cast<PVButtonSettingViewController*>(
            controller.contentViewController()->viewControllers().at(0));
        for (PVOptionButton* option : page->optionButtons()) {
            if (option->tagInteger() == mode) {
                QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(5, 5));
                return;
            }
        }
        finish(false, "no option for mode " + std::to_string(mode));
    }

    PVMainViewModelAdapter model;
    PVMainWindowController controller{model};
};

[[noreturn]] void modeReportFollowsTheWindow()
{
    static QTemporaryDir data;
    setenv("XDG_DATA_HOME", data.path().toUtf8().constData(), 1);
    // Read by the reader thread for the life of the process: never freed.
    auto* receiver = new RecordingReceiver(quietPresenter());
    LaunchedWithWindow launched(receiver);
    constexpr size_t kModeByte = 8;
    const auto lastByte = [&] {
        const auto writes = receiver->writes();
        return writes.empty() ? -1 : int(writes.back().bytes.at(kModeByte));
    };
    // The stored mode is blackout: buttons only.
    if (lastByte() != modeReportFor(true).bytes[kModeByte]) {
        finish(false, "the first burst carries " + std::to_string(lastByte()));
    }
    const auto chosenAt = SteadyClock::now();
    launched.chooseButtonMode(2); // cursor: buttons and motion
    const bool next = waitFor([&] {
        for (const auto& write : receiver->writes()) {
            if (write.at > chosenAt) {
                return true;
            }
        }
        return false;
    });
    int firstAfter = -1;
    for (const auto& write : receiver->writes()) {
        if (write.at > chosenAt) {
            firstAfter = write.bytes.at(kModeByte);
            break;
        }
    }
    finish(next && firstAfter == modeReportFor(false).bytes[kModeByte],
           "the next burst carries " + std::to_string(firstAfter));
}

TEST(ProgramWithWindow, TheModeReportsNextBurstCarriesTheButtonModeChosenInTheWindow)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(modeReportFollowsTheWindow(), ::testing::ExitedWithCode(0), "");
}

[[noreturn]] void chooseAndClose(const std::string& data)
{
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    LaunchedWithWindow launched(new SimulatedPresenterBackend(quietPresenter()));
    launched.chooseButtonMode(4);
    launched.controller.window()->close();
    finish(PVModelManager::sharedInstance().settingDevice().buttonSetting.value() == 4, "the click chose nothing");
}

[[noreturn]] void startAgainAndLook(const std::string& data)
{
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    LaunchedWithWindow launched(new SimulatedPresenterBackend(quietPresenter()));
    const quint64 mode = PVModelManager::sharedInstance().settingDevice().buttonSetting.value();
    auto* page = qobject_cast<PVButtonSettingViewController*>(
        launched.controller.contentViewController()->viewControllers().at(0));
    finish(mode == 4 && page->buttonMode() == 4 && buttonOnlyMode.load() == 0,
           "after the restart: mode " + std::to_string(mode) + ", page " + std::to_string(page->buttonMode()) +
               ", buttonOnlyMode " + std::to_string(buttonOnlyMode.load()));
}

TEST(ProgramWithWindow, AButtonModeChosenInTheWindowIsThereAfterARestart)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The children run this body again from the start: the folder is named
    // by the parent, through the environment the children inherit.
    static const char* const kVariable = "PELVARO_TEST_RESTART_HOME";
    std::unique_ptr<QTemporaryDir> made;
    if (std::getenv(kVariable) == nullptr) {
        made = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(made->isValid());
        setenv(kVariable, made->path().toUtf8().constData(), 1);
    }
    const std::string data = std::getenv(kVariable);
    EXPECT_EXIT(chooseAndClose(data), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(startAgainAndLook(data), ::testing::ExitedWithCode(0), "");
    unsetenv(kVariable);
}

} // namespace
