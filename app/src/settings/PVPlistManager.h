#pragma once

// The one store of the user's settings: DeviceSetting.plist in the document
// folder, seeded from the resource NativeDeviceSetting.plist at first start.
// Every change rewrites one top-level key of the file atomically and reads
// the whole file back, so memory always equals what is on disk.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

class PVPlistManager
{
  public:
    static PVPlistManager& sharedInstance();

    /// A store over the current document folder, seeded from `resourcePath`.
    explicit PVPlistManager(const QString& resourcePath = defaultResourcePath());

    static QString defaultResourcePath();
    /// The settings file, null when there is no document folder.
    static QString settingsFilePath();

    QVariantList queryDevices(const QStringList& serialIds) const;
    QVariantList queryDevicesNotContains(const QStringList& serialIds) const;
    /// Sets every key of `statement` into the first record of `serialId`, or
    /// appends a new record made from it (with "_id" and "serial_id").
    void insertOrUpdateDeviceSerialID(const QString& serialId, const std::optional<QVariantMap>& statement);
    void removeDeviceID(const QString& serialId);

    /// The style records by "tag", then "_id"; also kept in that order.
    QVariantList queryAllPointerStyle();
    void addPointerStyle(const QString& imageName);
    void removePointerStyle(quint64 styleId);

    QVariantMap getOnlineAppVerion() const;
    void updateOnlineAppVersion(const QString& version);

    /// The only writer: `value` under `key` of the file. A null value or key
    /// writes nothing.
    void updateToWholeData(const QVariant& value, const QString& key);

    const QVariantMap& deviceSettingDict() const { return root_; }
    /// The "Version" of the resource the store was seeded from.
    qlonglong resourceVersion() const { return resourceVersion_; }
    /// False while the store has no settings file (it then writes nothing).
    bool isLoaded() const { return loaded_; }

  private:
    bool seed(const QString& path);
    bool load(const QString& path);
    void registerStrayImages();
    static quint64 largestId(const QVariantList& records);

    QString resourcePath_;
    qlonglong resourceVersion_ = 0;
    bool loaded_ = false;
    QVariantMap root_;
    QVariantList deviceStatus_;
    QVariantList pointerStyles_;
};
