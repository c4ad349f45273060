// Draws one picture of each settings page and overlay for people to look at:
//
//   pelvaro_screenshots OUT_DIR
//   pelvaro_screenshots --grab-screen FILE
//
// The second form only saves what the X display shows now as a PNG
// (scripts/run.sh uses it on a machine without a display).
//
// Run it under an X server of kScreenSize (scripts/screenshots.sh starts an
// Xvfb) with XDG_DATA_HOME pointing at an empty folder: the settings start
// from their defaults. The settings window is shown before the presenter is
// there (the no-receiver page), then the simulated presenter is started and
// the window is shown on each tab, with the pointer style page's reset
// question; then the tutorial, and the three overlays over a test pattern.
// Exits 0 when every picture was written.

#include "PatternWindow.h"
#include "application/PVAppDelegate.h"
#include "application/PVLaunchParts.h"
#include "overlays/PVExtraWindowManager.h"
#include "overlays/PVOverlayControl.h"
#include "platform/PVWindowCloseWatcher.h"
#include "screenshotList.h"
#include "settings/PVGlobalObjectManager.h"
#include "simulation/DemoScenario.h"
#include "simulation/SimulatedPresenterBackend.h"
#include "tutorial/PVTutorialWindow.h"
#include "tutorial/PVTutorialWindowController.h"
#include "ui/alert/PVAlertButton.h"
#include "ui/alert/PVAlertViewController.h"
#include "ui/pages/PVPointerStyleViewController.h"
#include "ui/window/PVMainViewController.h"
#include "ui/window/PVMainViewModelAdapter.h"
#include "ui/window/PVMainWindowController.h"
#include "ui/window/PVWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

using namespace pelvaroScreenshots;

// Time for the X server and the windows to draw what was asked.
constexpr int kSettleMs = 400;

class Driver
{
  public:
    explicit Driver(QDir out) : out_(std::move(out)) {}

    bool run()
    {
        if (!settingsWindow() || !save(windowShot(), kNoReceiver)) {
            return false;
        }
        if (!startPresenter()) {
            return false;
        }
        for (int tab = 0; tab < static_cast<int>(kTabs.size()); ++tab) {
            main_->setupSelection(tab);
            settle();
            if (!save(windowShot(), kTabs[tab])) {
                return false;
            }
        }
        return resetQuestion() && tutorial() && overlays();
    }

    const QString& failure() const { return failure_; }

  private:
    bool settingsWindow()
    {
        window_ = std::make_unique<PVMainWindowController>(model_);
        window_->showWindow();
        main_ = window_->contentViewController();
        return shown(window_->window());
    }

