#pragma once

// The round marks of the button mode options, drawn by the application: an
// empty grey ring, a blue ring while the pointer is over the option, and a
// blue ring around a blue dot for the chosen one.

#include <QImage>

enum class PVOptionImageState
{
    Normal,
    Highlighted,
    Selected,
};

/// The mark of `state`, 30 by 30 points (two pixels per point, sharp on
/// high-density screens).
QImage optionImage(PVOptionImageState state);
