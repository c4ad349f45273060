#pragma once

// Whether the desktop offers a system tray for the status item. Desktops
// without one (and a bare X server) get the settings window instead; tests
// choose the answer.

#include <optional>

class PVSystemTray
{
  public:
    /// The test's answer when one is set, else the desktop's.
    static bool isAvailable();
    /// Sets the answer (none: ask the desktop again); returns the one before.
    static std::optional<bool> setAvailable(std::optional<bool> available);
};
