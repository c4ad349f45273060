#pragma once

// Paints a rounded rectangle the way a layer with a corner radius, a
// background and a border shows: the background fills the rounded shape and
// the border lies inside it, its inner corners smaller by the border width.

#include <QColor>
#include <QRectF>

class QPainter;
class QPainterPath;

/// An invalid or fully transparent colour, or a width of zero, paints no
/// background or no border.
void paintRoundedFrame(QPainter& painter, const QRectF& bounds, double radius, double borderWidth,
                       const QColor& borderColor, const QColor& background);

/// The rounded shape of `bounds`.
QPainterPath roundedShape(const QRectF& bounds, double radius);
