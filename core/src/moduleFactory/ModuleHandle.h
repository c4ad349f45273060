#pragma once

#include "moduleFactory/StaticMemoryManager.h"
#include "moduleFactory/moduleApi.h"
#include "moduleFactory/moduleListenerInterface.h"

namespace vnx {
class ModuleInterface;
}

/// The flat API's module handle: the module it drives (owned by the module's
/// factory pool, destroyed through the handle) and the client's status
/// callback, to which it adapts the module's listener interface.
struct vnx_ModuleHandle_s : public vnx::ModuleListenerInterface
{
    vnx::ModuleInterface* module = nullptr;
    vnx_ModuleCallback_f callback = nullptr;
    void* userData = nullptr;

    /// Passes the status on with this handle and the user data; the reporting
    /// module is not passed on. Nothing happens without a callback.
    void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override;
};

namespace vnx {

/// Every live handle; a pointer this pool does not hold is not a handle.
StaticMemoryManager<vnx_ModuleHandle_s>& moduleHandles();

} // namespace vnx
