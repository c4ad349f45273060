#include "platform/X11DisplayCheck.h"

#include <cstdlib>
#include <cstring>

#include <X11/Xlib.h>

std::string x11DisplayProblem(const char* qtPlatform, const char* display)
{
    if (qtPlatform != nullptr && *qtPlatform != '\0' && std::strncmp(qtPlatform, "xcb", 3) != 0) {
        return {};
    }
    if (display == nullptr || *display == '\0') {
        return "no X display: DISPLAY is not set. Start Pelvaro in a desktop session (on a machine without "
               "one, bash scripts/run.sh runs it under Xvfb)";
    }
    Display* connection = XOpenDisplay(display);
    if (connection == nullptr) {
        return std::string("the X display \"") + display + "\" cannot be opened";
    }
    XCloseDisplay(connection);
    return {};
}

std::string x11DisplayProblem()
{
    return x11DisplayProblem(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"));
}
