#pragma once

// The overlay kinds the overlay manager shows on every screen.

#include <QtGlobal>

enum PVOverlayControl : quint64
{
    /// The pointer style's image, while the pointer button is held.
    PVOverlayControlPointer = 1,
    /// The magnifier glass that marks where the magnifier is.
    PVOverlayControlMagnifierGlass = 2,
    /// The magnified snapshot of the screen.
    PVOverlayControlMagnifiedCapture = 3,
};
