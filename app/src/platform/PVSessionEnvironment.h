#pragma once

// What kind of desktop session the program runs in, from its environment.

#include <string>

struct PVSessionEnvironment
{
    std::string sessionType;        ///< XDG_SESSION_TYPE ("x11", "wayland", ...)
    bool waylandDisplaySet = false; ///< WAYLAND_DISPLAY is set and not empty

    /// Reads the environment: call it before other threads may change it.
    static PVSessionEnvironment current();

    /// A Wayland session: synthetic X input cannot move the real pointer.
    bool isWayland() const { return sessionType == "wayland" || waylandDisplaySet; }

    /// In a Wayland session, runs Qt on XWayland (QT_QPA_PLATFORM=xcb) unless
    /// the user chose a platform: only there can the pointer be driven. Call
    /// before the QApplication exists. True when it chose xcb.
    static bool preferXcbOnWayland();
};
