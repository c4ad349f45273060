#include "support/fakeModuleManager.h"

namespace vnx {

ModuleManagerInterface* ModuleManagerFactory::create()
{
    testsupport::FakeModuleManager::last = new testsupport::FakeModuleManager();
    return testsupport::FakeModuleManager::last;
}

int ModuleManagerFactory::destroy(ModuleManagerInterface* manager)
{
    if (manager == testsupport::FakeModuleManager::last) {
        testsupport::FakeModuleManager::last = nullptr;
    }
    delete manager;
    return 0;
}

} // namespace vnx
