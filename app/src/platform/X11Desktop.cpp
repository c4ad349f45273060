#include "platform/X11Desktop.h"

#include "platform/X11ErrorTrap.h"

#include <thread>

// Xlib last: its macros (None, Bool, Status...) would clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/xcb.h>

namespace {

// Frames of reparenting window managers hold their client one or two levels
// down (frame, sometimes a wrapper, then the client).
constexpr int kFrameDepth = 3;
// A pager's request: window managers grant it without focus-stealing checks,
// which is right for a request the user made with the presenter.
constexpr long kSourcePager = 2;
constexpr std::chrono::milliseconds kFocusPoll{5};

// The 32-bit items of a property of `type` (Xlib hands them over as longs).
std::vector<unsigned long> longsOf(Display* display, Window window, Atom property, Atom type)
{
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
        if (actualType == type && format == 32) {
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            items.assign(values, values + count);
        }
        XFree(data);
    }
    return items;
}

std::string utf8PropertyOf(Display* display, Window window, Atom property, Atom utf8)
{
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, utf8, &actualType, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
        if (actualType == utf8 && format == 8) {
            text.assign(reinterpret_cast<const char*>(data), count);
        }
        XFree(data);
    }
    return text;
}

bool contains(const std::vector<unsigned long>& items, unsigned long item)
{
    for (unsigned long candidate : items) {
        if (candidate == item) {
            return true;
        }
    }
    return false;
}

} // namespace

X11Desktop::X11Desktop(const char* displayName)
{
    display_ = XOpenDisplay(displayName);
    if (display_ != nullptr) {
        root_ = DefaultRootWindow(display_);
        // The bits of a resource id that its client chooses; the rest name
        // the client.
        resourceMask_ = xcb_get_setup(XGetXCBConnection(display_))->resource_id_mask;
    }
}

X11Desktop::~X11Desktop()
{
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

unsigned long X11Desktop::atom(const char* name)
{
    return XInternAtom(display_, name, False);
}

bool X11Desktop::hasClass(unsigned long window)
{
    XClassHint hint{nullptr, nullptr};
    if (XGetClassHint(display_, window, &hint) == 0) {
        return false;
    }
    XFree(hint.res_name);
    XFree(hint.res_class);
    return true;
}

std::optional<X11WindowFacts> X11Desktop::readFacts(unsigned long window)
{
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) {
        return std::nullopt;
    }
    X11WindowFacts facts;
    facts.window = window;
    facts.mapped = attributes.map_state == IsViewable;
    facts.overrideRedirect = attributes.override_redirect != 0;
    facts.client = window & ~resourceMask_;

    XClassHint hint{nullptr, nullptr};
    if (XGetClassHint(display_, window, &hint) != 0) {
        facts.wmClass = hint.res_class != nullptr ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    facts.name = utf8PropertyOf(display_, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
    if (facts.name.empty()) {
        char* name = nullptr;
        if (XFetchName(display_, window, &name) != 0 && name != nullptr) {
            facts.name = name;
            XFree(name);
        }
    }
    Window transientFor = 0;
    if (XGetTransientForHint(display_, window, &transientFor) != 0) {
        facts.transientFor = transientFor;
    }
    facts.fullScreen = contains(longsOf(display_, window, atom("_NET_WM_STATE"), XA_ATOM),
                                atom("_NET_WM_STATE_FULLSCREEN"));

    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    if (XTranslateCoordinates(display_, window, root_, 0, 0, &rootX, &rootY, &child) == 0) {
        return std::nullopt;
    }
    facts.rootGeometry = QRect(rootX, rootY, attributes.width, attributes.height);
    return facts;
}

void X11Desktop::collectTopLevels(unsigned long window, int depth, std::vector<unsigned long>& found)
{
    Window rootOut = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, window, &rootOut, &parent, &children, &count) == 0) {
        return;
    }
    for (unsigned i = 0; i < count; ++i) {
        const Window child = children[i];
        if (window == root_) {
            // A root child is a top-level itself unless it is a frame around
            // one (or more) client windows.
            std::vector<unsigned long> clients;
            if (!hasClass(child)) {
                collectTopLevels(child, 1, clients);
            }
            if (clients.empty()) {
                found.push_back(child);
            } else {
                found.insert(found.end(), clients.begin(), clients.end());
            }
        } else if (hasClass(child)) {
            found.push_back(child);
        } else if (depth < kFrameDepth) {
            collectTopLevels(child, depth + 1, found);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
}

std::vector<X11WindowFacts> X11Desktop::topLevels()
{
    std::vector<X11WindowFacts> windows;
    if (display_ == nullptr) {
        return windows;
    }
    X11ErrorTrap trap(display_);
    std::vector<unsigned long> ids;
    collectTopLevels(root_, 0, ids);
    for (unsigned long id : ids) {
        // A window that closed since the walk saw it is left out.
        if (std::optional<X11WindowFacts> facts = readFacts(id)) {
            windows.push_back(std::move(*facts));
        }
    }
    return windows;
}

std::optional<X11WindowFacts> X11Desktop::factsOf(unsigned long window)
{
    if (display_ == nullptr || window == 0) {
        return std::nullopt;
    }
    X11ErrorTrap trap(display_);
    std::optional<X11WindowFacts> facts = readFacts(window);
    return trap.sync() ? facts : std::nullopt;
}

unsigned long X11Desktop::topLevelAround(unsigned long window)
{
    unsigned long classed = 0;
    unsigned long current = window;
    while (current != 0 && current != root_) {
        if (classed == 0 && hasClass(current)) {
            classed = current;
        }
        Window rootOut = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, current, &rootOut, &parent, &children, &count) == 0) {
            return 0;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == root_) {
            return classed != 0 ? classed : current;
        }
        current = parent;
    }
    return 0;
}

