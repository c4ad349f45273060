#include "settings/PVDevice.h"

#include "log/DXLog.h"
#include "settings/PVPlistManager.h"
#include "settings/PVPointerStyleManager.h"

#include <cmath>
#include <memory>

namespace {

const QString kButtonSetting = QStringLiteral("button_setting");
const QString kPointerSize = QStringLiteral("pointer_size");
const QString kPointerStyleId = QStringLiteral("pointer_style_id");
const QString kPresentDesktop = QStringLiteral("present_desktop");
const QString kPointerSpeed = QStringLiteral("pointer_speed");
const QString kBattery = QStringLiteral("battery");
const QString kFirmwareVersion = QStringLiteral("firmware_version");

QString stringOrEmpty(const QVariant& value)
{
    return value.typeId() == QMetaType::QString ? value.toString() : QString("");
}

} // namespace

PVDevice::PVDevice(const QVariantMap& deviceDict)
    : PVDevice(deviceDict, PVPlistManager::sharedInstance(), PVPointerStyleManager::defaultManager())
{
}

PVDevice::PVDevice(const QVariantMap& deviceDict, PVPlistManager& store, PVPointerStyleManager& styles)
    : store_(store), styles_(styles), dirtyDeviceDict_(deviceDict)
{
    productID_ = stringOrEmpty(dirtyDeviceDict_.value(QStringLiteral("product_id")));
    serialID_ = stringOrEmpty(dirtyDeviceDict_.value(QStringLiteral("serial_id")));
    battery_ = unsignedValue(kBattery);
    const QVariant firmware = dirtyDeviceDict_.value(kFirmwareVersion);
    if (firmware.typeId() == QMetaType::QString) {
        firmwareVersion_ = firmware.toString();
    }
    resetButtonSettingPageByDeviceDict();
    resetPointerStylePageByDeviceDict();
}

std::unique_ptr<PVDevice> PVDevice::initWithDefaultValues()
{
    return std::make_unique<PVDevice>(defalutDeviceDict());
}

QVariantMap PVDevice::defalutDeviceDict()
{
    return QVariantMap{
        {kButtonSetting, quint64{PVButtonModeBlackout}},
        {kPointerSize, quint64{1}},
        {kPointerStyleId, quint64{1}},
        {kPresentDesktop, quint64{PVPresentDesktopAutomatic}},
        {kPointerSpeed, quint64{2}},
    };
}

quint64 PVDevice::unsignedValue(const QString& key) const
{
    const QVariant value = dirtyDeviceDict_.value(key);
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::LongLong:
        if (value.toLongLong() >= 0) {
            return static_cast<quint64>(value.toLongLong());
        }
        break;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toULongLong();
    case QMetaType::Double:
        if (std::isfinite(value.toDouble()) && value.toDouble() >= 0 &&
            value.toDouble() < 18446744073709551616.0) {
            return static_cast<quint64>(value.toDouble());
        }
        break;
    default:
        break;
    }
    DXLogWarn("The setting \"%s\" of device \"%s\" is no unsigned number; 0 is used", qPrintable(key),
              qPrintable(serialID_));
    return 0;
}

quint64 PVDevice::styleId() const
{
    return pointerStyle_.has_value() ? pointerStyle_->_id() : 0;
}

void PVDevice::resetButtonSettingPageByDeviceDict()
{
    buttonSetting.set(unsignedValue(kButtonSetting));
}

void PVDevice::resetPointerStylePageByDeviceDict()
{
    pointerSize_ = unsignedValue(kPointerSize);
    pointerSpeed_ = unsignedValue(kPointerSpeed);
    presentDesktop_ = unsignedValue(kPresentDesktop);
    const PVPointerStyle* style = styles_.pointerStyleAtPKID(unsignedValue(kPointerStyleId));
    pointerStyle_ = style != nullptr ? std::optional(*style) : std::nullopt;
}

void PVDevice::resetPointerStyleToDefault()
{
    const QVariantMap defaults = defalutDeviceDict();
    for (const QString& key : {kPointerStyleId, kPointerSize, kPointerSpeed, kPresentDesktop}) {
        dirtyDeviceDict_.insert(key, defaults.value(key));
    }
    resetPointerStylePageByDeviceDict();
}

bool PVDevice::isDirty() const
{
    return buttonSetting.value() != unsignedValue(kButtonSetting) ||
           pointerSize_ != unsignedValue(kPointerSize) || pointerSpeed_ != unsignedValue(kPointerSpeed) ||
           presentDesktop_ != unsignedValue(kPresentDesktop) || styleId() != unsignedValue(kPointerStyleId);
}

void PVDevice::syncronizedDeviceDictWithPropertiesAndUpdate()
{
    dirtyDeviceDict_.insert(kBattery, battery_);
    if (firmwareVersion_.has_value()) {
        dirtyDeviceDict_.insert(kFirmwareVersion, *firmwareVersion_);
    } else {
        // The store keeps the value it has for a key the statement lacks.
        dirtyDeviceDict_.remove(kFirmwareVersion);
    }
    dirtyDeviceDict_.insert(kButtonSetting, buttonSetting.value());
    dirtyDeviceDict_.insert(kPointerSize, pointerSize_);
    dirtyDeviceDict_.insert(kPointerSpeed, pointerSpeed_);
    dirtyDeviceDict_.insert(kPresentDesktop, presentDesktop_);
    dirtyDeviceDict_.insert(kPointerStyleId, styleId());
    store_.insertOrUpdateDeviceSerialID(serialID_, dirtyDeviceDict_);
}
