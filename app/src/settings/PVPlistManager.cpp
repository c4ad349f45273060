#include "settings/PVPlistManager.h"

#include "log/DXLog.h"
#include "settings/PVFilePathManager.h"
#include "settings/PVPropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace {

const QString kDeviceStatus = QStringLiteral("Device_Status");
const QString kPointerStyle = QStringLiteral("Pointer_Style");
const QString kLatestAppVersion = QStringLiteral("LatestAppVersion");
const QString kId = QStringLiteral("_id");
const QString kSerialId = QStringLiteral("serial_id");
const QString kTag = QStringLiteral("tag");
const QString kImageName = QStringLiteral("image_name");

quint64 unsignedOf(const QVariant& value)
{
    return value.toULongLong();
}

} // namespace

PVPlistManager& PVPlistManager::sharedInstance()
{
    static PVPlistManager instance;
    return instance;
}

QString PVPlistManager::defaultResourcePath()
{
    return QStringLiteral(":/settings/NativeDeviceSetting.plist");
}

QString PVPlistManager::settingsFilePath()
{
    return PVFilePathManager::filePath(QStringLiteral("DeviceSetting"), QStringLiteral("plist"));
}

PVPlistManager::PVPlistManager(const QString& resourcePath) : resourcePath_(resourcePath)
{
    resourceVersion_ =
        PVPropertyList::readFile(resourcePath_).toMap().value(QStringLiteral("Version")).toLongLong();
    const QString path = settingsFilePath();
    if (path.isNull()) {
        return;
    }
    if (!QFileInfo::exists(path) && !seed(path)) {
        return;
    }
    if (!load(path)) {
        // An unreadable file would be replaced, with everything in it, by
        // the next write: keep it aside and start again from the defaults.
        const QString aside = PVFilePathManager::filePath(
            QStringLiteral("DeviceSetting-unreadable-") +
                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz")),
            QStringLiteral("plist"));
        if (!QFile::rename(path, aside)) {
            DXLogAlert("The settings file %s cannot be read nor moved aside; settings are not kept this run",
                       qUtf8Printable(path));
            return;
        }
        DXLogAlert("The settings file could not be read; it is kept as %s and the defaults are used",
                   qUtf8Printable(aside));
        if (!seed(path) || !load(path)) {
            return;
        }
    }
    registerStrayImages();
}

// Writes the resource as the user's file. The copy is written, not copied:
// a file copied out of the resources keeps their read-only mode.
bool PVPlistManager::seed(const QString& path)
{
    QFile resource(resourcePath_);
    QSaveFile file(path);
    if (!resource.open(QIODevice::ReadOnly)) {
        DXLogAlert("%s", qUtf8Printable(resource.errorString()));
        return false;
    }
    const QByteArray bytes = resource.readAll();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        DXLogAlert("%s", qUtf8Printable(file.errorString()));
        return false;
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ReadOther);
    return true;
}

bool PVPlistManager::load(const QString& path)
{
    const QVariant root = PVPropertyList::readFile(path);
    if (root.typeId() != QMetaType::QVariantMap) {
        return false;
    }
    root_ = root.toMap();
    deviceStatus_ = root_.value(kDeviceStatus).toList();
    pointerStyles_ = root_.value(kPointerStyle).toList();
    loaded_ = true;
    return true;
}

void PVPlistManager::registerStrayImages()
{
    const QString folder = PVFilePathManager::documentPath();
    if (folder.isNull()) {
        return;
    }
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (entry.isDir() || entry.suffix() == QLatin1String("db") ||
            entry.suffix() == QLatin1String("plist") || name == QLatin1String(".DS_Store")) {
            continue;
        }
        const bool named =
            std::any_of(pointerStyles_.begin(), pointerStyles_.end(), [&name](const QVariant& style) {
                return style.toMap().value(kImageName).toString() == name;
            });
        if (!named) {
            addPointerStyle(name);
        }
    }
}

quint64 PVPlistManager::largestId(const QVariantList& records)
{
    quint64 largest = 0;
    for (const QVariant& record : records) {
        largest = std::max(largest, unsignedOf(record.toMap().value(kId)));
    }
    return largest;
}

QVariantList PVPlistManager::queryDevices(const QStringList& serialIds) const
{
    QVariantList found;
    for (const QVariant& record : deviceStatus_) {
        if (serialIds.contains(record.toMap().value(kSerialId).toString())) {
            found.append(record);
        }
    }
    return found;
}

QVariantList PVPlistManager::queryDevicesNotContains(const QStringList& serialIds) const
{
    QVariantList found;
    for (const QVariant& record : deviceStatus_) {
        if (!serialIds.contains(record.toMap().value(kSerialId).toString())) {
            found.append(record);
        }
    }
    return found;
}

