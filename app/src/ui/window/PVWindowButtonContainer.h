#pragma once

// The group of the three window buttons: close, minimise and zoom, 6 points
// apart. Minimise and zoom start disabled. While the pointer is over the
// group every button shows its symbol.

#include <QWidget>

class PVWindowStandardButton;

class PVWindowButtonContainer : public QWidget
{
    Q_OBJECT

  public:
    static constexpr int kSpacing = 6;

    explicit PVWindowButtonContainer(QWidget* parent = nullptr);

    PVWindowStandardButton* closeButton() const { return closeButton_; }
    PVWindowStandardButton* minimizeButton() const { return minimizeButton_; }
    PVWindowStandardButton* zoomButton() const { return zoomButton_; }

    /// Whether the pointer is over the group.
    bool mouseInside() const { return mouseInside_; }
    /// Repaints the three buttons.
    void setNeedsDisplayForStandardWindowButtons();

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void setMouseInside(bool inside);

    bool mouseInside_ = false;
    PVWindowStandardButton* closeButton_;
    PVWindowStandardButton* minimizeButton_;
    PVWindowStandardButton* zoomButton_;
};
