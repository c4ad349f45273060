#include "moduleFactory/moduleApi.h"

#include "common/statusCode.h"
#include "moduleFactory/ModuleHandle.h"
#include "moduleFactory/flatApiGuard.h"
#include "moduleFactory/moduleInterface.h"

namespace {

// Runs `call` on the module of a live handle; -2 for a null handle or one
// that is not live (destroyed, or never made here), which is not read.
template <class Call> int onModule(vnx_ModuleHandle_s* clientHandle, Call&& call) noexcept
{
    vnx_ModuleHandle_s* handle = vnx::liveModuleHandle(clientHandle);
    if (handle == nullptr || handle->module == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    ++handle->callDepth;
    const int result = vnx::guardStatus([&] { return call(*handle->module); });
    // A callback may have destroyed the handle: the module goes now that its
    // call has returned.
    if (--handle->callDepth == 0 && handle->destroyPending) {
        vnx::guardStatus([&] {
            vnx::destroyModuleHandle(handle);
            return VNX_STATUS_SUCCESS;
        });
    }
    return result;
}

} // namespace

extern "C" {

int vnx_Module_setModuleListener(vnx_ModuleHandle_s* clientHandle, vnx_ModuleCallback_f callback,
                                 void* userData)
{
    vnx_ModuleHandle_s* handle = vnx::liveModuleHandle(clientHandle);
    if (handle == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    handle->callback = callback;
    handle->userData = userData;
    // The module's own answer is not passed on: the handle took the listener.
    onModule(clientHandle, [&](vnx::ModuleInterface& module) {
        return module.setModuleListener(callback != nullptr ? handle : nullptr);
    });
    return VNX_STATUS_SUCCESS;
}

uint8_t vnx_Module_getType(vnx_ModuleHandle_s* clientHandle)
{
    vnx_ModuleHandle_s* handle = vnx::liveModuleHandle(clientHandle);
    if (handle == nullptr || handle->module == nullptr) {
        return 0;
    }
    return vnx::guardValue(uint8_t{0}, [&] { return handle->module->getType(); });
}

int vnx_Module_getConfig(vnx_ModuleHandle_s* handle, vnx_StructConfig_s* config)
{
    return onModule(handle, [&](vnx::ModuleInterface& module) { return module.getConfig(config); });
}

int vnx_Module_setConfig(vnx_ModuleHandle_s* handle, const vnx_StructConfig_s* config)
{
    return onModule(handle, [&](vnx::ModuleInterface& module) { return module.setConfig(config); });
}

int vnx_Module_sendCommand(vnx_ModuleHandle_s* handle, const vnx_StructCommand_s* command)
{
    return onModule(handle, [&](vnx::ModuleInterface& module) { return module.sendCommand(command); });
}

int vnx_Module_init(vnx_ModuleHandle_s* handle, const vnx_scdData_s* scd, int* scdOffset,
                    const vnx_dcdData_s* dcd, int* dcdOffset)
{
    if (scdOffset == nullptr || dcdOffset == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    return onModule(
        handle, [&](vnx::ModuleInterface& module) { return module.init(scd, *scdOffset, dcd, *dcdOffset); });
}

int vnx_Module_term(vnx_ModuleHandle_s* handle)
{
    return onModule(handle, [&](vnx::ModuleInterface& module) { return module.term(); });
}

int vnx_Module_getDcd(vnx_ModuleHandle_s* handle, vnx_dcdData_s* dcd, int capacity, int* dcdOffset)
{
    if (dcdOffset == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    return onModule(handle,
                    [&](vnx::ModuleInterface& module) { return module.getDcd(dcd, capacity, *dcdOffset); });
}

int vnx_Module_getInputInterfaceCount(vnx_ModuleHandle_s* handle)
{
    return onModule(handle, [&](vnx::ModuleInterface& module) { return module.getInputInterfaceCount(); });
}

int vnx_Module_getInputInterface(vnx_ModuleHandle_s* handle, int index, size_t capacity, uint8_t* typeIds,
                                 size_t* count)
{
    if (count == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    return onModule(handle, [&](vnx::ModuleInterface& module) {
        return module.getInputInterface(index, capacity, typeIds, *count);
    });
}

int vnx_Module_getOutputInterfaceCount(vnx_ModuleHandle_s* handle)
{
    return onModule(handle, [&](vnx::ModuleInterface& module) { return module.getOutputInterfaceCount(); });
}

int vnx_Module_getOutputInterface(vnx_ModuleHandle_s* handle, int index, size_t capacity, uint8_t* typeIds,
                                  size_t* count)
{
    if (count == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    return onModule(handle, [&](vnx::ModuleInterface& module) {
        return module.getOutputInterface(index, capacity, typeIds, *count);
    });
}

int vnx_Module_process(vnx_ModuleHandle_s* handle, int inputInterface, size_t inputCount,
                       const vnx_StructOutput_s** inputs, const vnx_StructFormat_s** inputFormats,
                       int outputInterface, size_t outputCount, vnx_StructOutput_s** outputs,
                       vnx_StructFormat_s** outputFormats)
{
    return onModule(handle, [&](vnx::ModuleInterface& module) {
        return module.process(inputInterface, inputCount, inputs, inputFormats, outputInterface, outputCount,
                              outputs, outputFormats);
    });
}

} // extern "C"
