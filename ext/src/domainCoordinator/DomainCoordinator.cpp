#include "domainCoordinator/DomainCoordinator.h"

#include "common/statusCode.h"
#include "domainFactory/DomainFactoryFor.h"

namespace vnx {

namespace {

class Domain_DomainFactory : public DomainFactoryFor<DomainCoordinator, VNX_TYPE_DOMAIN>
{
  public:
    Domain_DomainFactory() : DomainFactoryFor("Domain") {}
};

Domain_DomainFactory domainFactory;

} // namespace

int Device::getGuid(vnx_DomainGuid_s*) const
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int Device::getName(int, char*) const
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int DomainCoordinator::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int DomainCoordinator::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int DomainCoordinator::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

DeviceInterface* DomainCoordinator::createDevice(const vnx_StructConfig_s*)
{
    return nullptr;
}

} // namespace vnx

extern "C" int vnx_Domain_domainFactoryRegister(void)
{
    return vnx::domainFactory.factoryRegister();
}

extern "C" int vnx_Domain_domainFactoryUnregister(void)
{
    return vnx::domainFactory.factoryUnregister();
}
