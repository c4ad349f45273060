#pragma once

// A thin filled line of fractional thickness (borders and separators of
// 1.6 points): the widget covers the whole pixels the line touches and
// paints the exact rectangle with antialiasing, so a line at the outer edge
// of its parent shows one solid pixel and one partly covered one. It lets
// every click through to what lies under it.

#include <QColor>
#include <QRectF>
#include <QWidget>

class PVLineView : public QWidget
{
    Q_OBJECT

  public:
    explicit PVLineView(const QColor& color, QWidget* parent = nullptr);

    /// Places the line at `lineRect`, in the parent's coordinates.
    void setLineRect(const QRectF& lineRect);
    const QRectF& lineRect() const { return lineRect_; }

    QColor color() const { return color_; }
    void setColor(const QColor& color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor color_;
    QRectF lineRect_;
};
