#include "extEntry/extEntry.h"

#include "buttonMapper/ButtonMapperRecords.h"
#include "cursorMover/CursorMoverRecords.h"
#include "domainCoordinator/DomainCoordinator.h"
#include "extCommon/extStrings.h"
#include "extendedPipeBundle/ExtendedPipeBundleRecords.h"
#include "loggerModule/LoggerRecords.h"
#include "manualDomain/ManualCoordinator.h"
#include "motionPipe/MotionPipeRecords.h"
#include "moduleFactory/flatApiGuard.h"
#include "serialization/SerializationRecords.h"
#include "standardMoverBundle/StandardMoverBundleRecords.h"
#include "tlinkDevice/TlinkCoordinator.h"
#include "tlinkPipeDomain/TlinkPipeCoordinator.h"

namespace {

// In the order the library registers them; finalisation keeps the order too.
using Registration = int (*)(void);

constexpr Registration kModuleFactories[][2] = {
    {vnx_Logger_moduleFactoryRegister, vnx_Logger_moduleFactoryUnregister},
    {vnx_ButtonMapper_moduleFactoryRegister, vnx_ButtonMapper_moduleFactoryUnregister},
    {vnx_CursorMover_moduleFactoryRegister, vnx_CursorMover_moduleFactoryUnregister},
    {vnx_ExtendedPipeBundle_moduleFactoryRegister, vnx_ExtendedPipeBundle_moduleFactoryUnregister},
    {vnx_MotionPipe_moduleFactoryRegister, vnx_MotionPipe_moduleFactoryUnregister},
    {vnx_SerializationModule_moduleFactoryRegister, vnx_SerializationModule_moduleFactoryUnregister},
    {vnx_StandardMoverBundle_moduleFactoryRegister, vnx_StandardMoverBundle_moduleFactoryUnregister},
};

constexpr Registration kDomainFactories[][2] = {
    {vnx_Domain_domainFactoryRegister, vnx_Domain_domainFactoryUnregister},
    {vnx_ManualDomain_domainFactoryRegister, vnx_ManualDomain_domainFactoryUnregister},
    {vnx_TlinkDomain_domainFactoryRegister, vnx_TlinkDomain_domainFactoryUnregister},
    {vnx_TlinkPipeDomain_domainFactoryRegister, vnx_TlinkPipeDomain_domainFactoryUnregister},
};

} // namespace

extern "C" int vnx_ext_initialize(void)
{
    // The answers of single registrations are not used: a failure leaves its
    // type unavailable.
    vnx::guardStatus([] {
        vnx_ext_registerStrings();
        for (const auto& factory : kModuleFactories) {
            factory[0]();
        }
        for (const auto& factory : kDomainFactories) {
            factory[0]();
        }
        return 0;
    });
    return 1;
}

extern "C" int vnx_ext_finalize(void)
{
    vnx::guardStatus([] {
        vnx_ext_unregisterStrings();
        for (const auto& factory : kDomainFactories) {
            factory[1]();
        }
        for (const auto& factory : kModuleFactories) {
            factory[1]();
        }
        return 0;
    });
    return 1;
}

extern "C" int vnx_ext_platform_initialize(void)
{
    return 1;
}

extern "C" int vnx_ext_platform_finalize(void)
{
    return 1;
}
