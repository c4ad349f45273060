#include "overlays/PVMagnifierWindowController.h"

#include "log/DXLog.h"
#include "overlays/PVMagnifierGeometry.h"
#include "overlays/PVOverlayGeometry.h"
#include "settings/PVGlobalObjectManager.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <cmath>

namespace {

// The screen's area in top-left display coordinates, in points.
QRectF displayBounds(const PVScreen& screen, const PVGlobalObjectManager& globals)
{
    const QRectF& frame = screen.frame;
    return QRectF(PVFlipPointOnPrimaryScreen(frame.x(), frame.y() + frame.height(), globals), frame.size());
}

// The cut enlarged two times into a circle; transparent outside the circle.
QImage magnified(const QImage& cut, double factor)
{
    const QSizeF viewSize = PVMagnifierGeometry::viewSize(cut.size(), factor);
    QImage view(static_cast<int>(viewSize.width()), static_cast<int>(viewSize.height()),
                QImage::Format_ARGB32_Premultiplied);
    if (view.isNull()) {
        return view;
    }
    view.fill(Qt::transparent);
    QPainter painter(&view);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double scale = PVMagnifierGeometry::kEnlargement / factor;
    painter.scale(scale, scale);
    QPainterPath circle;
    const double radius = cut.width() * 0.5;
    circle.addEllipse(QPointF(cut.width() / 2.0, cut.height() / 2.0), radius, radius);
    painter.setClipPath(circle);
    painter.drawImage(QRectF(0, 0, cut.width(), cut.height()), cut);
    return view;
}

} // namespace

PVMagnifierWindowController::PVMagnifierWindowController()
    : PVMagnifierWindowController(PVGlobalObjectManager::sharedInstance())
{
}

PVMagnifierWindowController::PVMagnifierWindowController(const PVGlobalObjectManager& globals)
    : globals_(globals), window_(std::make_unique<PVMagnifierWindow>())
{
}

PVMagnifierWindowController::~PVMagnifierWindowController()
{
    window_.reset();
    DXLogDebug("PVMagnifierWindowController dealloc");
}

void PVMagnifierWindowController::showOnScreen(const PVScreen& screen)
{
    if (onScreen_.has_value() || window_ == nullptr) {
        return;
    }
    // Mapped while it shows nothing, so the snapshot sees the screen and not
    // this window.
    setOnScreen(screen);
    window_->show();
    window_->raise();
    screenCapture(screen.displayID, screen.scaleFactor);
}

void PVMagnifierWindowController::screenCapture(quint32 displayID, double factor)
{
    std::optional<PVScreen> screen;
    for (const PVScreen& candidate : globals_.allScreens()) {
        if (candidate.displayID == displayID) {
            screen = candidate;
            break;
        }
    }
    if (!screen.has_value() && onScreen_.has_value() && onScreen_->displayID == displayID) {
        screen = onScreen_;
    }
    QScreen* qtScreen = screen.has_value() ? PVQtScreenOf(*screen) : nullptr;
    const QImage grab = qtScreen != nullptr ? qtScreen->grabWindow(0).toImage() : QImage();
    if (grab.isNull()) {
        DXLogWarn("Failed to create image from bitmap context");
        return;
    }

    const QRectF bounds = displayBounds(*screen, globals_);
    const QRect snapshotRect = PVMagnifierGeometry::snapshotRect(bounds, factor);
    QImage snapshot(snapshotRect.size(), QImage::Format_ARGB32_Premultiplied);
    if (snapshot.isNull()) {
        DXLogWarn("Failed to create a bitmap context");
        return;
    }
    snapshot.fill(Qt::transparent);
    {
        QPainter painter(&snapshot);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const int border = PVMagnifierGeometry::kSnapshotBorderPx;
        QImage pixels = grab;
        pixels.setDevicePixelRatio(1.0);
        painter.drawImage(QRect(border, border, snapshotRect.width() - 2 * border,
                                snapshotRect.height() - 2 * border),
                          pixels);
    }
    screenCapture_ = snapshot;
    origin_ = PVMagnifierGeometry::snapshotOrigin(bounds, factor);
}

void PVMagnifierWindowController::showImageCenter(QPointF point)
{
    if (!onScreen_.has_value() || window_ == nullptr) {
        return;
    }
    PVImageView* view = window_->imageView();
    if (!PVFrameContainsWithEdges(onScreen_->frame, point)) {
        view->hide();
        window_->shapeToImage();
        return;
    }
    const double factor = onScreen_->scaleFactor;
    pointerCenter_ = point;
    const QPointF center = PVFlipPointOnPrimaryScreen(point.x(), point.y(), globals_);
    const QImage cut = screenCapture_.isNull()
                           ? QImage()
                           : screenCapture_.copy(PVMagnifierGeometry::cutRect(center, origin_, factor));
    if (cut.isNull()) {
        DXLogDebug("empty");
        return;
    }
    const QImage image = magnified(cut, factor);
    if (image.isNull()) {
        DXLogWarn("Failed to create image from bitmap context");
        return;
    }
    const QPointF local = PVWindowLocalPoint(*onScreen_, pointerCenter_);
    view->setGeometry(PVWholePoint(local.x() - image.width() / 2.0), PVWholePoint(local.y() - image.height() / 2.0),
                      image.width(), image.height());
    view->setImage(image);
    view->setVisible(!shouldHide_);
    window_->shapeToImage();
}

void PVMagnifierWindowController::dismiss()
{
    if (window_ != nullptr) {
        window_->close();
        window_.reset();
    }
    onScreen_.reset();
}

void PVMagnifierWindowController::setOnScreen(const std::optional<PVScreen>& screen)
{
    onScreen_ = screen;
    if (window_ != nullptr) {
        window_->setGeometry(screen.has_value() ? PVQtGeometryOf(*screen, globals_) : QRect());
        window_->update();
    }
}
