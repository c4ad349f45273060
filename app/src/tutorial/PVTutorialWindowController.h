#pragma once

// Owns the tutorial window: made with its content when first asked for,
// centred on the main screen, shown and closed as often as the user likes.
// Closing goes through the window (its close button), which stays for the
// next showing.

#include <QObject>

class PVTutorialViewController;
class PVTutorialWindow;

class PVTutorialWindowController : public QObject
{
    Q_OBJECT

  public:
    explicit PVTutorialWindowController(QObject* parent = nullptr);
    ~PVTutorialWindowController() override;

    /// The window, made and laid out on first use.
    PVTutorialWindow* window();
    PVTutorialViewController* contentViewController();
    /// Shows the window in front and makes it active.
    void showWindow();

  private:
    void windowDidLoad();

    PVTutorialWindow* window_ = nullptr;
    PVTutorialViewController* content_ = nullptr;
};
