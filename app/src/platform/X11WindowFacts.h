#pragma once

// What a top-level window of an X display shows of itself to another
// program: its class, name, state and place. A plain value, read once.

#include <QRect>
#include <string>

struct X11WindowFacts
{
    unsigned long window = 0;
    std::string wmClass;           ///< class part of WM_CLASS ("" without one)
    std::string name;              ///< _NET_WM_NAME, else WM_NAME ("" without one)
    bool mapped = false;           ///< viewable: mapped with every ancestor
    bool overrideRedirect = false; ///< placed by its program, past any window manager
    bool fullScreen = false;       ///< _NET_WM_STATE holds _NET_WM_STATE_FULLSCREEN
    unsigned long transientFor = 0;
    /// The window id with the server's resource-id bits cleared: every
    /// window one X client creates has the same value.
    unsigned long client = 0;
    QRect rootGeometry; ///< origin in root pixels, size in pixels
};
