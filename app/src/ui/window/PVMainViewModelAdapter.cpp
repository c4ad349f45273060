#include "ui/window/PVMainViewModelAdapter.h"

#include "device/hidDevice.h"
#include "settings/PVGlobalObjectManager.h"
#include "settings/PVModelManager.h"
#include "settings/PVPlistManager.h"
#include "settings/PVPointerStyleManager.h"

PVMainViewModelAdapter::PVMainViewModelAdapter()
    : PVMainViewModelAdapter(PVModelManager::sharedInstance(), PVGlobalObjectManager::sharedInstance(),
                             PVPointerStyleManager::defaultManager(), PVPlistManager::sharedInstance())
{
}

PVMainViewModelAdapter::PVMainViewModelAdapter(PVModelManager& models, PVGlobalObjectManager& globals,
                                               PVPointerStyleManager& styles, PVPlistManager& store)
    : models_(models), globals_(globals), styles_(styles), store_(store)
{
}

bool PVMainViewModelAdapter::dongleInsert() const
{
    return globals_.dongleInsert();
}

bool PVMainViewModelAdapter::receiverAccessDenied() const
{
    return hidDeviceAccessDenied();
}

void PVMainViewModelAdapter::resetPointerStylePageByDeviceDict()
{
    models_.settingDevice().resetPointerStylePageByDeviceDict();
}

void PVMainViewModelAdapter::resetButtonSettingPageByDeviceDict()
{
    models_.settingDevice().resetButtonSettingPageByDeviceDict();
}

quint64 PVMainViewModelAdapter::buttonSetting() const
{
    return models_.settingDevice().buttonSetting.value();
}

void PVMainViewModelAdapter::setButtonSetting(quint64 mode)
{
    models_.settingDevice().buttonSetting.set(mode);
}

bool PVMainViewModelAdapter::pairedState() const
{
    return globals_.pairedState();
}

quint64 PVMainViewModelAdapter::battery() const
{
    return models_.settingDevice().battery();
}

std::optional<QString> PVMainViewModelAdapter::firmwareVersion() const
{
    return models_.settingDevice().firmwareVersion();
}

void PVMainViewModelAdapter::syncronizedDeviceDictWithPropertiesAndUpdate()
{
    models_.settingDevice().syncronizedDeviceDictWithPropertiesAndUpdate();
}

PVDevice& PVMainViewModelAdapter::settingDevice()
{
    return models_.settingDevice();
}

PVPointerStyleManager& PVMainViewModelAdapter::pointerStyleManager()
{
    return styles_;
}

PVPlistManager& PVMainViewModelAdapter::plistManager()
{
    return store_;
}
