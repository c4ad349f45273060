#pragma once

#include "moduleFactory/HandleRegistry.h"
#include "moduleFactory/moduleApi.h"
#include "moduleFactory/moduleListenerInterface.h"

namespace vnx {
class ModuleInterface;
}

/// The flat API's module handle: the module it drives (owned by the module's
/// factory pool, destroyed through the handle) and the client's status
/// callback, to which it adapts the module's listener interface. Clients hold
/// its handle value (see HandleRegistry.h), never its address.
struct vnx_ModuleHandle_s : public vnx::ModuleListenerInterface
{
    vnx::ModuleInterface* module = nullptr;
    vnx_ModuleCallback_f callback = nullptr;
    void* userData = nullptr;
    /// The value the client holds for this handle.
    vnx::HandleValue value = 0;
    /// How many calls through this handle are running (a callback may call
    /// in again), and whether the client destroyed the handle during one:
    /// the module then goes when the outermost call has returned.
    int callDepth = 0;
    bool destroyPending = false;

    /// Passes the status on with the client's handle value and the user data;
    /// the reporting module is not passed on. Nothing happens without a
    /// callback.
    void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override;
};

namespace vnx {

/// Every live module handle of the flat API.
HandleRegistry<vnx_ModuleHandle_s>& moduleHandles();

/// Clears the module's listener, destroys the module and frees the handle
/// (already removed from the registry).
void destroyModuleHandle(vnx_ModuleHandle_s* handle);

/// The handle behind a client's handle value; null when it is not live.
inline vnx_ModuleHandle_s* liveModuleHandle(const vnx_ModuleHandle_s* clientHandle) noexcept
{
    return moduleHandles().find(handleValueOf(clientHandle));
}

} // namespace vnx
