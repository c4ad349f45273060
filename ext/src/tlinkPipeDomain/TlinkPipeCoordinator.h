#pragma once

// The domain of link-protocol devices reached through named pipes (type
// 122). Its Command creates a TlinkPipeDevice from the Config it carries; the
// device is not opened. It owns its devices and deletes those it removes.

#include "deviceTemplates/CoordinatorTemplate.h"
#include "extCommon/extModuleType.h"
#include "tlinkPipeDomain/TlinkPipeDevice.h"
#include "tlinkPipeRecords/TlinkPipeDeviceRecords.h"

namespace vnx {

class TlinkPipeCoordinator
    : public CoordinatorTemplate<TlinkPipeCoordinator, TlinkPipeDevice, VNX_TYPE_TLINK_PIPE_DOMAIN>
{
  public:
    /// Accept any record and change nothing.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    /// -2 for anything but a TlinkPipeDomain Command of a known code; 0
    /// nothing, 1 a device from the embedded Config.
    int sendCommand(const vnx_StructCommand_s* command) override;
    /// A device from a TlinkPipeDevice Config; null for anything else or
    /// when the device refuses its Config.
    DeviceInterface* createDevice(const vnx_StructConfig_s* config) override;
    /// A device from `config`, written to `*device` (null on failure) when
    /// `device` is not null: 0 or the device's refusal.
    int addDevice(const vnx_TlinkPipeDevice_Config_s& config, DeviceInterface** device);
    /// As the template, then deletes the device.
    int deviceRemove(TlinkPipeDevice* device) override;
};

} // namespace vnx

#ifdef __cplusplus
extern "C" {
#endif

/// Enter or remove the TlinkPipeDomain's factory in the domain registry.
int vnx_TlinkPipeDomain_domainFactoryRegister(void);
int vnx_TlinkPipeDomain_domainFactoryUnregister(void);

#ifdef __cplusplus
}
#endif
