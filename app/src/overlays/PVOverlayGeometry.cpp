#include "overlays/PVOverlayGeometry.h"

#include "settings/PVGlobalObjectManager.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

QScreen* PVQtScreenOf(const PVScreen& screen)
{
    for (QScreen* candidate : QGuiApplication::screens()) {
        if (candidate->name() == screen.name) {
            return candidate;
        }
    }
    return nullptr;
}

QRect PVQtGeometryOf(const PVScreen& screen, const PVGlobalObjectManager& globals)
{
    if (const QScreen* qtScreen = PVQtScreenOf(screen)) {
        return qtScreen->geometry();
    }
    const QRectF& frame = screen.frame;
    const QPointF topLeft = PVFlipPointOnPrimaryScreen(frame.x(), frame.y() + frame.height(), globals);
    return QRectF(topLeft, frame.size()).toRect();
}

QPointF PVWindowLocalPoint(const PVScreen& screen, QPointF globalPoint)
{
    const QRectF& frame = screen.frame;
    return QPointF(globalPoint.x() - frame.x(), frame.y() + frame.height() - globalPoint.y());
}

int PVWholePoint(double coordinate)
{
    return static_cast<int>(std::floor(coordinate + 0.5));
}

bool PVFrameContainsWithEdges(const QRectF& frame, QPointF point)
{
    return frame.x() <= point.x() && point.x() <= frame.x() + frame.width() && frame.y() <= point.y() &&
           point.y() <= frame.y() + frame.height();
}
