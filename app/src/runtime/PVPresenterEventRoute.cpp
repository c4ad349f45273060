#include "runtime/PVPresenterEventRoute.h"

#include "log/DXLog.h"
#include "platform/PVMainQueue.h"
#include "runtime/PVHIDEventHandler.h"
#include "runtime/PVMotionNoiseFilter.h"

#include <memory>

HidCallback PVQueueOnMainThread(std::function<void(const PresenterEvent&)> handle)
{
    auto shared = std::make_shared<const std::function<void(const PresenterEvent&)>>(std::move(handle));
    return [shared](const PresenterEvent& event) {
        // The values are copied: the caller's record may change once it returns.
        PVMainQueue::async([shared, event] { (*shared)(event); });
    };
}

void PVSendPresenterEvent(PVHIDEventHandler& handler, const PresenterEvent& event)
{
    constexpr unsigned tag = PVMotionNoiseFilter::kLogTag;
    DXLogTaggedDebug(tag, "(%d, %d, %d, %d)", event.dongleInsert, event.pairState, event.hotState,
                     event.pointerPressed);
    DXLogTaggedDebug(tag, "%.0f, %.0f", static_cast<double>(event.dx), static_cast<double>(event.dy));
    handler.receiveDongleInsertChanged(event.dongleInsert);
    handler.receivePairStateChanged(event.pairState);
    handler.receiveBattery(event.info);
    handler.receiveFirmwareVersion(event.info);
    handler.didPressHotButton(event.hotState);
    handler.didPressPointerButton(event.pointerPressed);
}

void PVHandOnMovement(PVHIDEventHandler& handler, QPointF movement, unsigned char pointerPressed)
{
    if (pointerPressed == 1) {
        handler.receivePointerPosition(movement.x(), movement.y());
    } else {
        handler.receiveMousePosition(movement.x(), movement.y());
    }
}
