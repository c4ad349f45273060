#include <new>

#include "deviceDomain/ModuleManagerInterface.h"
#include "moduleManager/ModuleManager.h"

// On its own in this file: a test program that brings a stand-in host of its
// own defines these two, and then this object is not linked in.

namespace vnx {

ModuleManagerInterface* ModuleManagerFactory::create()
{
    // No exception leaves the library: a host that cannot be made is none.
    try {
        return new ModuleManager();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int ModuleManagerFactory::destroy(ModuleManagerInterface* manager)
{
    delete manager;
    return 0;
}

} // namespace vnx
