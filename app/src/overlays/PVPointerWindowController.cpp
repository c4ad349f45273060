#include "overlays/PVPointerWindowController.h"

#include "log/DXLog.h"
#include "overlays/PVOverlayGeometry.h"
#include "settings/PVGlobalObjectManager.h"

#include <cmath>

PVPointerWindowController::PVPointerWindowController()
    : PVPointerWindowController(PVGlobalObjectManager::sharedInstance())
{
}

PVPointerWindowController::PVPointerWindowController(const PVGlobalObjectManager& globals)
    : globals_(globals), window_(std::make_unique<PVPointerWindow>())
{
}

PVPointerWindowController::~PVPointerWindowController()
{
    window_.reset();
    DXLogDebug("PVPointerWindowController dealloc");
}

double PVPointerWindowController::sideOfSizeLevel(quint64 level)
{
    switch (level) {
    case 0:
        return 35.0;
    case 1:
        return 52.5;
    case 2:
        return 70.0;
    default:
        return 0.0;
    }
}

void PVPointerWindowController::setPointerImage(const QImage& image)
{
    pointerImage_ = image;
    designFrame();
}

void PVPointerWindowController::setPointerSizeLevel(quint64 level)
{
    const double side = sideOfSizeLevel(level);
    pointerSize_ = QSizeF(side, side);
    designFrame();
}

void PVPointerWindowController::setPointerCenter(QPointF center)
{
    pointerCenter_ = center;
    designFrame();
}

void PVPointerWindowController::showOnScreen(const PVScreen& screen)
{
    if (onScreen_.has_value() || window_ == nullptr) {
        return;
    }
    // The window covers the screen before it is mapped, so it never shows
    // at another place or size.
    setOnScreen(screen);
    window_->show();
    window_->raise();
    designFrame();
}

void PVPointerWindowController::dismissOnScreen()
{
    if (window_ != nullptr) {
        window_->close();
        window_.reset();
    }
    onScreen_.reset();
}

void PVPointerWindowController::setShouldHide(bool hide)
{
    shouldHide_ = hide;
    applyImage();
}

void PVPointerWindowController::setOnScreen(const std::optional<PVScreen>& screen)
{
    onScreen_ = screen;
    if (window_ != nullptr) {
        window_->setGeometry(screen.has_value() ? PVQtGeometryOf(*screen, globals_) : QRect());
        window_->update();
    }
}

void PVPointerWindowController::designFrame()
{
    if (!onScreen_.has_value() || window_ == nullptr) {
        return;
    }
    const QPointF local = PVWindowLocalPoint(*onScreen_, pointerCenter_);
    const double side = pointerSize_.width();
    imageFrame_ = QRectF(local.x() - side / 2.0, local.y() - side / 2.0, side, side);
    // Widgets sit on whole points: the square keeps its centre and its side
    // is rounded (52.5 becomes 53).
    const int wholeSide = static_cast<int>(std::lround(side));
    window_->imageView()->setGeometry(PVWholePoint(local.x() - wholeSide / 2.0),
                                      PVWholePoint(local.y() - wholeSide / 2.0), wholeSide, wholeSide);
    applyImage();
}

void PVPointerWindowController::applyImage()
{
    if (window_ == nullptr) {
        return;
    }
    window_->imageView()->setImage(shouldHide_ ? QImage() : pointerImage_);
    window_->shapeToImage();
}

QString PVPointerWindowController::debugDescription() const
{
    return QStringLiteral("<PVPointerWindowController: %1>, control = %2")
        .arg(QStringLiteral("0x%1").arg(reinterpret_cast<quintptr>(this), 0, 16))
        .arg(control_);
}
