#pragma once

// One display as the runtime reasons about it. Frames are in points with the
// origin at the bottom left of the main screen's frame and y growing upwards,
// the coordinates of the presenter's screen logic.

#include <QRectF>
#include <QString>

struct PVScreen
{
    /// The connector's name ("eDP-1", "HDMI-1", ...).
    QString name;
    /// The display number: stable per connector name for the run.
    quint32 displayID = 0;
    QRectF frame;
    /// The frame without panels and docks.
    QRectF visibleFrame;
    double scaleFactor = 1.0;
    /// A laptop's own panel.
    bool builtIn = false;

    bool operator==(const PVScreen&) const = default;

    /// Whether a connector of that name is a built-in panel.
    static bool isBuiltInConnector(const QString& name);
};
