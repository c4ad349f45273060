#include "FakeWindowManager.h"

#include <chrono>
#include <stdexcept>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

FakeWindowManager::FakeWindowManager() : display_(XOpenDisplay(nullptr))
{
    if (display_ == nullptr) {
        throw std::runtime_error("no X display for the window manager");
    }
    const Window root = DefaultRootWindow(display_);
    checkWindow_ = XCreateSimpleWindow(display_, root, -10, -10, 1, 1, 0, 0, 0);
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    const Window checkWindow = checkWindow_;
    XChangeProperty(display_, checkWindow_, check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&checkWindow), 1);
    XChangeProperty(display_, root, check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&checkWindow), 1);
    const Atom supported[] = {XInternAtom(display_, "_NET_ACTIVE_WINDOW", False),
                              XInternAtom(display_, "_NET_WM_STATE", False)};
    XChangeProperty(display_, root, XInternAtom(display_, "_NET_SUPPORTED", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(supported), 2);
    // Client messages sent to the root with the substructure masks reach
    // every client that selects one of them; a real window manager selects
    // the redirect one as well, which this one does not need.
    XSelectInput(display_, root, SubstructureNotifyMask);
    XSync(display_, False);
    thread_ = std::thread([this] { run(); });
}

FakeWindowManager::~FakeWindowManager()
{
    stop_ = true;
    thread_.join();
    const Window root = DefaultRootWindow(display_);
    XDeleteProperty(display_, root, XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False));
    XDeleteProperty(display_, root, XInternAtom(display_, "_NET_SUPPORTED", False));
    XDeleteProperty(display_, root, XInternAtom(display_, "_NET_ACTIVE_WINDOW", False));
    XCloseDisplay(display_);
}

std::vector<unsigned long> FakeWindowManager::requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void FakeWindowManager::run()
{
    const Atom active = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    const Window root = DefaultRootWindow(display_);
    while (!stop_) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != ClientMessage || event.xclient.message_type != active) {
                continue;
            }
            const Window window = event.xclient.window;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(window);
            }
            if (refusing_) {
                continue;
            }
            XSetInputFocus(display_, window, RevertToParent, CurrentTime);
            XChangeProperty(display_, root, active, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&window), 1);
            XSync(display_, False);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
