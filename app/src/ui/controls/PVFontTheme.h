#pragma once

// The application's typeface: Arial (or the metric-compatible face the font
// configuration puts in its place). Sizes are design points; one point is
// one device-independent pixel, so text keeps its size relative to the
// controls' geometry whatever the screen's dots per inch.

#include <QFont>

/// Trait bits of themeFontTrait.
enum PVFontTraitMask : unsigned
{
    PVItalicFontMask = 1,
    PVBoldFontMask = 2,
};

/// Arial at 14 points.
QFont themeFont();
QFont themeFontSize(double size);
QFont themeBoldFontSize(double size);
/// Arial at `size` with the traits of `traitMask` (italic, bold; other bits
/// are ignored).
QFont themeFontTrait(unsigned traitMask, double size);
