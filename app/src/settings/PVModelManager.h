#pragma once

// The two model objects everybody shares: the settings device (the record
// "General", created with the defaults at first start) and the current
// receiver. Main thread only.

#include "settings/PVDevice.h"
#include "settings/PVDongle.h"

#include <memory>

class PVModelManager
{
  public:
    static PVModelManager& sharedInstance();

    PVModelManager(PVPlistManager& store, PVPointerStyleManager& styles);
    PVModelManager(const PVModelManager&) = delete;
    PVModelManager& operator=(const PVModelManager&) = delete;

    PVDevice& settingDevice() const { return *settingDevice_; }
    void setSettingDevice(std::shared_ptr<PVDevice> device);
    PVDongle& currentDongle() const { return *currentDongle_; }
    void setCurrentDongle(std::shared_ptr<PVDongle> dongle);

    /// Makes the settings device from the stored "General" record, storing
    /// one with the defaults first when there is none.
    void settingGeneralSettings();

  private:
    PVPlistManager& store_;
    PVPointerStyleManager& styles_;
    std::shared_ptr<PVDevice> settingDevice_;
    std::shared_ptr<PVDongle> currentDongle_;
};
