#pragma once

// A frameless top-level window with rounded corners and a thin dark frame,
// for windows that draw their own title bar. Without a compositor nothing
// can be see-through, so the corners are cut off by a shape mask.

#include <QWidget>

class PVWindow : public QWidget
{
    Q_OBJECT

  public:
    static constexpr double kCornerRadius = 10.0;
    static constexpr double kBorderWidth = 1.0;

    explicit PVWindow(QWidget* parent = nullptr);
    ~PVWindow() override;

    /// Puts `content` into the window, filling it.
    void setContentView(QWidget* content);
    QWidget* contentView() const { return content_; }

    /// Moves the window to the middle of the main screen's area free of
    /// panels (a missing screen counts as the empty area at the origin).
    void centerOnMainScreen();

    /// While YES a press on the window's background (any place that does not
    /// take the press itself) drags the window.
    bool movableByWindowBackground() const { return movableByWindowBackground_; }
    void setMovableByWindowBackground(bool movable) { movableByWindowBackground_ = movable; }

  protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // The most derived class's name, taken on every event and kept for the
    // destructor's log line, when the subclass is gone.
    const char* className_ = "PVWindow";
    bool movableByWindowBackground_ = false;
    bool draggingByHand_ = false;
    QPoint grabOffset_;
    QWidget* content_ = nullptr;
    QWidget* frame_;
};
