#pragma once

// One settings record of the store as an object: the settings pages edit its
// properties, the runtime applies them at once, and the edits reach the file
// when they are stored. dirtyDeviceDict holds the record's values as last
// loaded or stored; the reset operations reload the properties from it.
// Main thread only.

#include "platform/PVObservable.h"
#include "settings/PVPointerStyle.h"

#include <QString>
#include <QVariantMap>
#include <optional>

class PVPlistManager;
class PVPointerStyleManager;

enum PVButtonMode : quint64
{
    PVButtonModeBlackout = 0,
    PVButtonModeSlideShow = 1,
    PVButtonModeCursor = 2,
    PVButtonModeHighlighter = 3,
    PVButtonModeMagnifier = 4,
};

enum PVPresentDesktop : quint64
{
    PVPresentDesktopPrimary = 0,
    PVPresentDesktopExtended = 1,
    PVPresentDesktopAutomatic = 2,
};

class PVDevice
{
  public:
    /// A device of `deviceDict`, stored into `store`, its style looked up in
    /// `styles` (the application's shared ones by default).
    explicit PVDevice(const QVariantMap& deviceDict);
    PVDevice(const QVariantMap& deviceDict, PVPlistManager& store, PVPointerStyleManager& styles);
    PVDevice(const PVDevice&) = delete;
    PVDevice& operator=(const PVDevice&) = delete;

    /// A device of the built-in defaults.
    static std::unique_ptr<PVDevice> initWithDefaultValues();
    /// The built-in defaults, a new dictionary on each call: button mode 0,
    /// size 1, style 1, present desktop 2, speed 2.
    static QVariantMap defalutDeviceDict();

    /// Stores the edited properties: into dirtyDeviceDict, then into the
    /// store's record of this serial id (appended when there is none).
    void syncronizedDeviceDictWithPropertiesAndUpdate();
    /// Drop the edits of the button page, or of the pointer page.
    void resetButtonSettingPageByDeviceDict();
    void resetPointerStylePageByDeviceDict();
    /// The pointer page's defaults (style, size, speed, present desktop)
    /// into dirtyDeviceDict and the properties; nothing is stored.
    void resetPointerStyleToDefault();
    /// True when an edited property differs from dirtyDeviceDict (battery
    /// and firmware are not compared).
    bool isDirty() const;

    const QVariantMap& dirtyDeviceDict() const { return dirtyDeviceDict_; }
    const QString& productID() const { return productID_; }
    const QString& serialID() const { return serialID_; }

    /// The button mode; every set notifies its observers.
    PVObservable<quint64> buttonSetting;

    quint64 pointerSize() const { return pointerSize_; }
    void setPointerSize(quint64 value) { pointerSize_ = value; }
    const std::optional<PVPointerStyle>& pointerStyle() const { return pointerStyle_; }
    void setPointerStyle(std::optional<PVPointerStyle> style) { pointerStyle_ = std::move(style); }
    quint64 presentDesktop() const { return presentDesktop_; }
    void setPresentDesktop(quint64 value) { presentDesktop_ = value; }
    quint64 pointerSpeed() const { return pointerSpeed_; }
    void setPointerSpeed(quint64 value) { pointerSpeed_ = value; }
    quint64 battery() const { return battery_; }
    void setBattery(quint64 value) { battery_ = value; }
    const std::optional<QString>& firmwareVersion() const { return firmwareVersion_; }
    void setFirmwareVersion(std::optional<QString> version) { firmwareVersion_ = std::move(version); }

  private:
    /// The unsigned value of `key`: 0 when absent, and 0 with a Warn line
    /// when it holds no number.
    quint64 unsignedValue(const QString& key) const;
    quint64 styleId() const;

    PVPlistManager& store_;
    PVPointerStyleManager& styles_;
    QVariantMap dirtyDeviceDict_;
    QString productID_;
    QString serialID_;
    quint64 pointerSize_ = 0;
    std::optional<PVPointerStyle> pointerStyle_;
    quint64 presentDesktop_ = 0;
    quint64 pointerSpeed_ = 0;
    quint64 battery_ = 0;
    std::optional<QString> firmwareVersion_;
};
