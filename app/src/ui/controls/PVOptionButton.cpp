#include "ui/controls/PVOptionButton.h"

#include "localisation/PVLocalizedKey.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVThemeLabel.h"

#include <QLabel>
#include <algorithm>

PVOptionButton::PVOptionButton(QWidget* parent)
    : PVStateImageButton(parent), imageView_(new PVImageView(this)),
      label_(createThemeLabel(themeTextBlackColor(), Qt::AlignLeft | Qt::AlignVCenter, this))
{
    imageView_->setScaling(PVImageView::Scaling::None);
    updateLayout();
}

void PVOptionButton::updateLayout()
{
    const QString text = label_->text();
    ::setLocalizedKey(label_, localizedKey());
    if (label_->text() != text) {
        layoutSubviews();
    }
    const QImage* chosen = &image();
    if (selected()) {
        chosen = &selectedImage();
    } else if (mouseDown() || mouseIn()) {
        chosen = &highlightedImage();
    }
    // A missing image for the state keeps whatever the view shows.
    if (!chosen->isNull()) {
        imageView_->setImage(*chosen);
    }
}

QSize PVOptionButton::sizeHint() const
{
    const QSize text = label_->sizeHint();
    return {kMaximumImageWidth + text.width(), std::max(kMaximumImageWidth, text.height())};
}

void PVOptionButton::resizeEvent(QResizeEvent* event)
{
    PVStateImageButton::resizeEvent(event);
    layoutSubviews();
}

void PVOptionButton::layoutSubviews()
{
    const int imageWidth = std::min(height(), kMaximumImageWidth);
    imageView_->setGeometry(0, 0, imageWidth, height());
    const QSize text = label_->sizeHint();
    const int labelWidth = std::max(0, std::min(text.width(), width() - imageWidth));
    label_->setGeometry(imageWidth, (height() - text.height()) / 2, labelWidth, text.height());
}
