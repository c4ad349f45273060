#pragma once

// The settings window's model over the application's own: the receiver's
// presence from the run-time facts, the settings device (asked for anew on
// every call, since it may be replaced) for the resets, the button mode and
// the store, and the pointer styles with their store.

#include "ui/window/PVMainViewModel.h"

class PVGlobalObjectManager;
class PVModelManager;
class PVPlistManager;
class PVPointerStyleManager;

class PVMainViewModelAdapter : public PVMainViewModel
{
  public:
    /// Over the application's shared model.
    PVMainViewModelAdapter();
    PVMainViewModelAdapter(PVModelManager& models, PVGlobalObjectManager& globals, PVPointerStyleManager& styles,
                           PVPlistManager& store);

    bool dongleInsert() const override;
    /// As the receiver's reader last found it.
    bool receiverAccessDenied() const override;
    void resetPointerStylePageByDeviceDict() override;
    void resetButtonSettingPageByDeviceDict() override;
    quint64 buttonSetting() const override;
    void setButtonSetting(quint64 mode) override;
    bool pairedState() const override;
    quint64 battery() const override;
    std::optional<QString> firmwareVersion() const override;
    void syncronizedDeviceDictWithPropertiesAndUpdate() override;
    PVDevice& settingDevice() override;
    PVPointerStyleManager& pointerStyleManager() override;
    PVPlistManager& plistManager() override;

  private:
    PVModelManager& models_;
    PVGlobalObjectManager& globals_;
    PVPointerStyleManager& styles_;
    PVPlistManager& store_;
};
