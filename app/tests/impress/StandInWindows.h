#pragma once

// Windows that stand in for Impress's on the test's X display, made on one
// connection (so they belong to one X client, as a program's windows do):
// document and show windows with the class, name and state the backend reads,
// recording the keys they receive. Also a window of another program.

#include <QRect>
#include <string>
#include <vector>

struct _XDisplay;

class StandInWindows
{
  public:
    StandInWindows();
    /// Closing the connection destroys every window made on it.
    ~StandInWindows();
    StandInWindows(const StandInWindows&) = delete;
    StandInWindows& operator=(const StandInWindows&) = delete;

    struct Spec
    {
        std::string wmClass; ///< "" for none
        std::string name;    ///< "" for none
        QRect geometry{100, 80, 800, 600};
        bool overrideRedirect = false;
        bool fullScreen = false;
        bool mapped = true;
        unsigned long transientFor = 0;
    };
    unsigned long window(const Spec& spec);

    /// An Impress document window.
    unsigned long document(const QRect& geometry = QRect(100, 80, 800, 600));
    /// The show window as the X11 toolkit makes it without a window
    /// manager: override-redirect, named, no class.
    unsigned long placedShow(const QRect& geometry);
    /// The show window as the GTK toolkit makes it: class "Soffice", marked
    /// full-screen.
    unsigned long fullScreenShow(const QRect& geometry);

    void destroy(unsigned long window);
    /// Gives `window` the input focus directly.
    void focus(unsigned long window);

    struct Key
    {
        unsigned long window;
        unsigned long keysym;
        unsigned long serverTimeMs;
    };
    /// The keys pressed in these windows since the last call.
    std::vector<Key> pressedKeys();
    /// Server times of the changes of the root's _NET_ACTIVE_WINDOW since
    /// the last call of pressedKeys.
    const std::vector<unsigned long>& activeWindowChanges() const { return activeChanges_; }

    _XDisplay* display() const { return display_; }

  private:
    _XDisplay* display_;
    std::vector<unsigned long> activeChanges_;
};
