#include "deviceForwarding/DeviceForwarding.h"

#include "common/statusCode.h"

namespace vnx {

namespace {

constexpr int kNotImplemented = VNX_STATUS_FEATURE_NOT_IMPLEMENTED;

} // namespace

int DeviceForwardingClient::setModuleListener(ModuleListenerInterface*)
{
    return kNotImplemented;
}

int DeviceForwardingClient::getConfig(vnx_StructConfig_s*) const
{
    return kNotImplemented;
}

int DeviceForwardingClient::setConfig(const vnx_StructConfig_s*)
{
    return kNotImplemented;
}

int DeviceForwardingClient::sendCommand(const vnx_StructCommand_s*)
{
    return kNotImplemented;
}

uint8_t DeviceForwardingClient::getType() const
{
    return 255;
}

DomainInterface* DeviceForwardingClient::getDomain() const
{
    return nullptr;
}

int DeviceForwardingClient::registerDeviceListener(DeviceListenerInterface*)
{
    return kNotImplemented;
}

int DeviceForwardingClient::unregisterDeviceListener(DeviceListenerInterface*)
{
    return kNotImplemented;
}

int DeviceForwardingClient::getGuid(vnx_DomainGuid_s*) const
{
    return kNotImplemented;
}

bool DeviceForwardingClient::isOpen() const
{
    return false;
}

int DeviceForwardingClient::open()
{
    return kNotImplemented;
}

int DeviceForwardingClient::close()
{
    return kNotImplemented;
}

int DeviceForwardingClient::process()
{
    return kNotImplemented;
}

int DeviceForwardingClient::getName(int, char*) const
{
    return kNotImplemented;
}

int DeviceForwardingClient::sendInput(size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**)
{
    return kNotImplemented;
}

void DeviceForwardingClient::setFileHandleListener(FileHandleListenerInterface* listener)
{
    fileHandleListener_ = listener;
}

int DeviceForwardingClient::open(vnx_DeviceForwarding_Permission_e, char*)
{
    return kNotImplemented;
}

void DeviceForwardingServer::statusCallback(ModuleConfigInterface*, const vnx_StructStatus_s*) {}

void DeviceForwardingServer::moduleReady(DeviceInterface*) {}

void DeviceForwardingServer::motionInput(DeviceInterface*, size_t, const vnx_StructOutput_s**,
                                         const vnx_StructFormat_s**)
{
}

void DeviceForwardingServer::motionOutput(DeviceInterface*, size_t, const vnx_StructOutput_s**,
                                          const vnx_StructFormat_s**, int)
{
}

void DeviceForwardingServer::setFileHandleListener(FileHandleListenerInterface* listener)
{
    fileHandleListener_ = listener;
}

void DeviceForwardingServer::setDevice(DeviceInterface* device)
{
    device_ = device;
}

int DeviceForwardingServer::open(vnx_DeviceForwarding_Permission_e, char*)
{
    return kNotImplemented;
}

int DeviceForwardingServer::close()
{
    return kNotImplemented;
}

void DeviceForwardingServer::process() {}

void DeviceForwardingServer::physicalCallback(const vnx_Struct_s*) {}

} // namespace vnx
