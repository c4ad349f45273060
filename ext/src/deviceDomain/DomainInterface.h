#pragma once

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/moduleConfigInterface.h"
#include "moduleFactory/moduleListenerInterface.h"

namespace vnx {

class DeviceInterface;
class DomainInterface;

/// The owner's side of a domain: devices and watched file handles coming and
/// going, reported synchronously. The order of the operations is part of the
/// binary interface.
class DomainListenerInterface : public ModuleListenerInterface
{
  public:
    void statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status) override = 0;
    virtual void deviceAdded(DeviceInterface* device) = 0;
    virtual void deviceRemoved(DeviceInterface* device) = 0;
    virtual void fileHandleAdded(DomainInterface* domain, int fd, short events) = 0;
    virtual void fileHandleRemoved(DomainInterface* domain, int fd) = 0;
};

/// A family of devices of one kind, which the domain creates, drives and
/// removes.
class DomainInterface : public ModuleConfigInterface
{
  public:
    /// Domains take no module listener: every domain answers -1.
    int setModuleListener(ModuleListenerInterface* listener) override = 0;
    int getConfig(vnx_StructConfig_s* config) const override = 0;
    int setConfig(const vnx_StructConfig_s* config) override = 0;
    int sendCommand(const vnx_StructCommand_s* command) override = 0;
    /// The domain type id.
    uint8_t getType() const override = 0;
    virtual int registerDomainListener(DomainListenerInterface* listener) = 0;
    virtual int unregisterDomainListener(DomainListenerInterface* listener) = 0;
    virtual int process() = 0;
    /// A new device from a Config of the domain's device type; null when none
    /// can be made.
    virtual DeviceInterface* createDevice(const vnx_StructConfig_s* config) = 0;
    virtual void closeDomain() = 0;
};

} // namespace vnx
