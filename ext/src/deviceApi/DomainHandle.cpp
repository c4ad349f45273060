#include <memory>

#include "common/statusCode.h"
#include "deviceApi/apiHandles.h"
#include "domainFactory/DomainFactory.h"

using vnx::api::clientValue;

vnx_DeviceHandle_s* vnx_DomainHandle_s::lookup(vnx::DeviceInterface* device)
{
    vnx_DeviceHandle_s* found = nullptr;
    devices.forEach([&](vnx_DeviceHandle_s* handle) {
        if (found == nullptr && vnx::api::vnx_Device_handleMatch(handle, device)) {
            found = handle;
        }
    });
    return found;
}

void vnx_DomainHandle_s::statusCallback(vnx::ModuleConfigInterface*, const vnx_StructStatus_s* status)
{
    statusCallbacks.forEach(
        [&](const auto& callback) { callback.function(clientValue(this), status, callback.user); });
}

void vnx_DomainHandle_s::deviceAdded(vnx::DeviceInterface* device)
{
    vnx_DeviceHandle_s* handle = vnx::api::vnx_Device_handleCreate(this, device);
    if (handle == nullptr) {
        return;
    }
    devices.add(handle);
    // A callback may remove the device again: the handle then ends but stays
    // readable until the fan-out is over, and later callbacks skip it.
    ++handle->calls.depth;
    deviceAddedCallbacks.forEach([&](const auto& callback) {
        if (devices.contains(handle)) {
            callback.function(clientValue(handle), callback.user);
        }
    });
    vnx::api::leaveDeviceHandle(handle);
}

void vnx_DomainHandle_s::deviceRemoved(vnx::DeviceInterface* device)
{
    vnx_DeviceHandle_s* handle = lookup(device);
    if (handle == nullptr) {
        return;
    }
    // The handle leaves the list first, so that a callback that removes the
    // device again finds nothing to do.
    devices.erase(handle);
    ++handle->calls.depth;
    deviceRemovedCallbacks.forEach(
        [&](const auto& callback) { callback.function(clientValue(handle), callback.user); });
    --handle->calls.depth;
    vnx::api::vnx_Device_handleDestroy(handle);
}

void vnx_DomainHandle_s::fileHandleAdded(vnx::DomainInterface*, int fd, short events)
{
    fileHandles.add(vnx::api::WatchedFileHandle{fd, events});
    fileHandleAddedCallbacks.forEach(
        [&](const auto& callback) { callback.function(fd, events, callback.user); });
}

void vnx_DomainHandle_s::fileHandleRemoved(vnx::DomainInterface*, int fd)
{
    fileHandles.eraseFirstIf([&](const vnx::api::WatchedFileHandle& handle) { return handle.fd == fd; });
    fileHandleRemovedCallbacks.forEach([&](const auto& callback) { callback.function(fd, callback.user); });
}

namespace vnx::api {

HandleRegistry<vnx_DomainHandle_s>& domainHandles()
{
    static HandleRegistry<vnx_DomainHandle_s> handles;
    return handles;
}

int destroyDomainHandle(vnx_DomainHandle_s* handle)
{
    std::unique_ptr<vnx_DomainHandle_s> owned(handle);
    DomainInterface* domain = owned->domain;
    // The domain tells the handle of every device leaving: the client's
    // device-removed callbacks run and the device handles end.
    domain->unregisterDomainListener(owned.get());
    for (vnx_DeviceHandle_s* device = owned->devices.front(nullptr); device != nullptr;
         device = owned->devices.front(nullptr)) {
        owned->devices.erase(device);
        vnx_Device_handleDestroy(device);
    }
    return DomainFactory::destroyDomain(domain);
}

} // namespace vnx::api
