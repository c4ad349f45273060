#pragma once

// One section of the tutorial page: a small icon before the section's title
// and a large step picture below, as wide as the section less 55 points on
// each side and as tall as that width times the picture's ratio. An optional
// caption lies over the picture.

#include <QWidget>

class QLabel;
class PVImageView;

class PVTutorialSectionView : public QWidget
{
    Q_OBJECT

  public:
    static constexpr int kTitleTop = 20;
    static constexpr int kTitleLeading = 52;
    static constexpr int kTitleTrailing = 55;
    static constexpr int kIconGap = 8;
    static constexpr int kIconSide = 16;
    static constexpr int kStepGap = 10;
    static constexpr int kStepInset = 55;
    /// Height over width of a step picture whose ratio nobody set.
    static constexpr double kDefaultStepRatio = 11.0 / 24.0;
    /// Leading edge of the caption, as a share of the section's centre X.
    static constexpr double kCaptionLeadingFactor = 0.45;

    explicit PVTutorialSectionView(QWidget* parent = nullptr);

    PVImageView* icon() const { return icon_; }
    QLabel* title() const { return title_; }
    PVImageView* step() const { return step_; }

    /// Height over width of the step picture; a ratio that is no positive
    /// finite number keeps the default.
    double stepRatio() const { return stepRatio_; }
    void setStepRatio(double ratio);

    /// Puts `caption` into the section: its leading edge at 0.45 × the
    /// section's centre X, its centre at the step's centre Y (from the
    /// section's top) × `centreYFactor`.
    void setCaption(QLabel* caption, double centreYFactor);
    QLabel* caption() const { return caption_; }
    double captionCentreYFactor() const { return captionCentreYFactor_; }

    /// Places the title, icon, picture and caption for the current size
    /// (also while the section is not shown, when no resize event comes).
    void layoutSubviews();

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    int stepHeightForWidth(int width) const;

    PVImageView* icon_;
    QLabel* title_;
    PVImageView* step_;
    QLabel* caption_ = nullptr;
    double stepRatio_ = kDefaultStepRatio;
    double captionCentreYFactor_ = 1.0;
};