void PVPlistManager::insertOrUpdateDeviceSerialID(const QString& serialId,
                                                  const std::optional<QVariantMap>& statement)
{
    QVariantList devices = deviceStatus_;
    const auto existing = std::find_if(devices.begin(), devices.end(), [&serialId](const QVariant& record) {
        return record.toMap().value(kSerialId).toString() == serialId;
    });
    if (existing != devices.end()) {
        QVariantMap record = existing->toMap();
        if (statement) {
            for (auto it = statement->begin(); it != statement->end(); ++it) {
                record.insert(it.key(), it.value());
            }
        }
        *existing = record;
    } else {
        QVariantMap record = statement.value_or(QVariantMap());
        record.insert(kId, static_cast<qulonglong>(largestId(devices) + 1));
        record.insert(kSerialId, serialId);
        devices.append(record);
    }
    updateToWholeData(devices, kDeviceStatus);
}

void PVPlistManager::removeDeviceID(const QString& serialId)
{
    QVariantList devices = deviceStatus_;
    const auto existing = std::find_if(devices.begin(), devices.end(), [&serialId](const QVariant& record) {
        return record.toMap().value(kSerialId).toString() == serialId;
    });
    if (existing != devices.end()) {
        devices.erase(existing);
    }
    updateToWholeData(devices, kDeviceStatus);
}

QVariantList PVPlistManager::queryAllPointerStyle()
{
    std::stable_sort(pointerStyles_.begin(), pointerStyles_.end(), [](const QVariant& a, const QVariant& b) {
        const QVariantMap left = a.toMap();
        const QVariantMap right = b.toMap();
        const quint64 leftTag = unsignedOf(left.value(kTag));
        const quint64 rightTag = unsignedOf(right.value(kTag));
        if (leftTag != rightTag) {
            return leftTag < rightTag;
        }
        return unsignedOf(left.value(kId)) < unsignedOf(right.value(kId));
    });
    return pointerStyles_;
}

void PVPlistManager::addPointerStyle(const QString& imageName)
{
    QVariantList styles = pointerStyles_;
    styles.append(QVariantMap{{kId, static_cast<qulonglong>(largestId(styles) + 1)},
                              {kImageName, imageName},
                              {kTag, qulonglong{1}}});
    updateToWholeData(styles, kPointerStyle);
}

void PVPlistManager::removePointerStyle(quint64 styleId)
{
    QVariantList styles = pointerStyles_;
    const auto existing = std::find_if(styles.begin(), styles.end(), [styleId](const QVariant& style) {
        return unsignedOf(style.toMap().value(kId)) == styleId;
    });
    if (existing != styles.end()) {
        styles.erase(existing);
    }
    updateToWholeData(styles, kPointerStyle);
}

QVariantMap PVPlistManager::getOnlineAppVerion() const
{
    return root_.value(kLatestAppVersion).toMap();
}

void PVPlistManager::updateOnlineAppVersion(const QString& version)
{
    updateToWholeData(QVariantMap{{QStringLiteral("Version"), version},
                                  {QStringLiteral("Updated"), QDateTime::currentDateTimeUtc()}},
                      kLatestAppVersion);
}

void PVPlistManager::updateToWholeData(const QVariant& value, const QString& key)
{
    if (!value.isValid() && key.isNull()) {
        DXLogWarn("nil value to update.");
        return;
    }
    if (!value.isValid()) {
        DXLogWarn("nil value to update at key %s", qUtf8Printable(key));
        return;
    }
    if (key.isNull()) {
        DXLogWarn("update value %s to nil key", qUtf8Printable(value.toString()));
        return;
    }
    // With no settings file loaded, a write would make a file of this one
    // key, which would then stand in for the defaults for good.
    if (!loaded_) {
        DXLogAlert("Settings are not loaded; the change of %s is not saved", qUtf8Printable(key));
        return;
    }
    // A value XML cannot carry would make the whole file unreadable.
    if (!PVPropertyList::canHold(value)) {
        DXLogAlert("The value for %s cannot be stored in the settings file; not saved", qUtf8Printable(key));
        return;
    }
    const QString path = settingsFilePath();
    QVariantMap root = root_;
    root.insert(key, value);
    QString error;
    if (path.isNull() || !PVPropertyList::writeFile(path, root, &error)) {
        DXLogAlert("Cannot save the settings file: %s",
                   qUtf8Printable(path.isNull() ? QStringLiteral("no document folder") : error));
    }
    if (!path.isNull()) {
        load(path);
    }
}
