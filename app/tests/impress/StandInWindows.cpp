#include "StandInWindows.h"

#include <stdexcept>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

StandInWindows::StandInWindows() : display_(XOpenDisplay(nullptr))
{
    if (display_ == nullptr) {
        throw std::runtime_error("no X display for the stand-in windows");
    }
    // The server time of every activation, to time the keys after it.
    XSelectInput(display_, DefaultRootWindow(display_), PropertyChangeMask);
}

StandInWindows::~StandInWindows()
{
    XCloseDisplay(display_);
}

unsigned long StandInWindows::window(const Spec& spec)
{
    XSetWindowAttributes attributes{};
    attributes.override_redirect = spec.overrideRedirect ? True : False;
    attributes.event_mask = KeyPressMask | FocusChangeMask;
    const Window window =
        XCreateWindow(display_, DefaultRootWindow(display_), spec.geometry.x(), spec.geometry.y(),
                      static_cast<unsigned>(spec.geometry.width()), static_cast<unsigned>(spec.geometry.height()),
                      0, CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWEventMask,
                      &attributes);
    if (!spec.wmClass.empty()) {
        std::string instance = "libreoffice";
        XClassHint hint{instance.data(), const_cast<char*>(spec.wmClass.c_str())};
        XSetClassHint(display_, window, &hint);
    }
    if (!spec.name.empty()) {
        XStoreName(display_, window, spec.name.c_str());
    }
    if (spec.fullScreen) {
        const Atom state = XInternAtom(display_, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_STATE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&state), 1);
    }
    if (spec.transientFor != 0) {
        XSetTransientForHint(display_, window, spec.transientFor);
    }
    if (spec.mapped) {
        XMapRaised(display_, window);
    }
    XSync(display_, False);
    return window;
}

unsigned long StandInWindows::document(const QRect& geometry)
{
    return window(Spec{"libreoffice-impress", "deck.odp - LibreOffice Impress", geometry});
}

unsigned long StandInWindows::placedShow(const QRect& geometry)
{
    Spec spec{"", "Presenting: deck", geometry};
    spec.overrideRedirect = true;
    return window(spec);
}

unsigned long StandInWindows::fullScreenShow(const QRect& geometry)
{
    Spec spec{"Soffice", "Presenting: deck", geometry};
    spec.fullScreen = true;
    return window(spec);
}

void StandInWindows::destroy(unsigned long window)
{
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

void StandInWindows::focus(unsigned long window)
{
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    XSync(display_, False);
}

std::vector<StandInWindows::Key> StandInWindows::pressedKeys()
{
    XSync(display_, False);
    std::vector<Key> keys;
    activeChanges_.clear();
    const Atom active = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == KeyPress) {
            keys.push_back({event.xkey.window, XLookupKeysym(&event.xkey, 0), event.xkey.time});
        } else if (event.type == PropertyNotify && event.xproperty.atom == active) {
            activeChanges_.push_back(event.xproperty.time);
        }
    }
    return keys;
}
