#pragma once

// The bar of the progress dialog: a light grey trough with a thin border,
// filled in blue from the left as far as the progress goes.

#include <QWidget>

class PVProgressView : public QWidget
{
    Q_OBJECT

  public:
    static constexpr double kBorderWidth = 2.0;
    static constexpr double kCornerRadius = 2.0;
    /// Distance of the bar from the left, top and bottom edges.
    static constexpr double kBarInset = 2.0;

    explicit PVProgressView(QWidget* parent = nullptr);

    /// 0 to 1; the view repaints on change.
    double progress() const { return progress_; }
    void setProgress(double progress);

    /// The blue bar's rectangle for the current size and progress; empty
    /// when the progress is 0 or less.
    QRectF barRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double progress_ = 0.0;
};
