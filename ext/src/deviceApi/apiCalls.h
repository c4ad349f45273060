#pragma once

// How every exported call reaches its domain or device: the handle value is
// looked up first (null or not live: nothing is touched), the call is counted
// on the handle and on its domain handle, and a handle ended during the call
// is freed once the outermost call has returned. No exception leaves.

#include "common/statusCode.h"
#include "deviceApi/apiHandles.h"
#include "moduleFactory/flatApiGuard.h"

namespace vnx::api {

/// Ends a counted call on a domain handle.
void leaveDomainCall(vnx_DomainHandle_s* handle) noexcept;
/// Ends a counted call on a device handle and on its domain handle.
void leaveDeviceCall(vnx_DeviceHandle_s* handle) noexcept;

inline vnx_DomainHandle_s* liveDomain(const vnx_DomainHandle_s* client) noexcept
{
    return domainHandles().find(handleValueOf(client));
}

inline vnx_DeviceHandle_s* liveDevice(const vnx_DeviceHandle_s* client) noexcept
{
    vnx_DeviceHandle_s* handle = deviceHandles().find(handleValueOf(client));
    return handle != nullptr && handle->device != nullptr ? handle : nullptr;
}

/// `call(handle, domain)` on a live domain handle; `failure` otherwise or
/// when the call throws.
template <class Result, class Call>
Result onDomain(vnx_DomainHandle_s* client, Result failure, Call&& call) noexcept
{
    vnx_DomainHandle_s* handle = liveDomain(client);
    if (handle == nullptr) {
        return failure;
    }
    ++handle->calls.depth;
    const Result result = guardValue(failure, [&] { return call(*handle, *handle->domain); });
    leaveDomainCall(handle);
    return result;
}

/// `call(handle, device)` on a live device handle; `failure` otherwise or
/// when the call throws.
template <class Result, class Call>
Result onDevice(vnx_DeviceHandle_s* client, Result failure, Call&& call) noexcept
{
    vnx_DeviceHandle_s* handle = liveDevice(client);
    if (handle == nullptr) {
        return failure;
    }
    ++handle->calls.depth;
    ++handle->domainHandle->calls.depth;
    const Result result = guardValue(failure, [&] { return call(*handle, *handle->device); });
    leaveDeviceCall(handle);
    return result;
}

} // namespace vnx::api
