#include "bundleEntry/bundleEntry.h"

#include "common/coreLock.h"
#include "extendedBundle/ExtendedBundleRecords.h"
#include "gestureBundle/GestureBundleRecords.h"
#include "standardBundle/StandardBundleRecords.h"

namespace {

// Each step catches its own failures; this keeps anything else inside the
// library as well.
template <class Body> int guarded(Body&& body) noexcept
{
    try {
        body();
    } catch (...) {
    }
    return 1;
}

} // namespace

extern "C" int vnx_bundle_initialize(void)
{
    vnx::CoreLock lock;
    return guarded([] {
        vnx_bundle_registerStrings();
        vnx_StandardBundle_moduleFactoryRegister();
        vnx_ExtendedBundle_moduleFactoryRegister();
        vnx_GestureBundle_moduleFactoryRegister();
    });
}

extern "C" int vnx_bundle_finalize(void)
{
    vnx::CoreLock lock;
    return guarded([] {
        vnx_bundle_unregisterStrings();
        vnx_StandardBundle_moduleFactoryUnregister();
        vnx_ExtendedBundle_moduleFactoryUnregister();
        vnx_GestureBundle_moduleFactoryUnregister();
    });
}
