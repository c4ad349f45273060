#include "settings/PVDongle.h"

#include "log/DXLog.h"
#include "settings/PVPlistManager.h"
#include "settings/PVPointerStyleManager.h"

PVDongle::PVDongle() : PVDongle(PVPlistManager::sharedInstance(), PVPointerStyleManager::defaultManager()) {}

PVDongle::PVDongle(PVPlistManager& store, PVPointerStyleManager& styles) : store_(store), styles_(styles)
{
    reloadPairedDevices();
}

void PVDongle::reloadPairedDevices()
{
    std::vector<std::shared_ptr<PVDevice>> devices;
    for (const QVariant& record : store_.queryDevicesNotContains({QStringLiteral("General")})) {
        devices.push_back(std::make_shared<PVDevice>(record.toMap(), store_, styles_));
    }
    pairedDevices_ = std::move(devices);
}

std::shared_ptr<PVDevice> PVDongle::deviceWithSerialID(const QString& serialId) const
{
    std::shared_ptr<PVDevice> first;
    int matches = 0;
    for (const std::shared_ptr<PVDevice>& device : pairedDevices_) {
        if (device->serialID() == serialId) {
            first = first ? first : device;
            ++matches;
        }
    }
    if (matches == 0) {
        DXLogWarn("No such paired serial ID %s", qPrintable(serialId));
    } else if (matches > 1) {
        DXLogWarn("There are too many paired devices that have the same serial ID %s", qPrintable(serialId));
    }
    return first;
}

void PVDongle::addDevice(const QString& serialId)
{
    store_.insertOrUpdateDeviceSerialID(serialId, std::nullopt);
    reloadPairedDevices();
}

void PVDongle::removeDevice(const QString& serialId)
{
    store_.removeDeviceID(serialId);
    reloadPairedDevices();
}

void PVDongle::updateBattery(quint64 level, const QString& serialId)
{
    if (const std::shared_ptr<PVDevice> device = deviceWithSerialID(serialId)) {
        device->setBattery(level);
    }
}