    // The simulated presenter behind a simulated receiver, read by the
    // program's own worker threads: it pairs and reports its battery and
    // firmware, then rests.
    bool startPresenter()
    {
        // Read by the reader thread for the life of the process: never freed.
        auto* presenter = new SimulatedPresenterBackend(DemoScenario::make(0));
        PVAppDelegate& delegate = PVAppDelegate::shareInstance();
        delegate.launchParts = PVLaunchParts::application(presenter);
        delegate.launchPresenterRuntime();
        const PVGlobalObjectManager& globals = PVGlobalObjectManager::sharedInstance();
        if (!QTest::qWaitFor([&] { return globals.dongleInsert() && globals.pairedState(); }, 20'000)) {
            failure_ = QStringLiteral("the simulated presenter did not pair");
            return false;
        }
        settle();
        return true;
    }

    // The question is modal: it is pictured and answered "No" from a timer
    // while it runs.
    bool resetQuestion()
    {
        main_->setupSelection(1);
        settle();
        auto* page = qobject_cast<PVPointerStyleViewController*>(main_->viewControllers().at(1));
        bool saved = false;
        QTimer poll;
        poll.setInterval(50);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            PVAlertViewController* alert = PVAlertViewController::currentAlert();
            if (alert == nullptr || alert->alertWindow() == nullptr || !alert->alertWindow()->isVisible()) {
                return;
            }
            poll.stop();
            saved = save(screenShot(window_->window()->frameGeometry()), kResetQuestion);
            QTest::mouseClick(alert->button1(), Qt::LeftButton, {}, QPoint(10, 10));
        });
        poll.start();
        page->resetButtonAction();
        window_->window()->close();
        return saved;
    }

    bool tutorial()
    {
        PVTutorialWindowController controller;
        controller.showWindow();
        const bool saved =
            shown(controller.window()) && save(settled([&] { return controller.window()->grab().toImage(); }), kTutorial);
        controller.window()->close();
        return saved;
    }

    bool overlays()
    {
        PatternWindow pattern;
        if (!pattern.showOverScreen(QGuiApplication::primaryScreen()->geometry())) {
            failure_ = QStringLiteral("the test pattern did not show");
            return false;
        }
        PVExtraWindowManager& manager = PVExtraWindowManager::sharedInstance();
        // Global points have their origin at the bottom left; the middle of
        // the screen is the same either way.
        const QPointF centre(kScreenSize.width() / 2.0, kScreenSize.height() / 2.0);
        const quint64 kinds[] = {PVOverlayControlPointer, PVOverlayControlMagnifierGlass, PVOverlayControlMagnifiedCapture};
        for (size_t i = 0; i < kOverlays.size(); ++i) {
            manager.startShowingAtPoint(centre, kinds[i]);
            manager.setCenter(centre, true);
            const bool saved = save(screenShot(kOverlayCrop), kOverlays[i]);
            manager.dismissControl(kinds[i]);
            settle();
            if (!saved) {
                return false;
            }
        }
        return true;
    }

    QImage windowShot() const
    {
        return settled([this] { return window_->window()->grab().toImage(); });
    }

    static QImage screenShot(const QRect& area)
    {
        return settled([area] {
            return QGuiApplication::primaryScreen()
                ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                .toImage();
        });
    }

    // A picture once it stops changing (two grabs 100 ms apart agree), or
    // the last one after three seconds: late repaints reach the windows a
    // moment later on a busy machine.
    static QImage settled(const std::function<QImage()>& grab)
    {
        QImage last = grab();
        for (int tries = 0; tries < 30; ++tries) {
            QTest::qWait(100);
            QImage next = grab();
            if (next == last) {
                break;
            }
            last = std::move(next);
        }
        return last;
    }

    bool save(const QImage& image, const char* name)
    {
        const QString path = out_.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        if (image.isNull() || !image.save(path)) {
            failure_ = QStringLiteral("cannot write ") + path;
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    }

    static void settle() { QTest::qWait(kSettleMs); }

    bool shown(QWidget* window)
    {
        if (!QTest::qWaitForWindowExposed(window)) {
            failure_ = window->metaObject()->className() + QStringLiteral(" did not show");
            return false;
        }
        settle();
        return true;
    }

    QDir out_;
    QString failure_;
    PVMainViewModelAdapter model_;
    std::unique_ptr<PVMainWindowController> window_;
    PVMainViewController* main_ = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    const bool grabOnly = argc == 3 && std::strcmp(argv[1], "--grab-screen") == 0;
    if (argc != 2 && !grabOnly) {
        std::fprintf(stderr, "usage: pelvaro_screenshots OUT_DIR\n       pelvaro_screenshots --grab-screen FILE\n");
        return 2;
    }
    QApplication application(argc, argv);
    if (grabOnly) {
        if (!QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "pelvaro_screenshots: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    QApplication::setApplicationName("Pelvaro");
    QApplication::setQuitOnLastWindowClosed(false);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    if (screen != kScreenSize) {
        std::fprintf(stderr, "pelvaro_screenshots: the screen is %dx%d, not %dx%d\n", screen.width(),
                     screen.height(), kScreenSize.width(), kScreenSize.height());
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "pelvaro_screenshots: cannot make %s\n", argv[1]);
        return 1;
    }
    PVWindowCloseWatcher::install();
    Driver driver(out);
    const bool written = driver.run();
    if (!written) {
        std::fprintf(stderr, "pelvaro_screenshots: %s\n", qPrintable(driver.failure()));
    }
    // The presenter runtime's worker threads are never stopped: leave
    // without the destructors that would free what they still use.
    std::fflush(nullptr);
    std::_Exit(written ? 0 : 1);
}
