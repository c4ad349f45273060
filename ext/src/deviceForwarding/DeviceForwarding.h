#pragma once

// Placeholders of device forwarding (type 103): a device on one side of a
// process boundary standing for a device on the other. Nothing creates them
// and every operation answers "not implemented" or does nothing; they keep
// the type's place in the library.

#include <cstdint>

#include "deviceDomain/DeviceInterface.h"
#include "deviceDomain/FileHandleListenerInterface.h"

#ifdef __cplusplus
extern "C" {
#endif

/// What the forwarding side is allowed to do with the forwarding pipes.
typedef enum vnx_DeviceForwarding_Permission_e
{
    VNX_DEVICE_FORWARDING_PERMISSION_NONE = 0,
    VNX_DEVICE_FORWARDING_PERMISSION_CREATE = 1,
} vnx_DeviceForwarding_Permission_e;

#ifdef __cplusplus
}
#endif

namespace vnx {

/// The client end: a device whose operations all answer -1.
class DeviceForwardingClient : public DeviceInterface
{
  public:
    int setModuleListener(ModuleListenerInterface* listener) override;
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    /// 255: no device type.
    uint8_t getType() const override;
    /// Null: no domain.
    DomainInterface* getDomain() const override;
    int registerDeviceListener(DeviceListenerInterface* listener) override;
    int unregisterDeviceListener(DeviceListenerInterface* listener) override;
    int getGuid(vnx_DomainGuid_s* guid) const override;
    /// Never open.
    bool isOpen() const override;
    int open() override;
    int close() override;
    int process() override;
    int getName(int size, char* buffer) const override;
    int sendInput(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats) override;

    /// Stores the listener.
    void setFileHandleListener(FileHandleListenerInterface* listener);
    /// -1.
    int open(vnx_DeviceForwarding_Permission_e permission, char* name);

  private:
    FileHandleListenerInterface* fileHandleListener_ = nullptr;
};

/// The server end: a device listener that does nothing with what it hears.
class DeviceForwardingServer : public DeviceListenerInterface
{
  public:
    void statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status) override;
    void moduleReady(DeviceInterface* device) override;
    void motionInput(DeviceInterface* device, size_t n, const vnx_StructOutput_s** outputs,
                     const vnx_StructFormat_s** formats) override;
    void motionOutput(DeviceInterface* device, size_t n, const vnx_StructOutput_s** outputs,
                      const vnx_StructFormat_s** formats, int value) override;

    /// Store their argument.
    void setFileHandleListener(FileHandleListenerInterface* listener);
    void setDevice(DeviceInterface* device);
    /// -1.
    int open(vnx_DeviceForwarding_Permission_e permission, char* name);
    int close();
    /// Do nothing.
    void process();
    void physicalCallback(const vnx_Struct_s* record);

  private:
    FileHandleListenerInterface* fileHandleListener_ = nullptr;
    DeviceInterface* device_ = nullptr;
};

} // namespace vnx
