#include "application/PVLaunchParts.h"

#include "device/hidThreads.h"
#include "device/presenterState.h"
#include "runtime/PVAppleScriptHelper.h"
#include "runtime/PVEventHandler.h"
#include "runtime/PVHIDEventHandler.h"
#include "sensor/motionThread.h"
#include "settings/PVFilePathManager.h"
#include "settings/PVGlobalObjectManager.h"
#include "settings/PVModelManager.h"

PVLaunchParts PVLaunchParts::application(HidBackend* backend)
{
    return PVLaunchParts{
        .globalObjectManager = []() -> PVGlobalObjectManager& { return PVGlobalObjectManager::sharedInstance(); },
        .documentPath = [] { return PVFilePathManager::documentPath(); },
        .dcdDocumentPath = [] { return PVFilePathManager::dcdDocumentPath(); },
        .setDcdFolderPath = [](std::string path) { ::setDcdFolderPath(std::move(path)); },
        .settingDevice = []() -> PVDevice& { return PVModelManager::sharedInstance().settingDevice(); },
        .setButtonOnlyModeForButtonMode = [](uint64_t mode) { ::setButtonOnlyModeForButtonMode(mode); },
        .setHidCallback = [](HidCallback callback) { ::setHidCallback(std::move(callback)); },
        .eventHandler = []() -> PVHIDEventHandler& { return PVHIDEventHandler::sharedInstance(); },
        .startObserving = [] { PVEventHandler::sharedInstance().startObserving(); },
        .getPPTVersion = [] { return PVAppleScriptHelper::getPPTVersion(); },
        .startHidThreads = [backend] { return ::startHidThreads(backend); },
    };
}
