#pragma once

// Base of the settings window's pages: a widget that logs when it appears,
// disappears and goes away (debug lines of tag 4).

#include <QWidget>

class PVBorderView;

class PVViewController : public QWidget
{
    Q_OBJECT

  public:
    /// Tag of the pages' log lines.
    static constexpr unsigned kLogTag = 4;

    explicit PVViewController(QWidget* parent = nullptr);
    ~PVViewController() override;

  protected:
    /// Each time the page is about to show, and each time it has gone from
    /// the screen; the base does nothing.
    virtual void viewWillAppear() {}
    virtual void viewDidDisappear() {}

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    /// Fills the page with a colour (layer background of the page).
    void setBackgroundColor(const QColor& color);
    /// Makes a tab page continue the selected tab: white, filled by `frame`,
    /// which is framed on every side but the top, where the tab row is.
    void fillWithTabFrame(PVBorderView& frame);

  private:
    // The most derived class's name, taken on every event (the page is whole
    // by then) and kept for the destructor, when the subclass is gone.
    const char* className_ = "PVViewController";
};
