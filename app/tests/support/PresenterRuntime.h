#pragma once

// The runtime that turns presenter events into actions, on the application's
// real parts: the settings model over scripted screens, the overlay manager,
// the cursor manager on the input layer the test gives, and the device event
// handler. Both presentation programs are recording fakes; the main queue's
// timers and the cursor manager's clock move only when the test steps them.

#include "overlays/PVExtraWindowManager.h"
#include "platform/PVNotificationCenter.h"
#include "runtime/PVCursorManager.h"
#include "runtime/PVHIDEventHandler.h"
#include "support/ApplicationModel.h"
#include "support/RecordingPresentationBackend.h"
#include "support/SteppedTimers.h"

#include <cstdint>

struct PresenterRuntime
{
    explicit PresenterRuntime(PVInputLayer& input) : cursor(input, cursorEnvironment()) {}

    PVDevice& settingDevice() const { return model.settingDevice(); }

    /// Moves the main queue's timers and the cursor manager's clock together.
    void advanceMilliseconds(int64_t ms)
    {
        // Work that falls due sees the clock at its own time.
        for (int64_t step = 0; step < ms; ++step) {
            nowUs += 1000;
            timers.advanceMilliseconds(1);
        }
    }

    PVCursorEnvironment cursorEnvironment()
    {
        PVCursorEnvironment environment = PVCursorManager::environmentOf(model.globals);
        environment.nowMicroseconds = [this] { return nowUs; };
        return environment;
    }

    ApplicationModel model;
    PVNotificationCenter center;
    PVExtraWindowManager overlays{model.globals,
                                  [this]() -> const PVDevice& { return model.settingDevice(); }, center};
    int64_t nowUs = 1'000'000'000;
    PVCursorManager cursor;
    ScopedPresentationBackend keynote{PVPresentationRole::Keynote};
    ScopedPresentationBackend ppt{PVPresentationRole::PowerPoint};
    SteppedTimers timers;
    PVHIDEventHandler handler{{model.globals, model.models, overlays, cursor, center}};
};
