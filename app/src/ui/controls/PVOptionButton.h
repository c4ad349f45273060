#pragma once

// A choice among options: an image on the left (normal, selected or
// highlighted) and a localised label beside it.

#include "ui/controls/PVStateImageButton.h"

class QLabel;
class PVImageView;

class PVOptionButton : public PVStateImageButton
{
    Q_OBJECT

  public:
    /// The image column is as wide as the button is high, at most this.
    static constexpr int kMaximumImageWidth = 30;

    explicit PVOptionButton(QWidget* parent = nullptr);

    void updateLayout() override;
    QSize sizeHint() const override;

    PVImageView* imageView() const { return imageView_; }
    QLabel* label() const { return label_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutSubviews();

    PVImageView* imageView_;
    QLabel* label_;
};
