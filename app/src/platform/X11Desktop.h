#pragma once

// The top-level windows of an X display as another program sees them, which
// of them has the focus, and handing the focus to one of them: through the
// window manager's active-window request when one runs, else by setting the
// input focus. A display connection of its own; every call traps X errors,
// so a window that closes on the way reads as absent instead of ending the
// process. Main thread only.

#include "platform/X11WindowFacts.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

class X11Desktop
{
  public:
    /// Opens `displayName` (null: $DISPLAY).
    explicit X11Desktop(const char* displayName = nullptr);
    ~X11Desktop();
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    bool available() const { return display_ != nullptr; }

    /// Every top-level window, bottom of the stack first: the root's
    /// children, or inside a reparenting window manager's frames the client
    /// windows (the nearest ones with a WM_CLASS). Windows that close during
    /// the walk are left out.
    std::vector<X11WindowFacts> topLevels();
    /// The facts of one top-level window; nothing when it is gone.
    std::optional<X11WindowFacts> factsOf(unsigned long window);

    /// The top-level window holding the focus: the window manager's active
    /// window when it keeps one, else the top-level around the input focus;
    /// 0 when none does.
    unsigned long activeTopLevel();

    /// Activates `window` (an override-redirect one always by the input
    /// focus) and waits up to `limit` until the input focus lies inside it. False when the window is gone, cannot take the focus, or
    /// the focus did not arrive in time.
    bool activate(unsigned long window, std::chrono::milliseconds limit);

    /// A window manager that runs and honours active-window requests.
    bool windowManagerActivates();

  private:
    unsigned long atom(const char* name);
    std::optional<X11WindowFacts> readFacts(unsigned long window);
    void collectTopLevels(unsigned long window, int depth, std::vector<unsigned long>& found);
    bool hasClass(unsigned long window);
    /// The top-level window that contains `window` (itself included); 0
    /// when it is gone or is the root.
    unsigned long topLevelAround(unsigned long window);
    unsigned long inputFocusTopLevel();

    _XDisplay* display_ = nullptr;
    unsigned long root_ = 0;
    unsigned long resourceMask_ = 0;
};
