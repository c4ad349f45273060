#include "deviceDomain/ModuleManagerInterface.h"

// This program's factory of module hosts makes none, as when a host cannot be
// allocated: the devices of these tests run without one.

namespace vnx {

ModuleManagerInterface* ModuleManagerFactory::create()
{
    return nullptr;
}

int ModuleManagerFactory::destroy(ModuleManagerInterface*)
{
    return 0;
}

} // namespace vnx
