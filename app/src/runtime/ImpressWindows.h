#pragma once

// How LibreOffice Impress shows itself among the windows of an X display:
// its document windows, the window of a running slide show, and which
// windows count as Impress when one has the focus.

#include "platform/X11WindowFacts.h"

#include <optional>
#include <vector>

namespace ImpressWindows {

/// WM_CLASS class of an Impress document window (both toolkits, with and
/// without a window manager).
inline constexpr char kDocumentClass[] = "libreoffice-impress";

bool isDocumentWindow(const X11WindowFacts& window);

/// The one rule that marks Impress's slide-show window: a mapped top-level
/// window of the X client that owns an Impress document window, which is no
/// document window of any LibreOffice module itself (their full-screen view
/// is no show), and which covers its screen the way the show does: marked
/// full-screen (_NET_WM_STATE_FULLSCREEN: the GTK toolkit always, the X11
/// toolkit under a window manager), or, with the X11 toolkit and no window
/// manager, placed past the window manager (override-redirect) and named
/// (its popup menus are override-redirect too, but have no name). Neither
/// the class (the X11 toolkit names the show's class after the version, or
/// gives it none) nor the name (translated) of the show window is fixed.
bool isShowWindow(const X11WindowFacts& window, const std::vector<X11WindowFacts>& documents);

/// Impress's windows among the top-level windows of a display.
struct Scene
{
    std::vector<X11WindowFacts> documents; ///< bottom of the stack first
    std::optional<X11WindowFacts> show;    ///< the topmost show window

    /// The document window a show starts from: `active` when it is one,
    /// else the topmost mapped one, else the topmost (minimised); nothing
    /// without documents.
    std::optional<X11WindowFacts> documentToPlay(unsigned long active) const;
    /// `window` is Impress's: a document window, the show window, or a
    /// dialog over one of them.
    bool owns(const X11WindowFacts& window) const;
};

/// `topLevels`: a display's top-level windows, bottom of the stack first.
Scene sceneOf(const std::vector<X11WindowFacts>& topLevels);

} // namespace ImpressWindows
