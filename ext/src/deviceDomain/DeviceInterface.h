#pragma once

#include <stddef.h>
#include <stdint.h>

#include "common/record.h"
#include "deviceDomain/DomainGuid.h"
#include "moduleFactory/moduleConfigInterface.h"
#include "moduleFactory/moduleListenerInterface.h"

namespace vnx {

class DeviceInterface;
class DomainInterface;

/// The owner's side of a device: its status events and its motion batches,
/// reported synchronously from inside the device's operations. The order of
/// the operations is part of the binary interface.
class DeviceListenerInterface : public ModuleListenerInterface
{
  public:
    void statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status) override = 0;
    /// The device's hosted module is created and initialised.
    virtual void moduleReady(DeviceInterface* device) = 0;
    /// One input batch, when the device is asked to report its input.
    virtual void motionInput(DeviceInterface* device, size_t n, const vnx_StructOutput_s** outputs,
                             const vnx_StructFormat_s** formats) = 0;
    /// One output batch; `value` is the hosted module's answer for it (0 when
    /// the batch did not pass through the module).
    virtual void motionOutput(DeviceInterface* device, size_t n, const vnx_StructOutput_s** outputs,
                              const vnx_StructFormat_s** formats, int value) = 0;
};

/// One device of a domain. Records of the device's own type are its own;
/// every other Config or Command goes to the module host it owns.
class DeviceInterface : public ModuleConfigInterface
{
  public:
    int setModuleListener(ModuleListenerInterface* listener) override = 0;
    int getConfig(vnx_StructConfig_s* config) const override = 0;
    int setConfig(const vnx_StructConfig_s* config) override = 0;
    int sendCommand(const vnx_StructCommand_s* command) override = 0;
    /// The device type id.
    uint8_t getType() const override = 0;
    virtual DomainInterface* getDomain() const = 0;
    virtual int registerDeviceListener(DeviceListenerInterface* listener) = 0;
    virtual int unregisterDeviceListener(DeviceListenerInterface* listener) = 0;
    virtual int getGuid(vnx_DomainGuid_s* guid) const = 0;
    virtual bool isOpen() const = 0;
    virtual int open() = 0;
    virtual int close() = 0;
    /// -966 (DEVICE_REMOVED) asks the domain to remove the device.
    virtual int process() = 0;
    /// Writes a NUL-terminated name of at most `size` bytes.
    virtual int getName(int size, char* buffer) const = 0;
    virtual int sendInput(size_t n, const vnx_StructOutput_s** outputs,
                          const vnx_StructFormat_s** formats) = 0;
};

} // namespace vnx
