#pragma once

// Tints an image: each pixel becomes its luminance, dimmed to three
// quarters, multiplied by the tint colour; transparency is kept. Used to
// show a hovered or pressed image button that has no highlighted image.

#include <QColor>
#include <QImage>

/// The tinted image (ARGB32); an invalid colour returns a copy of `image`.
QImage imageTintedWithColor(const QImage& image, const QColor& color);
