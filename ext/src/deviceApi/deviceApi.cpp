#include "deviceApi/deviceApi.h"

#include "common/statusCode.h"
#include "deviceApi/apiCalls.h"

using namespace vnx::api;

namespace {

constexpr int kInvalid = VNX_STATUS_INVALID_PARAMETER;

} // namespace

extern "C" {

int vnx_Device_registerDeviceListener(vnx_DeviceHandle_s* client, vnx_DeviceStatusCallback_f status,
                                      vnx_ModuleReadyCallback_f moduleReady,
                                      vnx_MotionInputCallback_f motionInput,
                                      vnx_MotionOutputCallback_f motionOutput, void* user)
{
    return onDevice(client, kInvalid, [&](vnx_DeviceHandle_s& handle, vnx::DeviceInterface&) {
        registerCallback(handle.statusCallbacks, status, user);
        registerCallback(handle.moduleReadyCallbacks, moduleReady, user);
        registerCallback(handle.motionInputCallbacks, motionInput, user);
        registerCallback(handle.motionOutputCallbacks, motionOutput, user);
        return VNX_STATUS_SUCCESS;
    });
}

int vnx_Device_unregisterDeviceListener(vnx_DeviceHandle_s* client, vnx_DeviceStatusCallback_f status,
                                        vnx_ModuleReadyCallback_f moduleReady,
                                        vnx_MotionInputCallback_f motionInput,
                                        vnx_MotionOutputCallback_f motionOutput, void* user)
{
    return onDevice(client, kInvalid, [&](vnx_DeviceHandle_s& handle, vnx::DeviceInterface&) {
        unregisterCallback(handle.statusCallbacks, status, user);
        unregisterCallback(handle.moduleReadyCallbacks, moduleReady, user);
        unregisterCallback(handle.motionInputCallbacks, motionInput, user);
        unregisterCallback(handle.motionOutputCallbacks, motionOutput, user);
        return VNX_STATUS_SUCCESS;
    });
}

int vnx_Device_getConfig(vnx_DeviceHandle_s* client, vnx_StructConfig_s* config)
{
    return onDevice(client, kInvalid, [&](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) {
        return device.getConfig(config);
    });
}

int vnx_Device_setConfig(vnx_DeviceHandle_s* client, const vnx_StructConfig_s* config)
{
    return onDevice(client, kInvalid, [&](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) {
        return device.setConfig(config);
    });
}

int vnx_Device_sendCommand(vnx_DeviceHandle_s* client, const vnx_StructCommand_s* command)
{
    // The command may remove the device: nothing of it is touched after the
    // device's answer.
    return onDevice(client, kInvalid, [&](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) {
        return device.sendCommand(command);
    });
}

uint8_t vnx_Device_getType(vnx_DeviceHandle_s* client)
{
    return onDevice<uint8_t>(
        client, 0, [](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) { return device.getType(); });
}

int vnx_Device_getGuid(vnx_DeviceHandle_s* client, vnx_DomainGuid_s* guid)
{
    if (guid == nullptr) {
        return kInvalid;
    }
    return onDevice(client, kInvalid,
                    [&](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) { return device.getGuid(guid); });
}

int vnx_Device_isOpen(vnx_DeviceHandle_s* client)
{
    return onDevice(client, kInvalid, [](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) {
        return device.isOpen() ? 1 : 0;
    });
}

int vnx_Device_open(vnx_DeviceHandle_s* client)
{
    return onDevice(client, kInvalid,
                    [](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) { return device.open(); });
}

int vnx_Device_close(vnx_DeviceHandle_s* client)
{
    return onDevice(client, kInvalid,
                    [](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) { return device.close(); });
}

int vnx_Device_process(vnx_DeviceHandle_s* client)
{
    return onDevice(client, kInvalid,
                    [](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) { return device.process(); });
}

int vnx_Device_getName(vnx_DeviceHandle_s* client, int size, char* buffer)
{
    if (buffer == nullptr || size < 1) {
        return kInvalid;
    }
    return onDevice(client, kInvalid, [&](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) {
        return device.getName(size, buffer);
    });
}

int vnx_Device_sendInput(vnx_DeviceHandle_s* client, size_t n, const vnx_StructOutput_s** outputs,
                         const vnx_StructFormat_s** formats)
{
    return onDevice(client, kInvalid, [&](vnx_DeviceHandle_s&, vnx::DeviceInterface& device) {
        return device.sendInput(n, outputs, formats);
    });
}

vnx_DomainHandle_s* vnx_Device_getDomain(vnx_DeviceHandle_s* client)
{
    return onDevice<vnx_DomainHandle_s*>(
        client, nullptr, [](vnx_DeviceHandle_s& handle, vnx::DeviceInterface&) {
            vnx_DomainHandle_s* domain = handle.domainHandle;
            return domain->calls.destroyPending ? nullptr : clientValue(domain);
        });
}

} // extern "C"
