#pragma once

// What the settings window and its pages need of the settings model: whether
// the receiver is plugged in (or present but refused) and a presenter paired, and the settings
// device's page resets, button mode, presenter facts and store; the pointer
// style page edits the settings device itself, over the pointer styles and
// the store they are kept in.

#include <QString>
#include <optional>

class PVDevice;
class PVPlistManager;
class PVPointerStyleManager;

class PVMainViewModel
{
  public:
    virtual ~PVMainViewModel() = default;

    virtual bool dongleInsert() const = 0;
    /// Whether a receiver is plugged in but this user may not open it.
    virtual bool receiverAccessDenied() const = 0;
    /// Put back the stored values of the pointer style page's settings.
    virtual void resetPointerStylePageByDeviceDict() = 0;
    /// Put back the stored button mode.
    virtual void resetButtonSettingPageByDeviceDict() = 0;
    virtual quint64 buttonSetting() const = 0;
    /// A new button mode, heard at once by whoever observes the mode.
    virtual void setButtonSetting(quint64 mode) = 0;
    /// Whether a presenter is paired and awake.
    virtual bool pairedState() const = 0;
    /// The presenter's battery level as last reported (PVNotFound: none).
    virtual quint64 battery() const = 0;
    virtual std::optional<QString> firmwareVersion() const = 0;
    /// Store the settings device's current values.
    virtual void syncronizedDeviceDictWithPropertiesAndUpdate() = 0;

    /// The settings device now (it may be replaced: ask on every use).
    virtual PVDevice& settingDevice() = 0;
    virtual PVPointerStyleManager& pointerStyleManager() = 0;
    /// The store of the settings and the pointer style records.
    virtual PVPlistManager& plistManager() = 0;
};
