#pragma once

// Whether the program can start its windows: Qt's X11 platform ends the
// process when it cannot reach the X display, so the program asks first and
// says why it cannot run instead.

#include <string>

/// Why the windows cannot start with the Qt platform `qtPlatform`
/// (QT_QPA_PLATFORM; null or empty: Qt's default, X11 here) on the X display
/// `display` (DISPLAY; null: unset): empty when they can, or when the
/// platform is not X11 and so none of this program's business.
std::string x11DisplayProblem(const char* qtPlatform, const char* display);

/// The same for the environment the program runs in.
std::string x11DisplayProblem();
