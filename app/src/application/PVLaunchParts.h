#pragma once

// What the launch sequence starts, one entry per outside call, so that a test
// can record the calls in order or stand in for parts it must not start (the
// worker threads start once per process). `application` gives the program's
// own parts.

#include "device/hidCallback.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class HidBackend;
class PVDevice;
class PVGlobalObjectManager;
class PVHIDEventHandler;

struct PVLaunchParts
{
    /// The run-time facts; making them starts watching the screens.
    std::function<PVGlobalObjectManager&()> globalObjectManager;
    /// The document folder and its calibration subfolder.
    std::function<QString()> documentPath;
    std::function<QString()> dcdDocumentPath;
    /// The calibration folder the motion thread hands the engine.
    std::function<void(std::string)> setDcdFolderPath;
    /// The settings device whose button mode decides buttonOnlyMode.
    std::function<PVDevice&()> settingDevice;
    std::function<void(uint64_t buttonMode)> setButtonOnlyModeForButtonMode;
    /// Where the worker threads find the event callback.
    std::function<void(HidCallback)> setHidCallback;
    /// The device event handler that receives every event.
    std::function<PVHIDEventHandler&()> eventHandler;
    /// The button-mode actions start observing the handler and the settings.
    std::function<void()> startObserving;
    /// The second presentation program's version text; nothing when it
    /// gives none.
    std::function<std::optional<QString>()> getPPTVersion;
    /// The reader and motion threads.
    std::function<int()> startHidThreads;

    /// The program's parts, the worker threads reading `backend` (hidapi
    /// when null; the backend must outlive the process's threads).
    static PVLaunchParts application(HidBackend* backend = nullptr);
};
