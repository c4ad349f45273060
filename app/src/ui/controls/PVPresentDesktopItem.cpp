#include "ui/controls/PVPresentDesktopItem.h"

#include "localisation/PVLocalizedKey.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVStateBorder.h"
#include "ui/controls/PVThemeLabel.h"

#include <QLabel>
#include <algorithm>
#include <cmath>

PVPresentDesktopItem::PVPresentDesktopItem(QWidget* parent)
    : PVButton(parent), imageView_(new PVImageView(this)),
      label_(createThemeLabel(themeTextBlackColor(), Qt::AlignCenter, this))
{
    imageView_->setScaling(PVImageView::Scaling::ProportionallyUpOrDown);
    imageView_->setCornerRadius(kImageCornerRadius);
}

void PVPresentDesktopItem::setLocalizedKey(const QString& key)
{
    ::setLocalizedKey(label_, key);
    layoutSubviews();
}

void PVPresentDesktopItem::updateLayout()
{
    showStateBorder(*this, *imageView_);
}

void PVPresentDesktopItem::resizeEvent(QResizeEvent* event)
{
    PVButton::resizeEvent(event);
    layoutSubviews();
}

void PVPresentDesktopItem::layoutSubviews()
{
    // The picture takes the room the caption leaves, as wide as the item
    // allows, its height fixed by the screen's aspect.
    const int labelHeight = label_->sizeHint().height();
    const double roomHeight = std::max(0, height() - kImageTop - kLabelBottomInset - labelHeight);
    const double imageWidth = std::min<double>(width(), roomHeight / kImageAspect);
    const int imageHeight = static_cast<int>(std::lround(imageWidth * kImageAspect));
    const int roundedWidth = static_cast<int>(std::lround(imageWidth));
    imageView_->setGeometry((width() - roundedWidth) / 2, kImageTop, roundedWidth, imageHeight);
    const int labelWidth = std::min(label_->sizeHint().width(), width());
    label_->setGeometry((width() - labelWidth) / 2, kImageTop + imageHeight, labelWidth,
                        std::max(0, height() - kLabelBottomInset - kImageTop - imageHeight));
}
