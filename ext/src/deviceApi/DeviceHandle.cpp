#include <memory>

#include "common/statusCode.h"
#include "deviceApi/apiHandles.h"

using vnx::api::clientValue;

namespace {

// A fan-out counts as a call on the handle: a callback may end the handle
// (its device removed), which is then freed when the fan-out is over.
class FanOut
{
  public:
    explicit FanOut(vnx_DeviceHandle_s* handle) : handle_(handle) { ++handle_->calls.depth; }
    ~FanOut() { vnx::api::leaveDeviceHandle(handle_); }
    FanOut(const FanOut&) = delete;
    FanOut& operator=(const FanOut&) = delete;

  private:
    vnx_DeviceHandle_s* handle_;
};

} // namespace

void vnx_DeviceHandle_s::statusCallback(vnx::ModuleConfigInterface*, const vnx_StructStatus_s* status)
{
    const FanOut fanOut(this);
    statusCallbacks.forEach(
        [&](const auto& callback) { callback.function(clientValue(this), status, callback.user); });
}

void vnx_DeviceHandle_s::moduleReady(vnx::DeviceInterface*)
{
    const FanOut fanOut(this);
    moduleReadyCallbacks.forEach(
        [&](const auto& callback) { callback.function(clientValue(this), callback.user); });
}

void vnx_DeviceHandle_s::motionInput(vnx::DeviceInterface*, size_t n, const vnx_StructOutput_s** outputs,
                                     const vnx_StructFormat_s** formats)
{
    const FanOut fanOut(this);
    motionInputCallbacks.forEach([&](const auto& callback) {
        callback.function(clientValue(this), n, outputs, formats, callback.user);
    });
}

void vnx_DeviceHandle_s::motionOutput(vnx::DeviceInterface*, size_t n, const vnx_StructOutput_s** outputs,
                                      const vnx_StructFormat_s** formats, int value)
{
    const FanOut fanOut(this);
    motionOutputCallbacks.forEach([&](const auto& callback) {
        callback.function(clientValue(this), n, outputs, formats, value, callback.user);
    });
}

namespace vnx::api {

void leaveDeviceHandle(vnx_DeviceHandle_s* handle) noexcept
{
    if (--handle->calls.depth == 0 && handle->calls.destroyPending) {
        delete handle;
    }
}

HandleRegistry<vnx_DeviceHandle_s>& deviceHandles()
{
    static HandleRegistry<vnx_DeviceHandle_s> handles;
    return handles;
}

vnx_DeviceHandle_s* vnx_Device_handleCreate(vnx_DomainHandle_s* domainHandle, DeviceInterface* device)
{
    auto handle = std::make_unique<vnx_DeviceHandle_s>();
    handle->domainHandle = domainHandle;
    handle->device = device;
    handle->value = deviceHandles().add(handle.get());
    if (handle->value == 0) {
        return nullptr;
    }
    device->registerDeviceListener(handle.get());
    return handle.release();
}

bool vnx_Device_handleMatch(const vnx_DeviceHandle_s* handle, const DeviceInterface* device)
{
    return handle != nullptr && handle->device == device;
}

int vnx_Device_handleDestroy(vnx_DeviceHandle_s* handle)
{
    if (handle == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    if (handle->device != nullptr) {
        handle->device->unregisterDeviceListener(handle);
        handle->device = nullptr;
    }
    deviceHandles().remove(handle->value);
    // Nothing reaches the client through a handle that has ended.
    handle->statusCallbacks.clear();
    handle->moduleReadyCallbacks.clear();
    handle->motionInputCallbacks.clear();
    handle->motionOutputCallbacks.clear();
    if (handle->calls.depth > 0) {
        handle->calls.destroyPending = true;
    } else {
        delete handle;
    }
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::api
