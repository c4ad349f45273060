#include "platform/PVScreen.h"

#include <QStringList>

bool PVScreen::isBuiltInConnector(const QString& name)
{
    // Embedded DisplayPort, LVDS and MIPI DSI connect only a laptop's or a
    // tablet's own panel.
    static const QStringList builtInPrefixes = {QStringLiteral("eDP"), QStringLiteral("LVDS"),
                                                QStringLiteral("DSI")};
    for (const QString& prefix : builtInPrefixes) {
        if (name.startsWith(prefix)) {
            return true;
        }
    }
    return false;
}
