#include "settings/PVPlistManager.h"
#include "settings/PVPropertyList.h"
#include "support/LogCapture.h"
#include "support/SettingsFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QVariantMap fileRoot(const SettingsFolder& folder)
{
    return PVPropertyList::readFile(folder.settingsFile()).toMap();
}

QList<quint64> idsOf(const QVariantList& records)
{
    QList<quint64> ids;
    for (const QVariant& record : records) {
        ids.append(record.toMap().value("_id").toULongLong());
    }
    return ids;
}

TEST(SettingsStore, FirstStartSeedsAWritableFileFromTheResource)
{
    SettingsFolder folder;
    PVPlistManager store;
    ASSERT_TRUE(store.isLoaded());
    ASSERT_TRUE(QFileInfo::exists(folder.settingsFile()));
    EXPECT_TRUE(QFileInfo(folder.settingsFile()).permissions() & QFileDevice::WriteOwner);
    EXPECT_EQ(fileRoot(folder), PVPropertyList::readFile(PVPlistManager::defaultResourcePath()).toMap());
    EXPECT_EQ(store.deviceSettingDict(), fileRoot(folder));
    EXPECT_GE(store.resourceVersion(), 1);

    // The resource offers style 1 and an import tile.
    const QVariantList styles = store.queryAllPointerStyle();
    EXPECT_TRUE(idsOf(styles).contains(1));
    EXPECT_EQ(styles.last().toMap().value("tag").toULongLong(), 2u);
}

TEST(SettingsStore, OnlyStrayImagesBecomeCustomStyles)
{
    SettingsFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.document() + "/dcd"));
    ASSERT_TRUE(QDir().mkpath(folder.document() + "/folder.png"));
    for (const char* name : {"photo.png", "a.jpeg", ".DS_Store", "Thumbs.db", "other.plist", "noextension"}) {
        touch(folder.document() + "/" + name);
    }
    PVPlistManager store;
    QStringList custom;
    QList<quint64> customIds;
    const quint64 builtInLargest = 5;
    for (const QVariant& record : store.queryAllPointerStyle()) {
        const QVariantMap style = record.toMap();
        if (style.value("tag").toULongLong() == 1) {
            custom.append(style.value("image_name").toString());
            customIds.append(style.value("_id").toULongLong());
        }
    }
    EXPECT_EQ(custom, (QStringList{"a.jpeg", "noextension", "photo.png"}));
    EXPECT_EQ(customIds, (QList<quint64>{builtInLargest + 1, builtInLargest + 2, builtInLargest + 3}));

    // At the next start the images are named by styles: nothing is added twice.
    PVPlistManager again;
    EXPECT_EQ(again.queryAllPointerStyle().size(), store.queryAllPointerStyle().size());
}

TEST(SettingsStore, DeviceRecords)
{
    SettingsFolder folder;
    PVPlistManager store;
    LogCapture log;
    store.insertOrUpdateDeviceSerialID("General", std::nullopt);
    EXPECT_EQ(store.queryDevices({"General"}),
              (QVariantList{QVariantMap{{"_id", 1}, {"serial_id", "General"}}}));

    store.insertOrUpdateDeviceSerialID("Development",
                                       QVariantMap{{"button_setting", 2}, {"pointer_size", 0}});
    store.insertOrUpdateDeviceSerialID("General", QVariantMap{{"pointer_speed", 4}, {"present_desktop", 1}});
    store.insertOrUpdateDeviceSerialID("General", QVariantMap{{"pointer_speed", 3}});
    const QVariantMap general = store.queryDevices({"General"}).value(0).toMap();
    EXPECT_EQ(general.value("_id").toInt(), 1);
    EXPECT_EQ(general.value("pointer_speed").toInt(), 3);
    EXPECT_EQ(general.value("present_desktop").toInt(), 1); // not in the last statement: kept
    const QVariantMap development = store.queryDevicesNotContains({"General"}).value(0).toMap();
    EXPECT_EQ(development.value("_id").toInt(), 2);
    EXPECT_EQ(development.value("button_setting").toInt(), 2);
    EXPECT_EQ(idsOf(store.queryDevices({"General", "Development"})), (QList<quint64>{1, 2}));
    EXPECT_EQ(store.deviceSettingDict(), fileRoot(folder));

    const QVariantList before = fileRoot(folder).value("Device_Status").toList();
    store.removeDeviceID("Unknown");
    EXPECT_EQ(fileRoot(folder).value("Device_Status").toList(), before);
    store.removeDeviceID("General");
    EXPECT_EQ(idsOf(fileRoot(folder).value("Device_Status").toList()), (QList<quint64>{2}));
    for (const DXLogEntry& entry : log.entries()) {
        EXPECT_NE(entry.level, DXLogLevelAlert) << entry.text;
    }
}

