#include "log/DXLogConfig.h"
#include "settings/PVDevice.h"
#include "settings/PVDongle.h"
#include "settings/PVModelManager.h"
#include "settings/PVPlistManager.h"
#include "settings/PVPointerStyleManager.h"
#include "support/LogCapture.h"
#include "support/SettingsFolder.h"

#include <QFile>
#include <QObject>
#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariantMap onlyRecordOf(const PVPlistManager& store, const QString& serialId)
{
    const QVariantList records = store.queryDevices({serialId});
    return records.size() == 1 ? records.first().toMap() : QVariantMap();
}

// A fresh settings folder with its store and styles.
class DeviceModel : public ::testing::Test
{
  protected:
    /// Stores `records` as the whole "Device_Status".
    void storeRecords(const QVariantList& records) { store_.updateToWholeData(records, "Device_Status"); }

    SettingsFolder folder_;
    PVPlistManager store_;
    PVPointerStyleManager styles_{store_};
};

TEST_F(DeviceModel, FirstStartStoresAGeneralRecordWithTheDefaults)
{
    ASSERT_TRUE(store_.queryDevices({"General"}).isEmpty());
    PVModelManager model(store_, styles_);
    const QVariantMap general = onlyRecordOf(store_, "General");
    EXPECT_EQ(general.value("_id").toULongLong(), 1u);
    EXPECT_EQ(general.value("button_setting").toULongLong(), 0u);
    EXPECT_EQ(general.value("pointer_size").toULongLong(), 1u);
    EXPECT_EQ(general.value("pointer_speed").toULongLong(), 2u);
    EXPECT_EQ(general.value("present_desktop").toULongLong(), 2u);
    EXPECT_EQ(general.value("pointer_style_id").toULongLong(), 1u);

    const PVDevice& device = model.settingDevice();
    EXPECT_EQ(device.buttonSetting.value(), 0u);
    EXPECT_EQ(device.pointerSize(), 1u);
    EXPECT_EQ(device.pointerSpeed(), 2u);
    EXPECT_EQ(device.presentDesktop(), 2u);
    ASSERT_TRUE(device.pointerStyle().has_value());
    EXPECT_EQ(device.pointerStyle()->_id(), 1u);
    EXPECT_EQ(device.serialID(), QString("General"));
    EXPECT_FALSE(device.isDirty());
    EXPECT_TRUE(model.currentDongle().pairedDevices().empty());

    PVModelManager again(store_, styles_);
    EXPECT_EQ(store_.queryDevices({"General"}).size(), 1);
}

TEST(DeviceModelWithoutStore, AStoreThatCannotWriteStillGivesTheDefaultSettingsDevice)
{
    // A plain file where the document folder belongs: nothing can be stored.
    SettingsFolder folder;
    QFile blocker(folder.document());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PVPlistManager store;
    PVPointerStyleManager styles{store};
    PVModelManager model(store, styles);

    EXPECT_TRUE(store.queryDevices({"General"}).isEmpty());
    const PVDevice& device = model.settingDevice();
    EXPECT_EQ(device.serialID(), QString("General"));
    EXPECT_EQ(device.buttonSetting.value(), 0u);
    EXPECT_EQ(device.pointerSize(), 1u);
    EXPECT_EQ(device.pointerSpeed(), 2u);
    EXPECT_EQ(device.presentDesktop(), 2u);
}

TEST_F(DeviceModel, DefaultDictionaryHoldsExactlyTheFiveSettings)
{
    const QVariantMap defaults = PVDevice::defalutDeviceDict();
    EXPECT_EQ(defaults.keys(), (QStringList{"button_setting", "pointer_size", "pointer_speed",
                                            "pointer_style_id", "present_desktop"}));
    const std::unique_ptr<PVDevice> device = PVDevice::initWithDefaultValues();
    EXPECT_EQ(device->serialID(), QString(""));
    EXPECT_EQ(device->productID(), QString(""));
    EXPECT_EQ(device->battery(), 0u);
    EXPECT_FALSE(device->firmwareVersion().has_value());
}