unsigned long X11Desktop::inputFocusTopLevel()
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display_, &focus, &revertTo);
    // None and PointerRoot name no window.
    if (focus == None || focus == PointerRoot) {
        return 0;
    }
    return topLevelAround(focus);
}

bool X11Desktop::windowManagerActivates()
{
    if (display_ == nullptr) {
        return false;
    }
    X11ErrorTrap trap(display_);
    const Atom check = atom("_NET_SUPPORTING_WM_CHECK");
    const std::vector<unsigned long> onRoot = longsOf(display_, root_, check, XA_WINDOW);
    if (onRoot.size() != 1 || onRoot[0] == 0) {
        return false;
    }
    // A window manager that quit leaves the root's property behind; its check
    // window, gone or no longer pointing at itself, tells.
    const std::vector<unsigned long> onCheck = longsOf(display_, onRoot[0], check, XA_WINDOW);
    if (onCheck.size() != 1 || onCheck[0] != onRoot[0] || !trap.sync()) {
        return false;
    }
    return contains(longsOf(display_, root_, atom("_NET_SUPPORTED"), XA_ATOM), atom("_NET_ACTIVE_WINDOW"));
}

unsigned long X11Desktop::activeTopLevel()
{
    if (display_ == nullptr) {
        return 0;
    }
    if (windowManagerActivates()) {
        X11ErrorTrap trap(display_);
        const std::vector<unsigned long> active =
            longsOf(display_, root_, atom("_NET_ACTIVE_WINDOW"), XA_WINDOW);
        if (active.size() == 1) {
            const unsigned long window = active[0] == 0 ? 0 : topLevelAround(active[0]);
            return trap.sync() ? window : 0;
        }
    }
    X11ErrorTrap trap(display_);
    const unsigned long window = inputFocusTopLevel();
    return trap.sync() ? window : 0;
}

bool X11Desktop::activate(unsigned long window, std::chrono::milliseconds limit)
{
    if (display_ == nullptr || window == 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const bool managerActivates = windowManagerActivates();
    X11ErrorTrap trap(display_);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) {
        return false;
    }
    // A window manager does not manage a window placed past it.
    if (managerActivates && attributes.override_redirect == 0) {
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = window;
        request.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
        request.xclient.format = 32;
        request.xclient.data.l[0] = kSourcePager;
        request.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    } else {
        XRaiseWindow(display_, window);
        XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    }
    if (!trap.sync()) {
        return false;
    }
    for (;;) {
        const unsigned long focused = inputFocusTopLevel();
        if (trap.failed()) {
            return false;
        }
        if (focused == window) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kFocusPoll);
    }
}
