#pragma once

// The two handles of the flat API. A domain handle is its domain's listener
// and owns a device handle for each device of the domain; a device handle is
// its device's listener. Both turn listener calls into the client's
// callbacks, passing their handle values (see HandleRegistry.h), never their
// addresses.

#include <cstddef>
#include <cstdint>

#include "deviceApi/deviceApi.h"
#include "deviceDomain/DeviceInterface.h"
#include "deviceDomain/DomainInterface.h"
#include "deviceTemplates/FanOutList.h"
#include "moduleFactory/HandleRegistry.h"

namespace vnx::api {

/// A client callback and its user data; one entry per equal pair.
template <class Function> struct Callback
{
    Function function;
    void* user;
    bool operator==(const Callback& other) const { return function == other.function && user == other.user; }
};

/// Moves (function, user) to the end of `list`; nothing for a null function.
template <class Function>
void registerCallback(FanOutList<Callback<Function>>& list, Function function, void* user)
{
    if (function != nullptr) {
        list.erase(Callback<Function>{function, user});
        list.add(Callback<Function>{function, user});
    }
}

/// Removes (function, user) from `list`.
template <class Function>
void unregisterCallback(FanOutList<Callback<Function>>& list, Function function, void* user)
{
    if (function != nullptr) {
        list.erase(Callback<Function>{function, user});
    }
}

/// Counts a running client call on a handle. A handle destroyed during one
/// is freed when the outermost call has returned.
struct CallState
{
    int depth = 0;
    bool destroyPending = false;
};

struct WatchedFileHandle
{
    int fd;
    short events;
};

} // namespace vnx::api

struct vnx_DeviceHandle_s : public vnx::DeviceListenerInterface
{
    vnx_DomainHandle_s* domainHandle = nullptr;
    vnx::DeviceInterface* device = nullptr; ///< null once the device has left
    vnx::HandleValue value = 0;
    vnx::api::CallState calls;
    vnx::FanOutList<vnx::api::Callback<vnx_DeviceStatusCallback_f>> statusCallbacks;
    vnx::FanOutList<vnx::api::Callback<vnx_ModuleReadyCallback_f>> moduleReadyCallbacks;
    vnx::FanOutList<vnx::api::Callback<vnx_MotionInputCallback_f>> motionInputCallbacks;
    vnx::FanOutList<vnx::api::Callback<vnx_MotionOutputCallback_f>> motionOutputCallbacks;

    void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override;
    void moduleReady(vnx::DeviceInterface* device) override;
    void motionInput(vnx::DeviceInterface* device, size_t n, const vnx_StructOutput_s** outputs,
                     const vnx_StructFormat_s** formats) override;
    void motionOutput(vnx::DeviceInterface* device, size_t n, const vnx_StructOutput_s** outputs,
                      const vnx_StructFormat_s** formats, int value) override;
};

struct vnx_DomainHandle_s : public vnx::DomainListenerInterface
{
    vnx::DomainInterface* domain = nullptr;
    vnx::HandleValue value = 0;
    vnx::api::CallState calls;
    /// The device handles, oldest first.
    vnx::FanOutList<vnx_DeviceHandle_s*> devices;
    /// The file handles the domain watches, as it reported them.
    vnx::FanOutList<vnx::api::WatchedFileHandle> fileHandles;
    vnx::FanOutList<vnx::api::Callback<vnx_DomainStatusCallback_f>> statusCallbacks;
    vnx::FanOutList<vnx::api::Callback<vnx_DeviceAddedCallback_f>> deviceAddedCallbacks;
    vnx::FanOutList<vnx::api::Callback<vnx_DeviceRemovedCallback_f>> deviceRemovedCallbacks;
    vnx::FanOutList<vnx::api::Callback<vnx_FileHandleAddedCallback_f>> fileHandleAddedCallbacks;
    vnx::FanOutList<vnx::api::Callback<vnx_FileHandleRemovedCallback_f>> fileHandleRemovedCallbacks;

    /// The device handle that wraps `device`; null when there is none.
    virtual vnx_DeviceHandle_s* lookup(vnx::DeviceInterface* device);

    void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override;
    void deviceAdded(vnx::DeviceInterface* device) override;
    void deviceRemoved(vnx::DeviceInterface* device) override;
    void fileHandleAdded(vnx::DomainInterface* domain, int fd, short events) override;
    void fileHandleRemoved(vnx::DomainInterface* domain, int fd) override;
};

namespace vnx::api {

HandleRegistry<vnx_DomainHandle_s>& domainHandles();
HandleRegistry<vnx_DeviceHandle_s>& deviceHandles();

/// A device handle for `device`, registered as its listener and live.
vnx_DeviceHandle_s* vnx_Device_handleCreate(vnx_DomainHandle_s* domainHandle, DeviceInterface* device);
/// Whether the handle wraps `device`.
bool vnx_Device_handleMatch(const vnx_DeviceHandle_s* handle, const DeviceInterface* device);
/// Unregisters the handle from its device and ends it: not live any more,
/// freed now or when its running call returns. Null: 0.
int vnx_Device_handleDestroy(vnx_DeviceHandle_s* handle);

/// Ends a counted call or fan-out on a device handle; frees a handle that
/// ended meanwhile once nothing runs on it.
void leaveDeviceHandle(vnx_DeviceHandle_s* handle) noexcept;

/// Unregisters the domain handle from its domain (device-removed callbacks
/// run), ends its device handles, destroys the domain and frees the handle;
/// the registry's answer. The handle has left the handle registry.
int destroyDomainHandle(vnx_DomainHandle_s* handle);

/// The client's value of a handle.
template <class Handle> Handle* clientValue(const Handle* handle)
{
    return opaqueHandle<Handle>(handle->value);
}

} // namespace vnx::api
