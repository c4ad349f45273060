#pragma once

// A spinning busy indicator: twelve spokes around the centre, the brightest
// one stepping round while it animates. Hidden while stopped, so it shows
// only while something is under way.

#include <QColor>
#include <QTimer>
#include <QWidget>

class PVProgressIndicator : public QWidget
{
    Q_OBJECT

  public:
    static constexpr int kSpokeCount = 12;
    /// Time between two steps of the bright spoke.
    static constexpr int kStepMs = 80;

    explicit PVProgressIndicator(QWidget* parent = nullptr);

    /// Shows the indicator and starts spinning; nothing when it spins.
    void startAnimation();
    /// Stops spinning and hides the indicator.
    void stopAnimation();
    bool isAnimating() const { return timer_.isActive(); }

    /// The spoke drawn brightest now.
    int step() const { return step_; }

    QColor color() const { return color_; }
    void setColor(const QColor& color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer timer_;
    int step_ = 0;
    QColor color_;
};
