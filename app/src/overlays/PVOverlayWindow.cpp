#include "overlays/PVOverlayWindow.h"

#include <QBitmap>
#include <algorithm>

namespace {

// The pixels of `image`, drawn into `rect`, whose alpha is not zero.
QRegion coveredPixels(const QImage& image, const QRectF& rect)
{
    const QRect target = rect.toAlignedRect();
    if (target.isEmpty()) {
        return QRegion();
    }
    const QImage drawn =
        image.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_ARGB32);
    QImage mono(drawn.size(), QImage::Format_MonoLSB);
    mono.setColorCount(2);
    mono.setColor(0, qRgb(255, 255, 255));
    mono.setColor(1, qRgb(0, 0, 0));
    mono.fill(0);
    for (int y = 0; y < drawn.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            if (qAlpha(line[x]) != 0) {
                mono.setPixel(x, y, 1);
            }
        }
    }
    return QRegion(QBitmap::fromImage(mono)).translated(target.topLeft());
}

} // namespace

PVOverlayWindow::PVOverlayWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint |
                           Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus),
      imageView_(new PVImageView(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    imageView_->setScaling(PVImageView::Scaling::ProportionallyDown);
    imageView_->setGeometry(0, 0, 0, 0);
    setShape(QRegion());
}

void PVOverlayWindow::shapeToImage()
{
    const QImage& image = imageView_->image();
    if (image.isNull() || !imageView_->isVisibleTo(this) || imageView_->size().isEmpty()) {
        setShape(QRegion());
        return;
    }
    const QRectF rect = imageView_->imageRect();
    if (image.cacheKey() != coveredKey_ || rect != coveredRect_) {
        covered_ = coveredPixels(image, rect);
        coveredKey_ = image.cacheKey();
        coveredRect_ = rect;
    }
    setShape(covered_.translated(imageView_->pos()));
}

void PVOverlayWindow::setShape(const QRegion& region)
{
    shape_ = region.intersected(QRect(0, 0, std::max(width(), 1), std::max(height(), 1)));
    // An empty mask would mean "no mask", the whole window: a one-pixel
    // area left of the window's origin shows nothing and catches nothing.
    setMask(shape_.isEmpty() ? QRegion(-1, -1, 1, 1) : shape_);
}
