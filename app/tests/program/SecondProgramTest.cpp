// The program as a user starts it, twice: the second start hands over to the
// running program, whose settings window comes to the front, and leaves with
// 0. Under a bare X server there is no tray, so the settings window shows at
// launch. Windows are found through the X server by the process id that Qt
// puts on them, and "in front" is the top of the server's stacking order.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>

// Xlib last: its macros clash with names of the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#undef Bool
#undef None

namespace {

constexpr int kStartMs = 60'000;

class Display
{
  public:
    Display() : display_(XOpenDisplay(nullptr)) {}
    ~Display()
    {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    ::Display* get() const { return display_; }

    /// The shown top-level windows, bottom to top.
    std::vector<Window> shownWindows() const
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        std::vector<Window> shown;
        if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) == 0) {
            return shown;
        }
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display_, children[i], &attributes) != 0 &&
                attributes.map_state == IsViewable && attributes.width > 1) {
                shown.push_back(children[i]);
            }
        }
        XFree(children);
        return shown;
    }

    /// The process that made `window`, 0 when it does not say.
    qint64 processOf(Window window) const
    {
        const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        qint64 pid = 0;
        if (XGetWindowProperty(display_, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                               &data) == Success &&
            data != nullptr && items == 1 && format == 32) {
            pid = static_cast<qint64>(*reinterpret_cast<unsigned long*>(data));
        }
        if (data != nullptr) {
            XFree(data);
        }
        return pid;
    }

    bool showsWindowOf(qint64 pid) const
    {
        for (Window window : shownWindows()) {
            if (processOf(window) == pid) {
                return true;
            }
        }
        return false;
    }
    /// Whether the top shown window belongs to `pid`.
    bool topWindowIsOf(qint64 pid) const
    {
        const std::vector<Window> shown = shownWindows();
        return !shown.empty() && processOf(shown.back()) == pid;
    }

  private:
    ::Display* display_;
};

class SecondProgram : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_NE(display.get(), nullptr);
        ASSERT_TRUE(runtime.isValid() && home.isValid());
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        // The version check fails at once instead of looking for a server.
        environment.insert(QStringLiteral("PELVARO_UPDATE_BASE"), QStringLiteral("https://127.0.0.1:1"));
    }

    void TearDown() override
    {
        for (auto& program : programs) {
            if (program->state() != QProcess::NotRunning) {
                program->kill();
                program->waitForFinished(10'000);
            }
        }
    }

    QString socketPath() const { return runtime.filePath(QStringLiteral("pelvaro.socket")); }

    QProcess& start()
    {
        programs.push_back(std::make_unique<QProcess>());
        QProcess& program = *programs.back();
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.setStandardOutputFile(QProcess::nullDevice());
        program.start(QStringLiteral(PELVARO_PROGRAM), {});
        EXPECT_TRUE(program.waitForStarted(kStartMs));
        return program;
    }

    /// Starts the program that is to run on, and waits for its window.
    QProcess& startRunning()
    {
        QProcess& program = start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return display.showsWindowOf(program.processId()); }, kStartMs));
        EXPECT_TRUE(QFile::exists(socketPath()));
        return program;
    }

    /// Starts a program that should hand over and leave; its exit status.
    int startAndFinish()
    {
        QProcess& program = start();
        EXPECT_TRUE(program.waitForFinished(kStartMs));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        return program.exitCode();
    }

    /// A window of the test over everything else.
    Window coverWindow()
    {
        XSetWindowAttributes attributes = {};
        attributes.override_redirect = True;
        const Window window =
            XCreateWindow(display.get(), DefaultRootWindow(display.get()), 0, 0, 1920, 1080, 0, CopyFromParent,
                          InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
        XMapRaised(display.get(), window);
        XSync(display.get(), False);
        return window;
    }

    static int terminate(QProcess& program)
    {
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        EXPECT_TRUE(program.waitForFinished(kStartMs));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        return program.exitCode();
    }

    Display display;
    QTemporaryDir runtime;
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::vector<std::unique_ptr<QProcess>> programs;
};

TEST_F(SecondProgram, HandsOverAndTheRunningProgramsWindowComesToTheFront)
{
    QProcess& running = startRunning();
    const Window cover = coverWindow();
    ASSERT_FALSE(display.topWindowIsOf(running.processId()));

    EXPECT_EQ(startAndFinish(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return display.topWindowIsOf(running.processId()); }, kStartMs));
    EXPECT_EQ(running.state(), QProcess::Running);

    // Once more, with the window closed in between is the in-process
    // tests' part; here the same window comes back over the cover again.
    XRaiseWindow(display.get(), cover);
    XSync(display.get(), False);
    ASSERT_FALSE(display.topWindowIsOf(running.processId()));
    EXPECT_EQ(startAndFinish(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return display.topWindowIsOf(running.processId()); }, kStartMs));

    EXPECT_EQ(terminate(running), 0);
    EXPECT_FALSE(QFile::exists(socketPath()));
}

TEST_F(SecondProgram, ASocketLeftByAKilledProgramIsTakenOver)
{
    QProcess& killed = startRunning();
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(kStartMs));
    ASSERT_TRUE(QFile::exists(socketPath()));

    QProcess& next = startRunning();
    EXPECT_EQ(next.state(), QProcess::Running);
    EXPECT_EQ(startAndFinish(), 0);
    EXPECT_EQ(next.state(), QProcess::Running);
    EXPECT_EQ(terminate(next), 0);
}

} // namespace
