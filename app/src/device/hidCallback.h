#pragma once

// The event callback through which the worker threads tell the application
// about the receiver and the presenter. The application sets it on the main
// thread before the threads start; the threads fetch it afresh for every
// event, on their own thread (the callback hops to the main thread itself).

#include <cstdint>
#include <functional>

/// The seven values of one presenter event.
struct PresenterEvent
{
    char dongleInsert = 0; ///< 1 while the receiver is plugged in and open
    short pairState = 0;
    int dx = 0;
    int dy = 0;
    unsigned char hotState = 0;
    unsigned char pointerPressed = 0;
    uint64_t info = 0; ///< battery level or firmware version

    bool operator==(const PresenterEvent&) const = default;
};

using HidCallback = std::function<void(const PresenterEvent&)>;

/// Installs the callback; an empty function removes it.
void setHidCallback(HidCallback callback);

/// Calls the callback with `event`: true, or false when none is set.
bool reportPresenterEvent(const PresenterEvent& event);
