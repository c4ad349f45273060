// Pelvaro: the desktop companion of the presenter.

#include "platform/PVSessionEnvironment.h"
#include "platform/QuitOnSignal.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Pelvaro %s\n", PELVARO_VERSION);
            return 0;
        }
    }

    if (!QuitOnSignal::installHandlers()) {
        std::fprintf(stderr, "pelvaro: cannot watch for SIGINT and SIGTERM\n");
        return 1;
    }
    PVSessionEnvironment::preferXcbOnWayland();
    QApplication application(argc, argv);
    QApplication::setApplicationName("Pelvaro");
    QApplication::setApplicationVersion(PELVARO_VERSION);
    // The program lives in the background until the user quits it; closing
    // its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    QuitOnSignal quitOnSignal;
    if (!quitOnSignal.install()) {
        std::fprintf(stderr, "pelvaro: cannot watch for SIGINT and SIGTERM\n");
        return 1;
    }
    return QApplication::exec();
}
