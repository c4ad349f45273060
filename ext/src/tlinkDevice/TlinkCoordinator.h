#pragma once

// The domain of link-protocol devices whose transport the client provides
// (type 120). Its Command creates a TlinkDevice from the Config it carries;
// it owns its devices and deletes those it removes.

#include "deviceTemplates/CoordinatorTemplate.h"
#include "extCommon/extModuleType.h"
#include "tlinkDevice/TlinkDevice.h"
#include "tlinkRecords/TlinkDeviceRecords.h"

namespace vnx {

class TlinkCoordinator : public CoordinatorTemplate<TlinkCoordinator, TlinkDevice, VNX_TYPE_TLINK_DOMAIN>
{
  public:
    /// Accept any record and change nothing.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    /// -2 for anything but a TlinkDomain Command of a known code; 0 nothing,
    /// 1 a device from the embedded Config (its refusal when it refuses).
    int sendCommand(const vnx_StructCommand_s* command) override;
    /// A device from a TlinkDevice Config; null for anything else or when
    /// the device refuses its Config.
    DeviceInterface* createDevice(const vnx_StructConfig_s* config) override;
    /// A device from `config`, written to `*device` (null on failure) when
    /// `device` is not null: 0 or the device's refusal.
    int addDevice(const vnx_TlinkDevice_Config_s& config, DeviceInterface** device);
    /// As the template, then deletes the device.
    int deviceRemove(TlinkDevice* device) override;
};

} // namespace vnx

#ifdef __cplusplus
extern "C" {
#endif

/// Enter or remove the TlinkDomain's factory in the domain registry.
int vnx_TlinkDomain_domainFactoryRegister(void);
int vnx_TlinkDomain_domainFactoryUnregister(void);

#ifdef __cplusplus
}
#endif
