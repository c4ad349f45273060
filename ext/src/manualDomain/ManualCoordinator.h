#pragma once

// The domain of manual devices (type 116). Its Command creates a device from
// the ManualDevice Config it carries, or adds or removes a watched file
// handle. It owns its devices and deletes those it removes.

#include "deviceTemplates/CoordinatorTemplate.h"
#include "extCommon/extModuleType.h"
#include "manualDomain/ManualDevice.h"
#include "manualRecords/ManualDeviceRecords.h"

namespace vnx {

class ManualCoordinator : public CoordinatorTemplate<ManualCoordinator, ManualDevice, VNX_TYPE_MANUAL_DOMAIN>
{
  public:
    /// Accept any record and change nothing.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    /// -3 for a record that is not a ManualDomain Command; -2 for one of the
    /// wrong size or an unknown code.
    int sendCommand(const vnx_StructCommand_s* command) override;
    /// A device from a ManualDevice Config; null for anything else or when
    /// the device refuses its Config.
    DeviceInterface* createDevice(const vnx_StructConfig_s* config) override;
    /// A device from `config`, written to `*device` (null on failure) when
    /// `device` is not null: 0 or the device's refusal.
    int addDevice(const vnx_ManualDevice_Config_s& config, DeviceInterface** device);
    /// As the template, then deletes the device.
    int deviceRemove(ManualDevice* device) override;
};

} // namespace vnx

#ifdef __cplusplus
extern "C" {
#endif

/// Enter or remove the ManualDomain's factory in the domain registry.
int vnx_ManualDomain_domainFactoryRegister(void);
int vnx_ManualDomain_domainFactoryUnregister(void);

#ifdef __cplusplus
}
#endif
