#include "platform/PVSystemTray.h"

#include <QSystemTrayIcon>

namespace {

std::optional<bool> chosen;

} // namespace

bool PVSystemTray::isAvailable()
{
    return chosen.has_value() ? *chosen : QSystemTrayIcon::isSystemTrayAvailable();
}

std::optional<bool> PVSystemTray::setAvailable(std::optional<bool> available)
{
    const std::optional<bool> before = chosen;
    chosen = available;
    return before;
}
