#include "platform/X11ErrorTrap.h"

#include <X11/Xlib.h>

namespace {

// The innermost trap that is set; traps nest on the caller's stack.
X11ErrorTrap* innermost = nullptr;
// The handler from before the outermost trap.
XErrorHandler before = nullptr;

int trapHandler(Display* display, XErrorEvent* error)
{
    if (X11ErrorTrap::catchError(display, error->error_code)) {
        return 0;
    }
    return before != nullptr ? before(display, error) : 0;
}

} // namespace

X11ErrorTrap::X11ErrorTrap(_XDisplay* display) : display_(display), outer_(innermost)
{
    // Errors of requests sent before the trap belong to whoever sent them.
    XSync(display_, False);
    if (outer_ == nullptr) {
        before = XSetErrorHandler(&trapHandler);
    }
    innermost = this;
}

X11ErrorTrap::~X11ErrorTrap()
{
    XSync(display_, False);
    innermost = outer_;
    if (innermost == nullptr) {
        XSetErrorHandler(before);
        before = nullptr;
    }
}

bool X11ErrorTrap::sync()
{
    XSync(display_, False);
    return !failed();
}

bool X11ErrorTrap::catchError(_XDisplay* display, unsigned char errorCode)
{
    for (X11ErrorTrap* trap = innermost; trap != nullptr; trap = trap->outer_) {
        if (trap->display_ == display) {
            if (trap->errorCode_ == 0) {
                trap->errorCode_ = errorCode;
            }
            return true;
        }
    }
    return false;
}
