#include "moduleFactory/ModuleHandle.h"

#include <memory>

#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"

void vnx_ModuleHandle_s::statusCallback(vnx::ModuleConfigInterface*, const vnx_StructStatus_s* status)
{
    if (callback != nullptr) {
        callback(vnx::opaqueHandle<vnx_ModuleHandle_s>(value), status, userData);
    }
}

namespace vnx {

void destroyModuleHandle(vnx_ModuleHandle_s* handle)
{
    std::unique_ptr<vnx_ModuleHandle_s> owned(handle);
    if (owned->module != nullptr) {
        owned->module->setModuleListener(nullptr);
        ModuleFactory::destroyModule(owned->module);
    }
}

HandleRegistry<vnx_ModuleHandle_s>& moduleHandles()
{
    // Built on first use, so that a client's own static initialisers may
    // already create modules.
    static HandleRegistry<vnx_ModuleHandle_s> handles;
    return handles;
}

} // namespace vnx