TEST(SettingsStore, StylesSortByTagThenId)
{
    SettingsFolder folder;
    QTemporaryDir resources;
    const QString resource = resources.path() + "/Native.plist";
    const auto style = [](int id, int tag) {
        return QVariantMap{{"_id", id}, {"tag", tag}, {"image_name", QString("s%1").arg(id)}};
    };
    ASSERT_TRUE(PVPropertyList::writeFile(
        resource, QVariantMap{{"Version", 3},
                              {"Pointer_Style", QVariantList{style(9, 1), style(4, 0), style(2, 2),
                                                             style(7, 1), style(1, 0), style(3, 1)}}}));
    PVPlistManager store(resource);
    EXPECT_EQ(store.resourceVersion(), 3);
    EXPECT_EQ(idsOf(store.queryAllPointerStyle()), (QList<quint64>{1, 4, 3, 7, 9, 2}));

    store.addPointerStyle("new.png");
    const QVariantMap added = store.queryAllPointerStyle().value(5).toMap();
    EXPECT_EQ(added, (QVariantMap{{"_id", 10}, {"tag", 1}, {"image_name", "new.png"}}));
    store.removePointerStyle(7);
    store.removePointerStyle(77);
    EXPECT_EQ(idsOf(store.queryAllPointerStyle()), (QList<quint64>{1, 4, 3, 9, 10, 2}));
    EXPECT_EQ(store.deviceSettingDict(), fileRoot(folder));
}

TEST(SettingsStore, NilValuesAndKeysWriteNothing)
{
    SettingsFolder folder;
    PVPlistManager store;
    const QDateTime before = QFileInfo(folder.settingsFile()).lastModified();
    LogCapture log;
    store.updateToWholeData(QVariant(), "pointer_size");
    store.updateToWholeData(QVariant(), QString());
    store.updateToWholeData(QString("v"), QString());
    EXPECT_TRUE(log.contains(DXLogLevelWarn, "nil value to update at key pointer_size"));
    EXPECT_TRUE(log.contains(DXLogLevelWarn, "nil value to update."));
    EXPECT_TRUE(log.contains(DXLogLevelWarn, "update value v to nil key"));
    EXPECT_EQ(QFileInfo(folder.settingsFile()).lastModified(), before);
    EXPECT_FALSE(fileRoot(folder).contains("pointer_size"));
}

