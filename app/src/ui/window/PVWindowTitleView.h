#pragma once

// The settings window's own title bar: the window buttons 7 points from the
// left, vertically centred. While the pointer is over the bar the window is
// movable by its background, so dragging the bar moves the window.

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
    void resizeEvent(QResizeEvent* event) override;

  private:
    void setMouseInside(bool inside);

    bool mouseInside_ = false;
    PVWindowButtonContainer* buttonContainer_;
};
