#pragma once

// What the overlays lie over in the screen tests: a window that fills the
// screen with a pattern whose colour tells each pixel's place (red the x
// position, green the y position, both modulo 256, blue a checkerboard of
// 32-pixel cells), and records the left-button presses it receives. The
// shifted pattern is the same with red and green inverted.

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <vector>

class PatternWindow : public QWidget
{
  public:
    static QColor colorAt(QPoint pixel, bool shifted = false)
    {
        const int red = pixel.x() % 256;
        const int green = pixel.y() % 256;
        const int blue = (pixel.x() / 32 + pixel.y() / 32) % 2 == 0 ? 200 : 40;
        return shifted ? QColor(255 - red, 255 - green, blue) : QColor(red, green, blue);
    }

    PatternWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {}

    /// Shows the pattern over the whole primary screen and waits until it is
    /// on screen.
    bool showOverScreen(const QRect& screenGeometry)
    {
        setGeometry(screenGeometry);
        show();
        if (!QTest::qWaitForWindowExposed(this)) {
            return false;
        }
        QTest::qWait(100);
        return true;
    }

    void setShifted(bool shifted)
    {
        shifted_ = shifted;
        repaint();
    }

    std::vector<QPoint> presses;

  protected:
    void paintEvent(QPaintEvent*) override
    {
        if (pattern_.size() != size() || patternShifted_ != shifted_) {
            pattern_ = QImage(size(), QImage::Format_RGB32);
            for (int y = 0; y < height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(pattern_.scanLine(y));
                for (int x = 0; x < width(); ++x) {
                    line[x] = colorAt(QPoint(x, y), shifted_).rgb();
                }
            }
            patternShifted_ = shifted_;
        }
        QPainter(this).drawImage(0, 0, pattern_);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            presses.push_back(event->position().toPoint());
        }
    }

  private:
    QImage pattern_;
    bool shifted_ = false;
    bool patternShifted_ = false;
};

/// Lets the X server and the windows carry out what was asked (mapping,
/// shapes, repaints of what was uncovered).
inline void settle()
{
    QTest::qWait(150);
}
