#pragma once

// Shows one image centred in its bounds, at its own size or scaled to fit,
// with an optional rounded border drawn over it. A null image shows nothing.

#include <QColor>
#include <QImage>
#include <QWidget>

class PVImageView : public QWidget
{
    Q_OBJECT

  public:
    enum class Scaling
    {
        None,                   ///< natural size, centred, cut at the bounds
        ProportionallyUpOrDown, ///< as large as fits, aspect ratio kept
        ProportionallyDown,     ///< natural size, or smaller to fit, aspect ratio kept
    };

    explicit PVImageView(QWidget* parent = nullptr);

    const QImage& image() const { return image_; }
    void setImage(const QImage& image);

    Scaling scaling() const { return scaling_; }
    void setScaling(Scaling scaling);

    /// Border drawn inside the bounds; an invalid or transparent colour or a
    /// zero width draws none.
    QColor borderColor() const { return borderColor_; }
    double borderWidth() const { return borderWidth_; }
    void setBorderColor(const QColor& color);
    void setBorderWidth(double width);
    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double radius);

    QSize sizeHint() const override;

    /// Where the image is drawn, in the view's coordinates.
    QRectF imageRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
    Scaling scaling_ = Scaling::None;
    QColor borderColor_;
    double borderWidth_ = 0.0;
    double cornerRadius_ = 0.0;
};
