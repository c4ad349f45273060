#pragma once

// The generic domain (type 112) and the generic device (type 113) behind the
// Domain and Device record families. The domain makes no devices of its own
// and takes no configs or commands; it keeps listeners and file handles as
// every domain does.

#include "deviceTemplates/CoordinatorTemplate.h"
#include "deviceTemplates/DeviceTemplate.h"
#include "extCommon/extModuleType.h"

namespace vnx {

class DomainCoordinator;

class Device : public DeviceTemplate<DomainCoordinator, Device, VNX_TYPE_DEVICE>
{
  public:
    explicit Device(DomainCoordinator* coordinator) : DeviceTemplate(coordinator, nullptr) {}
    /// A generic device has no identity: -1.
    int getGuid(vnx_DomainGuid_s* guid) const override;
    /// -1.
    int getName(int size, char* buffer) const override;
};

class DomainCoordinator : public CoordinatorTemplate<DomainCoordinator, Device, VNX_TYPE_DOMAIN>
{
  public:
    // -1: the generic domain has no settings and takes no commands.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    /// Null: it makes no devices.
    DeviceInterface* createDevice(const vnx_StructConfig_s* config) override;
};

} // namespace vnx

#ifdef __cplusplus
extern "C" {
#endif

/// Enter or remove the generic domain's factory in the domain registry.
int vnx_Domain_domainFactoryRegister(void);
int vnx_Domain_domainFactoryUnregister(void);

#ifdef __cplusplus
}
#endif
