#include "deviceDomain/ModuleManagerInterface.h"

// The module host family defines the factory of module hosts. Until a build
// has it, devices are made without a host (every operation that needs one
// answers -14) instead of the library failing to link; the host family's own
// definitions take the place of these weak ones.

namespace vnx {

__attribute__((weak)) ModuleManagerInterface* ModuleManagerFactory::create()
{
    return nullptr;
}

__attribute__((weak)) int ModuleManagerFactory::destroy(ModuleManagerInterface*)
{
    return 0;
}

} // namespace vnx
