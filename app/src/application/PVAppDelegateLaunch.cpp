// The delegate's launch of the presenter runtime and its routing of presenter
// events to the device event handler.

#include "application/PVAppDelegate.h"

#include "log/DXLog.h"
#include "runtime/PVHIDEventHandler.h"
#include "runtime/PVPresenterEventRoute.h"
#include "settings/PVDevice.h"
#include "settings/PVGlobalObjectManager.h"

void PVAppDelegate::applicationDidFinishLaunching()
{
    launchPresenterRuntime();
    finishLaunching();
}

void PVAppDelegate::launchPresenterRuntime()
{
    createGlobalObjectManager();
    logProfilePath();
    setCalibrationFolder();
    setButtonOnlyModeFromSettings();
    clearRecentMovements();
    installEventCallback();
    startObservingSettings();
    askPresentationProgramVersion();
    startWorkerThreads();
}

void PVAppDelegate::createGlobalObjectManager()
{
    globals_ = &launchParts.globalObjectManager();
}

void PVAppDelegate::logProfilePath()
{
    DXLogDebug("profile path %s", launchParts.documentPath().toUtf8().constData());
}

void PVAppDelegate::setCalibrationFolder()
{
    launchParts.setDcdFolderPath(launchParts.dcdDocumentPath().toStdString());
}

void PVAppDelegate::setButtonOnlyModeFromSettings()
{
    launchParts.setButtonOnlyModeForButtonMode(launchParts.settingDevice().buttonSetting.value());
}

void PVAppDelegate::clearRecentMovements()
{
    motionFilter_.clearRecentDiffer();
}

void PVAppDelegate::installEventCallback()
{
    PVHIDEventHandler* handler = &launchParts.eventHandler();
    eventHandler_ = handler;
    const std::weak_ptr<char> life = life_;
    hidcallback_ = PVQueueOnMainThread([this, handler, life](const PresenterEvent& event) {
        PVSendPresenterEvent(*handler, event);
        if (!life.expired()) {
            filterMovement(event);
        }
    });
    launchParts.setHidCallback(hidcallback_);
}

void PVAppDelegate::startObservingSettings()
{
    launchParts.startObserving();
}

void PVAppDelegate::askPresentationProgramVersion()
{
    const std::optional<QString> version = launchParts.getPPTVersion();
    if (globals_ != nullptr) {
        globals_->setPptVersion(version.value_or(QStringLiteral("")));
    }
}

void PVAppDelegate::startWorkerThreads()
{
    launchParts.startHidThreads();
}

void PVAppDelegate::filterMovement(const PresenterEvent& event)
{
    const std::optional<QPointF> used = motionFilter_.filter(event.dx, event.dy);
    if (used.has_value() && eventHandler_ != nullptr) {
        PVHandOnMovement(*eventHandler_, *used, event.pointerPressed);
    }
}
