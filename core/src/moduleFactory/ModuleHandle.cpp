#include "moduleFactory/ModuleHandle.h"

void vnx_ModuleHandle_s::statusCallback(vnx::ModuleConfigInterface*, const vnx_StructStatus_s* status)
{
    if (callback != nullptr) {
        callback(this, status, userData);
    }
}

namespace vnx {

StaticMemoryManager<vnx_ModuleHandle_s>& moduleHandles()
{
    // Built on first use, so that a client's own static initialisers may
    // already create modules.
    static StaticMemoryManager<vnx_ModuleHandle_s> handles;
    return handles;
}

} // namespace vnx
