#include "ui/controls/PVImageView.h"

#include "ui/controls/PVRoundedFrame.h"

#include <QPainter>
#include <cmath>

PVImageView::PVImageView(QWidget* parent) : QWidget(parent) {}

void PVImageView::setImage(const QImage& image)
{
    // Owners set the image on every repaint of theirs; the same image again
    // must not repaint, or the two would keep repainting each other.
    if (image.cacheKey() == image_.cacheKey()) {
        return;
    }
    image_ = image;
    updateGeometry();
    update();
}

void PVImageView::setScaling(Scaling scaling)
{
    if (scaling_ == scaling) {
        return;
    }
    scaling_ = scaling;
    update();
}

void PVImageView::setBorderColor(const QColor& color)
{
    if (borderColor_ == color) {
        return;
    }
    borderColor_ = color;
    update();
}

void PVImageView::setBorderWidth(double width)
{
    if (borderWidth_ == width) {
        return;
    }
    borderWidth_ = width;
    update();
}

void PVImageView::setCornerRadius(double radius)
{
    if (cornerRadius_ == radius) {
        return;
    }
    cornerRadius_ = radius;
    update();
}

QSize PVImageView::sizeHint() const
{
    return image_.isNull() ? QSize(0, 0) : image_.deviceIndependentSize().toSize();
}

QRectF PVImageView::imageRect() const
{
    const QRectF bounds = rect();
    QSizeF size = image_.deviceIndependentSize();
    const bool tooLarge = size.width() > bounds.width() || size.height() > bounds.height();
    if (scaling_ == Scaling::ProportionallyUpOrDown || (scaling_ == Scaling::ProportionallyDown && tooLarge)) {
        size.scale(bounds.size(), Qt::KeepAspectRatio);
    }
    // Whole-pixel origin: an image at its own size stays sharp.
    const QPointF origin(std::round((bounds.width() - size.width()) / 2.0),
                         std::round((bounds.height() - size.height()) / 2.0));
    return QRectF(origin, size);
}

void PVImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!image_.isNull()) {
        painter.drawImage(imageRect(), image_);
    }
    paintRoundedFrame(painter, rect(), cornerRadius_, borderWidth_, borderColor_, QColor());
}
