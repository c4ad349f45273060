#pragma once

// Owns the settings window for the whole run: made once, its content made
// when the window is first asked for, centred on the main screen. The window
// is shown and closed many times; closing goes through the window, so this
// controller's own close does nothing.

#include <QObject>
#include <QPointer>

class PVMainViewController;
class PVMainViewModel;
class PVWindow;

class PVMainWindowController : public QObject
{
    Q_OBJECT

  public:
    explicit PVMainWindowController(PVMainViewModel& model, QObject* parent = nullptr);
    ~PVMainWindowController() override;

    /// The window, made and laid out on first use.
    PVWindow* window();
    PVMainViewController* contentViewController();
    /// Shows the window in front and makes it active.
    void showWindow();
    /// Does nothing: the window closes itself (close button, OK, Cancel).
    void close() {}

  private:
    void windowDidLoad();

    PVMainViewModel& model_;
    PVWindow* window_ = nullptr;
    PVMainViewController* content_ = nullptr;
};
