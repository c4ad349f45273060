#pragma once

// The download's progress dialog: shows the progress in percent and as a bar
// above the other windows, and tells its owner through the response block
// when the user cancels (code 1).

#include <QObject>
#include <QPointer>
#include <functional>

class PVProgressWindow;

class PVProgressWindowController : public QObject
{
    Q_OBJECT

  public:
    /// (the controller, the response code; 1 means cancel).
    using Response = std::function<void(PVProgressWindowController* controller, int code)>;
    static constexpr int kResponseCancel = 1;

    PVProgressWindowController();
    /// Closes the window if it is still shown.
    ~PVProgressWindowController() override;

    /// Keeps the block and shows the window above normal windows.
    void showWithComplete(Response response);
    /// Keeps `progress` (0 to 1), passes it to the bar and shows it as a
    /// whole percentage ("43%" for 0.426).
    void setProgress(double progress);
    double progress() const { return progress_; }
    /// Closes the window.
    void dismiss();

    const Response& response() const { return response_; }
    void setResponse(Response response) { response_ = std::move(response); }

    /// The window; null once it has gone.
    PVProgressWindow* window() const { return window_; }

  private:
    double progress_ = 0.0;
    Response response_;
    QPointer<PVProgressWindow> window_;
};
