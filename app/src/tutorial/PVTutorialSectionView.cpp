#include "tutorial/PVTutorialSectionView.h"

#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVThemeLabel.h"

#include <QLabel>
#include <algorithm>
#include <cmath>

PVTutorialSectionView::PVTutorialSectionView(QWidget* parent)
    : QWidget(parent), icon_(new PVImageView(this)),
      title_(createThemeLabel(themeTextBlackColor(), Qt::AlignLeft | Qt::AlignVCenter, this)),
      step_(new PVImageView(this))
{
    title_->setFont(themeFontSize(16));
    icon_->setScaling(PVImageView::Scaling::ProportionallyDown);
    step_->setScaling(PVImageView::Scaling::ProportionallyUpOrDown);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void PVTutorialSectionView::setStepRatio(double ratio)
{
    if (!std::isfinite(ratio) || ratio <= 0.0 || ratio == stepRatio_) {
        return;
    }
    stepRatio_ = ratio;
    updateGeometry();
    layoutSubviews();
}

void PVTutorialSectionView::setCaption(QLabel* caption, double centreYFactor)
{
    caption_ = caption;
    captionCentreYFactor_ = std::isfinite(centreYFactor) ? centreYFactor : 1.0;
    if (caption_ != nullptr) {
        caption_->setParent(this);
        caption_->show();
    }
    layoutSubviews();
}

int PVTutorialSectionView::stepHeightForWidth(int width) const
{
    const int stepWidth = std::max(0, width - 2 * kStepInset);
    return static_cast<int>(std::lround(stepWidth * stepRatio_));
}

int PVTutorialSectionView::heightForWidth(int width) const
{
    return kTitleTop + title_->sizeHint().height() + kStepGap + stepHeightForWidth(width) + kStepGap;
}

QSize PVTutorialSectionView::sizeHint() const
{
    const int width = std::max(this->width(), kTitleLeading + kTitleTrailing + title_->sizeHint().width());
    return {width, heightForWidth(width)};
}

void PVTutorialSectionView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void PVTutorialSectionView::layoutSubviews()
{
    const int w = width();
    const int titleHeight = title_->sizeHint().height();
    title_->setGeometry(kTitleLeading, kTitleTop, std::max(0, w - kTitleLeading - kTitleTrailing), titleHeight);
    const int titleCentreY = kTitleTop + titleHeight / 2;
    icon_->setGeometry(kTitleLeading - kIconGap - kIconSide, titleCentreY - kIconSide / 2, kIconSide, kIconSide);
    const QRect step(kStepInset, kTitleTop + titleHeight + kStepGap, std::max(0, w - 2 * kStepInset),
                     stepHeightForWidth(w));
    step_->setGeometry(step);
    if (caption_ != nullptr) {
        const QSize size = caption_->sizeHint();
        const double centreY = (step.top() + step.height() / 2.0) * captionCentreYFactor_;
        const int leading = static_cast<int>(std::lround(kCaptionLeadingFactor * w / 2.0));
        caption_->setGeometry(leading, static_cast<int>(std::lround(centreY - size.height() / 2.0)),
                              std::min(size.width(), std::max(0, w - leading)), size.height());
    }
}
