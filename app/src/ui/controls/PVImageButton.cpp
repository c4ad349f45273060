#include "ui/controls/PVImageButton.h"

#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVImageTint.h"
#include "ui/controls/PVImageView.h"

PVImageButton::PVImageButton(QWidget* parent) : PVStateImageButton(parent), imageView_(new PVImageView(this))
{
    imageView_->setScaling(PVImageView::Scaling::None);
    updateLayout();
}

void PVImageButton::updateLayout()
{
    if (selected()) {
        if (!selectedImage().isNull()) {
            imageView_->setImage(selectedImage());
        }
    } else if (mouseDown() || mouseIn()) {
        // Without a highlighted image the normal one shows in grey; with
        // neither, the view shows nothing.
        imageView_->setImage(!highlightedImage().isNull() ? highlightedImage() : tintedImage());
    } else if (!image().isNull()) {
        imageView_->setImage(image());
    }
}

const QImage& PVImageButton::tintedImage()
{
    // Made once per normal image: the state look is applied on every repaint.
    if (tintedSourceKey_ != image().cacheKey()) {
        tintedImage_ = imageTintedWithColor(image(), platformGrayColor());
        tintedSourceKey_ = image().cacheKey();
    }
    return tintedImage_;
}

QSize PVImageButton::sizeHint() const
{
    return image().isNull() ? QSize(0, 0) : image().deviceIndependentSize().toSize();
}

void PVImageButton::resizeEvent(QResizeEvent* event)
{
    PVStateImageButton::resizeEvent(event);
    imageView_->setGeometry(rect());
}
