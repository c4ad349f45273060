#include "settings/PVModelManager.h"

#include "settings/PVPlistManager.h"
#include "settings/PVPointerStyleManager.h"

PVModelManager& PVModelManager::sharedInstance()
{
    static PVModelManager manager(PVPlistManager::sharedInstance(), PVPointerStyleManager::defaultManager());
    return manager;
}

PVModelManager::PVModelManager(PVPlistManager& store, PVPointerStyleManager& styles)
    : store_(store), styles_(styles)
{
    settingGeneralSettings();
    currentDongle_ = std::make_shared<PVDongle>(store_, styles_);
}

void PVModelManager::setSettingDevice(std::shared_ptr<PVDevice> device)
{
    if (device) {
        settingDevice_ = std::move(device);
    }
}

void PVModelManager::setCurrentDongle(std::shared_ptr<PVDongle> dongle)
{
    if (dongle) {
        currentDongle_ = std::move(dongle);
    }
}

void PVModelManager::settingGeneralSettings()
{
    const QString general = QStringLiteral("General");
    QVariantList records = store_.queryDevices({general});
    if (records.isEmpty()) {
        store_.insertOrUpdateDeviceSerialID(general, PVDevice::defalutDeviceDict());
        records = store_.queryDevices({general});
    }
    // A store that cannot write (no settings file) still gives a settings
    // device: the defaults under the serial id "General".
    QVariantMap record = PVDevice::defalutDeviceDict();
    record.insert(QStringLiteral("serial_id"), general);
    if (!records.isEmpty()) {
        record = records.first().toMap();
    }
    settingDevice_ = std::make_shared<PVDevice>(record, store_, styles_);
}
