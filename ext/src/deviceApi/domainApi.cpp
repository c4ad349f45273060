#include <memory>

#include "common/statusCode.h"
#include "deviceApi/apiCalls.h"
#include "deviceApi/deviceApi.h"
#include "domainFactory/DomainFactory.h"

namespace vnx::api {

void leaveDomainCall(vnx_DomainHandle_s* handle) noexcept
{
    if (--handle->calls.depth == 0 && handle->calls.destroyPending) {
        guardStatus([&] { return destroyDomainHandle(handle); });
    }
}

void leaveDeviceCall(vnx_DeviceHandle_s* handle) noexcept
{
    vnx_DomainHandle_s* domain = handle->domainHandle;
    leaveDeviceHandle(handle);
    leaveDomainCall(domain);
}

} // namespace vnx::api

using namespace vnx::api;

namespace {

constexpr int kInvalid = VNX_STATUS_INVALID_PARAMETER;

} // namespace

extern "C" {

vnx_DomainHandle_s* vnx_DomainFactory_createDomain(uint8_t type)
{
    return vnx::guardValue<vnx_DomainHandle_s*>(nullptr, [&]() -> vnx_DomainHandle_s* {
        vnx::DomainInterface* domain = vnx::DomainFactory::createDomain(type);
        if (domain == nullptr) {
            return nullptr;
        }
        auto handle = std::make_unique<vnx_DomainHandle_s>();
        handle->domain = domain;
        handle->value = domainHandles().add(handle.get());
        if (handle->value == 0) {
            vnx::DomainFactory::destroyDomain(domain);
            return nullptr;
        }
        domain->registerDomainListener(handle.get());
        return clientValue(handle.release());
    });
}

int vnx_DomainFactory_destroyDomain(vnx_DomainHandle_s* client)
{
    if (client == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    return vnx::guardStatus([&]() -> int {
        // The handle leaves the registry first: no call through it reaches
        // the domain any more, and a second destroy finds nothing.
        vnx_DomainHandle_s* handle = domainHandles().remove(vnx::handleValueOf(client));
        if (handle == nullptr) {
            return VNX_STATUS_INTERNAL_ERROR;
        }
        if (handle->calls.depth > 0) {
            // Destroyed from one of its own callbacks: the domain is inside a
            // call and goes when that call has returned.
            handle->statusCallbacks.clear();
            handle->deviceAddedCallbacks.clear();
            handle->deviceRemovedCallbacks.clear();
            handle->fileHandleAddedCallbacks.clear();
            handle->fileHandleRemovedCallbacks.clear();
            handle->calls.destroyPending = true;
            return VNX_STATUS_SUCCESS;
        }
        return destroyDomainHandle(handle);
    });
}

int vnx_Domain_registerDomainListener(vnx_DomainHandle_s* client, vnx_DomainStatusCallback_f status,
                                      vnx_DeviceAddedCallback_f deviceAdded,
                                      vnx_DeviceRemovedCallback_f deviceRemoved,
                                      vnx_FileHandleAddedCallback_f fileHandleAdded,
                                      vnx_FileHandleRemovedCallback_f fileHandleRemoved, void* user)
{
    return onDomain(client, kInvalid, [&](vnx_DomainHandle_s& handle, vnx::DomainInterface&) {
        registerCallback(handle.statusCallbacks, status, user);
        registerCallback(handle.deviceAddedCallbacks, deviceAdded, user);
        registerCallback(handle.deviceRemovedCallbacks, deviceRemoved, user);
        registerCallback(handle.fileHandleAddedCallbacks, fileHandleAdded, user);
        registerCallback(handle.fileHandleRemovedCallbacks, fileHandleRemoved, user);
        // What exists already is told to the callbacks of this call only.
        if (deviceAdded != nullptr) {
            handle.devices.forEach(
                [&](vnx_DeviceHandle_s* device) { deviceAdded(clientValue(device), user); });
        }
        if (fileHandleAdded != nullptr) {
            handle.fileHandles.forEach(
                [&](const WatchedFileHandle& watched) { fileHandleAdded(watched.fd, watched.events, user); });
        }
        return VNX_STATUS_SUCCESS;
    });
}

int vnx_Domain_unregisterDomainListener(vnx_DomainHandle_s* client, vnx_DomainStatusCallback_f status,
                                        vnx_DeviceAddedCallback_f deviceAdded,
                                        vnx_DeviceRemovedCallback_f deviceRemoved,
                                        vnx_FileHandleAddedCallback_f fileHandleAdded,
                                        vnx_FileHandleRemovedCallback_f fileHandleRemoved, void* user)
{
    return onDomain(client, kInvalid, [&](vnx_DomainHandle_s& handle, vnx::DomainInterface&) {
        unregisterCallback(handle.statusCallbacks, status, user);
        unregisterCallback(handle.deviceAddedCallbacks, deviceAdded, user);
        unregisterCallback(handle.deviceRemovedCallbacks, deviceRemoved, user);
        unregisterCallback(handle.fileHandleAddedCallbacks, fileHandleAdded, user);
        unregisterCallback(handle.fileHandleRemovedCallbacks, fileHandleRemoved, user);
        // Only the callbacks that leave are told that everything goes.
        if (deviceRemoved != nullptr) {
            handle.devices.forEach(
                [&](vnx_DeviceHandle_s* device) { deviceRemoved(clientValue(device), user); });
        }
        if (fileHandleRemoved != nullptr) {
            handle.fileHandles.forEach(
                [&](const WatchedFileHandle& watched) { fileHandleRemoved(watched.fd, user); });
        }
        return VNX_STATUS_SUCCESS;
    });
}

vnx_DeviceHandle_s* vnx_Domain_createDevice(vnx_DomainHandle_s* client, const vnx_StructConfig_s* config)
{
    return onDomain<vnx_DeviceHandle_s*>(
        client, nullptr,
        [&](vnx_DomainHandle_s& handle, vnx::DomainInterface& domain) -> vnx_DeviceHandle_s* {
            vnx::DeviceInterface* device = domain.createDevice(config);
            // The device-added callbacks may have removed it already.
            vnx_DeviceHandle_s* made = device != nullptr ? handle.lookup(device) : nullptr;
            return made != nullptr ? clientValue(made) : nullptr;
        });
}

int vnx_Domain_process(vnx_DomainHandle_s* client)
{
    return onDomain(client, kInvalid,
                    [](vnx_DomainHandle_s&, vnx::DomainInterface& domain) { return domain.process(); });
}

int vnx_Domain_getConfig(vnx_DomainHandle_s* client, vnx_StructConfig_s* config)
{
    return onDomain(client, kInvalid, [&](vnx_DomainHandle_s&, vnx::DomainInterface& domain) {
        return domain.getConfig(config);
    });
}

int vnx_Domain_setConfig(vnx_DomainHandle_s* client, const vnx_StructConfig_s* config)
{
    return onDomain(client, kInvalid, [&](vnx_DomainHandle_s&, vnx::DomainInterface& domain) {
        return domain.setConfig(config);
    });
}

int vnx_Domain_sendCommand(vnx_DomainHandle_s* client, const vnx_StructCommand_s* command)
{
    return onDomain(client, kInvalid, [&](vnx_DomainHandle_s&, vnx::DomainInterface& domain) {
        return domain.sendCommand(command);
    });
}

uint8_t vnx_Domain_getType(vnx_DomainHandle_s* client)
{
    return onDomain<uint8_t>(
        client, 0, [](vnx_DomainHandle_s&, vnx::DomainInterface& domain) { return domain.getType(); });
}

} // extern "C"
