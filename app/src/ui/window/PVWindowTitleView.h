#pragma once

// The settings window's own title bar: the window buttons 7 points from the
// left, vertically centred; dragging the bar moves the window.

#include <QPoint>
#include <QWidget>

class PVWindowButtonContainer;

class PVWindowTitleView : public QWidget
{
    Q_OBJECT

  public:
    static constexpr int kButtonsLeft = 7;

    explicit PVWindowTitleView(QWidget* parent = nullptr);

    PVWindowButtonContainer* buttonContainer() const { return buttonContainer_; }
    bool mouseInside() const { return mouseInside_; }

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool mouseInside_ = false;
    bool draggingByHand_ = false;
    QPoint grabOffset_;
    PVWindowButtonContainer* buttonContainer_;
};
