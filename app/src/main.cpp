// Pelvaro: the desktop companion of the presenter.

#include "application/PVAppDelegate.h"
#include "application/PVSingleInstance.h"
#include "platform/PVSessionEnvironment.h"
#include "platform/PVWindowCloseWatcher.h"
#include "platform/QuitOnSignal.h"
#include "platform/X11DisplayCheck.h"
#include "runtime/PVPresentationPrograms.h"
#include "simulation/DemoScenario.h"
#include "simulation/SimulatedPresenterBackend.h"
#include "ui/alert/PVSessionAlert.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

void printUsage(std::FILE* out)
{
    std::fprintf(out,
                 "usage: pelvaro [--simulate] [--version]\n"
                 "  --simulate  play a simulated presenter instead of reading the receiver\n"
                 "  --version   print the version and exit\n");
}

} // namespace

int main(int argc, char** argv)
{
    bool simulate = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Pelvaro %s\n", PELVARO_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--simulate") == 0) {
            simulate = true;
            continue;
        }
        std::fprintf(stderr, "pelvaro: unknown option %s\n", argv[i]);
        printUsage(stderr);
        return 2;
    }

    if (!QuitOnSignal::installHandlers()) {
        std::fprintf(stderr, "pelvaro: cannot watch for SIGINT and SIGTERM\n");
        return 1;
    }
    PVSessionEnvironment::preferXcbOnWayland();
    // Qt's X11 platform would end the process over a display it cannot reach.
    if (const std::string problem = x11DisplayProblem(); !problem.empty()) {
        std::fprintf(stderr, "pelvaro: %s\n", problem.c_str());
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Pelvaro");
    QApplication::setApplicationVersion(PELVARO_VERSION);
    // The program lives in the background until the user quits it; closing
    // its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    // One program per user: a later start brings the running one's settings
    // window to the front and leaves.
    std::optional<PVSingleInstance> instance;
    instance.emplace();
    QString instanceError;
    switch (instance->start(&instanceError)) {
    case PVSingleInstance::Role::HandedOver:
        return 0;
    case PVSingleInstance::Role::Failed:
        std::fprintf(stderr, "pelvaro: another pelvaro runs but did not answer: %s\n", qPrintable(instanceError));
        return 1;
    case PVSingleInstance::Role::Primary:
        if (!instance->isListening()) {
            std::fprintf(stderr, "pelvaro: running without the single-program guard: %s\n",
                         qPrintable(instanceError));
        }
        break;
    }

    QuitOnSignal quitOnSignal;
    if (!quitOnSignal.install()) {
        std::fprintf(stderr, "pelvaro: cannot watch for SIGINT and SIGTERM\n");
        return 1;
    }

    PVWindowCloseWatcher::install();
    PVAppDelegate& delegate = PVAppDelegate::shareInstance();
    if (simulate) {
        // Read by the reader thread for the life of the process: never freed.
        auto* presenter = new SimulatedPresenterBackend(DemoScenario::make(DemoScenario::kProgramLaps));
        delegate.launchParts = PVLaunchParts::application(presenter);
    }
    delegate.awakeFromNib();
    // Slide shows are LibreOffice Impress's, driven before the launch asks
    // for its version.
    PVPresentationPrograms::install();
    // The presenter runtime, then the windows.
    delegate.applicationDidFinishLaunching();
    // In a Wayland session the pointer cannot be driven: say so once.
    PVSessionAlertAtLaunch(PVSessionEnvironment::current());
    // A logout ends the program without the question, but its windows close
    // first so the settings are stored.
    delegate.closeWindowsOnSignals(quitOnSignal);
    QObject::connect(&*instance, &PVSingleInstance::reopenRequested,
                     [&delegate] { delegate.applicationShouldHandleReopen(true); });
    const int status = QApplication::exec();

    // The reader and motion threads are never stopped and keep using the
    // engine's shared state and the application's: leave without the
    // destructors that would free it under them. The guard goes first, which
    // removes its socket file.
    instance.reset();
    std::fflush(nullptr);
    std::_Exit(status);
}