TEST_F(DeviceModel, EachEditedSettingMakesTheDeviceDirtyUntilItsPageIsReset)
{
    PVModelManager model(store_, styles_);
    PVDevice& device = model.settingDevice();
    const QList<std::pair<const char*, std::function<void()>>> edits = {
        {"button mode", [&] { device.buttonSetting.set(PVButtonModeMagnifier); }},
        {"size", [&] { device.setPointerSize(2); }},
        {"speed", [&] { device.setPointerSpeed(4); }},
        {"present desktop", [&] { device.setPresentDesktop(PVPresentDesktopExtended); }},
        {"style", [&] { device.setPointerStyle(*styles_.pointerStyleAtPKID(3)); }},
        {"no style", [&] { device.setPointerStyle(std::nullopt); }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        edit();
        EXPECT_TRUE(device.isDirty());
        device.resetButtonSettingPageByDeviceDict();
        device.resetPointerStylePageByDeviceDict();
        EXPECT_FALSE(device.isDirty());
    }
    device.setBattery(80);
    device.setFirmwareVersion(QString("1.2.3"));
    EXPECT_FALSE(device.isDirty());
}

TEST_F(DeviceModel, ButtonPageResetRestoresTheStoredMode)
{
    PVModelManager model(store_, styles_);
    PVDevice& device = model.settingDevice();
    device.buttonSetting.set(PVButtonModeCursor);
    device.setPointerSize(0);
    device.syncronizedDeviceDictWithPropertiesAndUpdate();
    device.buttonSetting.set(PVButtonModeHighlighter);
    EXPECT_TRUE(device.isDirty());
    device.resetButtonSettingPageByDeviceDict();
    EXPECT_EQ(device.buttonSetting.value(), static_cast<quint64>(PVButtonModeCursor));
    EXPECT_EQ(device.pointerSize(), 0u);
    EXPECT_FALSE(device.isDirty());
}

TEST_F(DeviceModel, PointerDefaultsKeepTheButtonModeAndReachTheFileOnlyWhenStored)
{
    storeRecords({QVariantMap{{"_id", 1},
                              {"serial_id", "General"},
                              {"button_setting", 4},
                              {"pointer_size", 2},
                              {"pointer_speed", 0},
                              {"present_desktop", 1},
                              {"pointer_style_id", 3}}});
    PVModelManager model(store_, styles_);
    PVDevice& device = model.settingDevice();
    EXPECT_EQ(device.pointerStyle()->_id(), 3u);
    const QByteArray before = fileBytes(folder_.settingsFile());

    device.resetPointerStyleToDefault();
    EXPECT_EQ(device.pointerStyle()->_id(), 1u);
    EXPECT_EQ(device.pointerSize(), 1u);
    EXPECT_EQ(device.pointerSpeed(), 2u);
    EXPECT_EQ(device.presentDesktop(), 2u);
    EXPECT_EQ(device.buttonSetting.value(), 4u);
    EXPECT_FALSE(device.isDirty());
    EXPECT_EQ(fileBytes(folder_.settingsFile()), before);

    device.syncronizedDeviceDictWithPropertiesAndUpdate();
    const QVariantMap stored = onlyRecordOf(store_, "General");
    EXPECT_EQ(stored.value("pointer_style_id").toULongLong(), 1u);
    EXPECT_EQ(stored.value("pointer_size").toULongLong(), 1u);
    EXPECT_EQ(stored.value("pointer_speed").toULongLong(), 2u);
    EXPECT_EQ(stored.value("present_desktop").toULongLong(), 2u);
    EXPECT_EQ(stored.value("button_setting").toULongLong(), 4u);
}

TEST_F(DeviceModel, StoringADeviceWithoutARecordAppendsOneAndAnAbsentFirmwareKeepsTheStoredOne)
{
    PVModelManager model(store_, styles_);
    storeRecords(store_.queryDevices({"General"}) +
                 QVariantList{QVariantMap{{"_id", 2}, {"serial_id", "A1"}, {"firmware_version", "0.9"}}});

    PVDevice fresh(QVariantMap{{"serial_id", "B7"}, {"product_id", "P-100"}}, store_, styles_);
    fresh.setBattery(55);
    fresh.setFirmwareVersion(QString("2.0"));
    fresh.syncronizedDeviceDictWithPropertiesAndUpdate();
    const QVariantMap appended = onlyRecordOf(store_, "B7");
    EXPECT_EQ(appended.value("_id").toULongLong(), 3u);
    EXPECT_EQ(appended.value("battery").toULongLong(), 55u);
    EXPECT_EQ(appended.value("firmware_version").toString(), QString("2.0"));
    EXPECT_EQ(appended.value("product_id").toString(), QString("P-100"));
    EXPECT_EQ(appended.value("pointer_style_id").toULongLong(), 0u);

    PVDevice known(onlyRecordOf(store_, "A1"), store_, styles_);
    ASSERT_EQ(known.firmwareVersion(), QString("0.9"));
    known.setFirmwareVersion(std::nullopt);
    known.setBattery(12);
    known.syncronizedDeviceDictWithPropertiesAndUpdate();
    EXPECT_FALSE(known.dirtyDeviceDict().contains("firmware_version"));
    const QVariantMap stored = onlyRecordOf(store_, "A1");
    EXPECT_EQ(stored.value("firmware_version").toString(), QString("0.9"));
    EXPECT_EQ(stored.value("battery").toULongLong(), 12u);
    EXPECT_EQ(stored.value("_id").toULongLong(), 2u);
    EXPECT_EQ(store_.queryDevicesNotContains({}).size(), 3);
}

TEST_F(DeviceModel, ValuesOfTheWrongTypeReadAsEmptyOrZeroWithAWarning)
{
    LogCapture log;
    const QVariantMap record{{"_id", 4},
                             {"serial_id", 17},
                             {"product_id", QVariantList{}},
                             {"button_setting", "3"},
                             {"pointer_size", -1},
                             {"pointer_speed", 2.7},
                             {"present_desktop", QVariantMap{}},
                             {"pointer_style_id", 99},
                             {"battery", true},
                             {"firmware_version", 5}};
    PVDevice device(record, store_, styles_);
    EXPECT_EQ(device.serialID(), QString(""));
    EXPECT_EQ(device.productID(), QString(""));
    EXPECT_EQ(device.buttonSetting.value(), 0u);
    EXPECT_EQ(device.pointerSize(), 0u);
    EXPECT_EQ(device.pointerSpeed(), 2u);
    EXPECT_EQ(device.presentDesktop(), 0u);
    EXPECT_EQ(device.battery(), 1u);
    EXPECT_FALSE(device.firmwareVersion().has_value());
    EXPECT_FALSE(device.pointerStyle().has_value());
    int warnings = 0;
    for (const DXLogEntry& entry : log.entries()) {
        warnings += entry.level == DXLogLevelWarn ? 1 : 0;
    }
    EXPECT_GE(warnings, 4); // button mode, size, present desktop, style
    EXPECT_TRUE(log.contains(
        DXLogLevelWarn, "The setting \"button_setting\" of device \"\" is no unsigned number; 0 is used"));
}

TEST_F(DeviceModel, ButtonModeObserversHearEverySetAlsoOfTheSameValue)
{
    PVModelManager model(store_, styles_);
    QObject observer;
    std::vector<std::pair<quint64, quint64>> heard;
    model.settingDevice().buttonSetting.startObserving(
        &observer, [&heard](quint64 oldValue, quint64 newValue) { heard.emplace_back(oldValue, newValue); },
        false);
    model.settingDevice().buttonSetting.set(0);
    model.settingDevice().buttonSetting.set(2);
    model.settingDevice().resetButtonSettingPageByDeviceDict();
    EXPECT_EQ(heard, (std::vector<std::pair<quint64, quint64>>{{0, 0}, {0, 2}, {2, 0}}));
}

TEST_F(DeviceModel, PairedDevicesComeAndGoByTheirSerialId)
{
    PVModelManager model(store_, styles_);
    PVDongle& dongle = model.currentDongle();
    LogCapture log;
    EXPECT_EQ(dongle.deviceWithSerialID("X"), nullptr);
    EXPECT_TRUE(log.contains(DXLogLevelWarn, "No such paired serial ID X"));
    const QByteArray before = fileBytes(folder_.settingsFile());
    dongle.updateBattery(40, "X");
    EXPECT_EQ(fileBytes(folder_.settingsFile()), before);

    dongle.addDevice("Development");
    EXPECT_EQ(onlyRecordOf(store_, "Development").keys(), (QStringList{"_id", "serial_id"}));
    ASSERT_EQ(dongle.pairedDevices().size(), 1u);
    EXPECT_EQ(dongle.pairedDevices()[0]->serialID(), QString("Development"));
    dongle.updateBattery(40, "Development");
    EXPECT_EQ(dongle.deviceWithSerialID("Development")->battery(), 40u);

    dongle.removeDevice("Development");
    EXPECT_TRUE(dongle.pairedDevices().empty());
    EXPECT_TRUE(store_.queryDevices({"Development"}).isEmpty());
    EXPECT_EQ(store_.queryDevices({"General"}).size(), 1);
}

TEST_F(DeviceModel, TwoRecordsOfOneSerialIdAnswerTheFirstWithAWarning)
{
    storeRecords({QVariantMap{{"_id", 1}, {"serial_id", "Twin"}, {"battery", 10}},
                  QVariantMap{{"_id", 2}, {"serial_id", "Twin"}, {"battery", 20}}});
    PVDongle dongle(store_, styles_);
    LogCapture log;
    const std::shared_ptr<PVDevice> device = dongle.deviceWithSerialID("Twin");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->battery(), 10u);
    EXPECT_TRUE(
        log.contains(DXLogLevelWarn, "There are too many paired devices that have the same serial ID Twin"));
}

} // namespace
