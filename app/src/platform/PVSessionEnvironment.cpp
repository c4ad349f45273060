#include "platform/PVSessionEnvironment.h"

#include <cstdlib>

PVSessionEnvironment PVSessionEnvironment::current()
{
    PVSessionEnvironment session;
    if (const char* type = std::getenv("XDG_SESSION_TYPE")) {
        session.sessionType = type;
    }
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    session.waylandDisplaySet = wayland != nullptr && *wayland != '\0';
    return session;
}

bool PVSessionEnvironment::preferXcbOnWayland()
{
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    if (!current().isWayland() || (chosen != nullptr && *chosen != '\0')) {
        return false;
    }
    return setenv("QT_QPA_PLATFORM", "xcb", 1) == 0;
}
