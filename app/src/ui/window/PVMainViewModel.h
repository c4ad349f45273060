#pragma once

// What the settings window needs of the settings model: whether the receiver
// is plugged in, and the settings device's page resets, button mode and
// store.

#include <QtGlobal>

class PVMainViewModel
{
  public:
    virtual ~PVMainViewModel() = default;

    virtual bool dongleInsert() const = 0;
    /// Put back the stored values of the pointer style page's settings.
    virtual void resetPointerStylePageByDeviceDict() = 0;
    /// Put back the stored button mode.
    virtual void resetButtonSettingPageByDeviceDict() = 0;
    virtual quint64 buttonSetting() const = 0;
    /// Store the settings device's current values.
    virtual void syncronizedDeviceDictWithPropertiesAndUpdate() = 0;
};
