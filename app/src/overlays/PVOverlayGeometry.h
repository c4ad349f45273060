#pragma once

// Where an overlay window goes and where a global point lies inside it.
// Global points and screen frames are the runtime's (bottom-left origin, y
// up); window geometry and window-local points are Qt's (top-left, y down).

#include "platform/PVScreen.h"

#include <QPointF>
#include <QRect>

class PVGlobalObjectManager;
class QScreen;

/// The application's screen of that connector name; null when it is gone (or
/// the screen is not one of the running application's).
QScreen* PVQtScreenOf(const PVScreen& screen);

/// The screen's area in Qt's global coordinates: the Qt screen's own
/// geometry when it exists, otherwise the frame turned over on the primary
/// screen that `globals` holds.
QRect PVQtGeometryOf(const PVScreen& screen, const PVGlobalObjectManager& globals);

/// A global point in the coordinates of a window that covers `screen` (top
/// left origin, y down).
QPointF PVWindowLocalPoint(const PVScreen& screen, QPointF globalPoint);

/// The whole point nearest to a window coordinate, halves rounded up, so
/// the windows of two neighbouring screens split a square without a gap.
int PVWholePoint(double coordinate);

/// Whether the frame holds the point, its edges included on all four sides.
bool PVFrameContainsWithEdges(const QRectF& frame, QPointF point);
