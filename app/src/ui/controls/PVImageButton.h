#pragma once

// A button that is only an image: normal, selected or highlighted. Hovered
// or pressed without a highlighted image it shows its normal image in grey.

#include "ui/controls/PVStateImageButton.h"

class PVImageView;

class PVImageButton : public PVStateImageButton
{
    Q_OBJECT

  public:
    explicit PVImageButton(QWidget* parent = nullptr);

    void updateLayout() override;
    QSize sizeHint() const override;

    PVImageView* imageView() const { return imageView_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    const QImage& tintedImage();

    QImage tintedImage_;
    qint64 tintedSourceKey_ = 0;
    PVImageView* imageView_;
};
