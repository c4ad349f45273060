#include "moduleFactory/moduleApi.h"

#include <memory>

#include "common/statusCode.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/ModuleHandle.h"
#include "moduleFactory/flatApiGuard.h"
#include "moduleFactory/moduleInterface.h"

namespace {

using vnx::ModuleFactory;

// A handle for a module that was just created; the module is destroyed again
// when no handle can be made, so that nothing is left without an owner.
vnx_ModuleHandle_s* wrap(vnx::ModuleInterface* module)
{
    if (module == nullptr) {
        return nullptr;
    }
    std::unique_ptr<vnx_ModuleHandle_s> handle;
    try {
        handle = std::make_unique<vnx_ModuleHandle_s>();
        handle->module = module;
        handle->value = vnx::moduleHandles().add(handle.get());
    } catch (...) {
        handle.reset();
    }
    if (handle == nullptr || handle->value == 0) {
        ModuleFactory::destroyModule(module);
        return nullptr;
    }
    return vnx::opaqueHandle<vnx_ModuleHandle_s>(handle.release()->value);
}

template <class Call> auto guardPointer(Call&& call) noexcept
{
    return vnx::guardValue(static_cast<decltype(call())>(nullptr), call);
}

} // namespace

extern "C" {

vnx_ModuleHandle_s* vnx_ModuleFactory_createModule(uint8_t type)
{
    return guardPointer([&] { return wrap(ModuleFactory::createModule(type)); });
}

vnx_ModuleHandle_s* vnx_ModuleFactory_createModuleWithParent(vnx_ModuleHandle_s* parent, uint8_t type)
{
    if (parent == nullptr) {
        return vnx_ModuleFactory_createModule(type);
    }
    return guardPointer([&]() -> vnx_ModuleHandle_s* {
        vnx_ModuleHandle_s* parentHandle = vnx::liveModuleHandle(parent);
        if (parentHandle == nullptr) {
            return nullptr;
        }
        vnx::ModuleConfigInterface* parentNode = parentHandle->module;
        return wrap(ModuleFactory::createModule(parentNode, type));
    });
}

int vnx_ModuleFactory_destroyModule(vnx_ModuleHandle_s* handle)
{
    if (handle == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    return vnx::guardStatus([&] {
        // The handle leaves the registry before its module goes, so that no
        // call through it can reach the module any more; a handle destroyed
        // twice is not found and nothing is touched.
        vnx_ModuleHandle_s* live = vnx::moduleHandles().remove(vnx::handleValueOf(handle));
        if (live == nullptr) {
            return VNX_STATUS_INTERNAL_ERROR;
        }
        if (live->callDepth > 0) {
            // Destroyed from the module's own callback: the module is still
            // inside a call and goes when that call has returned.
            live->callback = nullptr;
            live->destroyPending = true;
            return VNX_STATUS_SUCCESS;
        }
        vnx::destroyModuleHandle(live);
        return VNX_STATUS_SUCCESS;
    });
}

#define VNX_FLAT_RECORD_FUNCTIONS(Kind)                                                                      \
    vnx_Struct##Kind##_s* vnx_ModuleFactory_create##Kind(uint8_t type)                                       \
    {                                                                                                        \
        return guardPointer([&] { return ModuleFactory::create##Kind(type); });                              \
    }                                                                                                        \
    int vnx_ModuleFactory_destroy##Kind(vnx_Struct##Kind##_s* record)                                        \
    {                                                                                                        \
        return vnx::guardStatus([&] { return ModuleFactory::destroy##Kind(record); });                       \
    }

VNX_FLAT_RECORD_FUNCTIONS(Config)
VNX_FLAT_RECORD_FUNCTIONS(Command)
VNX_FLAT_RECORD_FUNCTIONS(Status)
VNX_FLAT_RECORD_FUNCTIONS(Format)
VNX_FLAT_RECORD_FUNCTIONS(Output)

#undef VNX_FLAT_RECORD_FUNCTIONS

int vnx_ModuleFactory_destroyStruct(vnx_Struct_s* record)
{
    return vnx::guardStatus([&] { return ModuleFactory::destroyStruct(record); });
}

const char* vnx_ModuleFactory_typeIdToString(uint8_t type)
{
    return vnx::guardValue("Undefined", [&] { return ModuleFactory::typeIdToString(type); });
}

} // extern "C"
