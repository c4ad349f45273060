#pragma once

// One screen to present on: a picture of the screen with a caption under it.
// The picture's border shows the state: thick blue when selected or pressed
// with the pointer inside, thin light blue when only hovered or pressed.

#include "ui/controls/PVButton.h"

class QLabel;
class PVImageView;

class PVPresentDesktopItem : public PVButton
{
    Q_OBJECT

  public:
    /// Height of the picture over its width (a 265 × 153 screen picture).
    static constexpr double kImageAspect = 0.5773584842681885;
    static constexpr int kImageTop = 5;
    static constexpr int kLabelBottomInset = 8;
    static constexpr double kImageCornerRadius = 10.0;

    explicit PVPresentDesktopItem(QWidget* parent = nullptr);

    /// Shows the key's text in the caption; the item keeps no key.
    void setLocalizedKey(const QString& key) override;
    void updateLayout() override;

    PVImageView* imageView() const { return imageView_; }
    QLabel* label() const { return label_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutSubviews();

    PVImageView* imageView_;
    QLabel* label_;
};
