#pragma once

// The application's palette: every custom control and page takes its colours
// from here, so the look changes in one place.

#include <QColor>

/// A colour of 0-255 components (alpha included), each divided by 255.
QColor colorWithRed255(int red, int green, int blue, int alpha);
/// An opaque colour of 0-255 components.
QColor colorWithRed255(int red, int green, int blue);

/// The same hue, saturation and alpha at three quarters of the brightness.
QColor darkerColor(const QColor& color);

QColor themeBackgroundColor();
QColor themeBackgroundGrayColor();
QColor themeTextBlackColor();
QColor themeTextGrayColor();
QColor themeWindowBorderColor();
QColor themeBorderColor();
QColor themeBorderCircleColor();
QColor themeBorderBlueColor();
QColor themePartingLineColor();
QColor themeBorderButtonColor();
QColor themeBlueColor();
QColor themeBlueDarkColor();
QColor themeBlueHighlightedColor();

/// The neutral grey of the platform's named colours: half intensity.
QColor platformGrayColor();