TEST(SettingsStore, OnlineVersionIsStoredWithItsDate)
{
    SettingsFolder folder;
    PVPlistManager store;
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    store.updateOnlineAppVersion("2.1");
    const QVariantMap latest = store.getOnlineAppVerion();
    EXPECT_EQ(latest.value("Version").toString(), "2.1");
    EXPECT_EQ(latest.size(), 2);
    const QDateTime updated = latest.value("Updated").toDateTime();
    EXPECT_GE(updated, before);
    EXPECT_LE(updated, QDateTime::currentDateTimeUtc().addSecs(1));

    // Another reader of the file, as the next run is, sees the same.
    PVPlistManager nextRun;
    EXPECT_EQ(nextRun.getOnlineAppVerion().value("Version").toString(), "2.1");
    QFile file(folder.settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    EXPECT_TRUE(xml.contains("<key>LatestAppVersion</key>"));
    EXPECT_TRUE(xml.contains("<date>"));
}

TEST(SettingsStore, RefusedWriteIsReportedAndMemoryKeepsTheFile)
{
    SettingsFolder folder;
    PVPlistManager store;
    store.insertOrUpdateDeviceSerialID("General", QVariantMap{{"pointer_size", 1}});
    // A non-empty folder standing at the file's name: the rename fails, also for root.
    const QVariantMap onDisk = fileRoot(folder);
    ASSERT_TRUE(QFile::rename(folder.settingsFile(), folder.home() + "/kept.plist"));
    ASSERT_TRUE(QDir().mkpath(folder.settingsFile() + "/inside"));
    LogCapture log;
    store.insertOrUpdateDeviceSerialID("General", QVariantMap{{"pointer_size", 2}});
    bool alerted = false;
    for (const DXLogEntry& entry : log.entries()) {
        alerted = alerted || (entry.level == DXLogLevelAlert && entry.text.find("Cannot save") == 0);
    }
    EXPECT_TRUE(alerted);
    EXPECT_EQ(store.deviceSettingDict(), onDisk);
    EXPECT_EQ(store.queryDevices({"General"}).value(0).toMap().value("pointer_size").toInt(), 1);
}

TEST(SettingsStore, ValueXmlCannotCarryIsRefused)
{
    SettingsFolder folder;
    PVPlistManager store;
    store.insertOrUpdateDeviceSerialID("General", QVariantMap{{"firmware_version", "1.0"}});
    QFile file(folder.settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    LogCapture log;
    store.insertOrUpdateDeviceSerialID("General", QVariantMap{{"firmware_version", QString("\x01\x02\x1b")}});
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(store.queryDevices({"General"}).value(0).toMap().value("firmware_version").toString(), "1.0");
    EXPECT_TRUE(log.contains(DXLogLevelAlert,
                             "The value for Device_Status cannot be stored in the settings file; not saved"));
}

TEST(SettingsStore, UnreadableFileIsKeptAsideAndTheDefaultsReturn)
{
    SettingsFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.document()));
    {
        QFile broken(folder.settingsFile());
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("<plist><dict><key>Version</key>");
    }
    LogCapture log;
    PVPlistManager store;
    EXPECT_TRUE(store.isLoaded());
    EXPECT_EQ(fileRoot(folder), PVPropertyList::readFile(PVPlistManager::defaultResourcePath()).toMap());
    const QStringList aside = QDir(folder.document()).entryList({"DeviceSetting-unreadable-*.plist"});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(folder.document() + "/" + aside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "<plist><dict><key>Version</key>");
    bool alerted = false;
    for (const DXLogEntry& entry : log.entries()) {
        alerted = alerted || entry.level == DXLogLevelAlert;
    }
    EXPECT_TRUE(alerted);
    // The kept file ends in "plist": it never becomes a pointer style.
    for (const QVariant& style : store.queryAllPointerStyle()) {
        EXPECT_NE(style.toMap().value("tag").toInt(), 1);
    }
}

TEST(SettingsStore, StoreWithoutAFileWritesNothing)
{
    SettingsFolder folder;
    LogCapture log;
    PVPlistManager store(folder.home() + "/missing-resource.plist");
    EXPECT_FALSE(store.isLoaded());
    EXPECT_TRUE(store.deviceSettingDict().isEmpty());
    store.insertOrUpdateDeviceSerialID("General", QVariantMap{{"pointer_size", 2}});
    store.addPointerStyle("x.png");
    EXPECT_FALSE(QFileInfo::exists(folder.settingsFile()));
    EXPECT_TRUE(store.queryDevices({"General"}).isEmpty());
    EXPECT_TRUE(store.queryAllPointerStyle().isEmpty());
}

} // namespace
