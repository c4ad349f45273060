#pragma once

// The road of a presenter event from the worker threads to the device event
// handler: the callback copies the seven values and queues them on the main
// thread; there they are logged and handed to the handler one message per
// value, and a filtered movement goes on as pointer-overlay movement or as
// mouse movement.

#include "device/hidCallback.h"

#include <QPointF>
#include <functional>

class PVHIDEventHandler;

/// An event callback for the worker threads: each call copies the event and
/// queues `handle` with it on the main thread, behind the work queued before
/// (so events run in the order they were reported). Events reported before
/// the main loop runs wait in the queue.
HidCallback PVQueueOnMainThread(std::function<void(const PresenterEvent&)> handle);

/// Logs the event's values (Debug) and hands them to `handler` in this
/// order: receiver, pairing, battery, firmware, hot button, pointer button.
void PVSendPresenterEvent(PVHIDEventHandler& handler, const PresenterEvent& event);

/// A filtered movement: to the overlays while the pointer button is held
/// (`pointerPressed` 1), as mouse movement otherwise.
void PVHandOnMovement(PVHIDEventHandler& handler, QPointF movement, unsigned char pointerPressed);
