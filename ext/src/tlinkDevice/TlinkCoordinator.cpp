#include "tlinkDevice/TlinkCoordinator.h"

#include "common/record.h"
#include "common/statusCode.h"
#include "domainFactory/DomainFactoryFor.h"
#include "tlinkRecords/TlinkDomainRecords.h"

namespace vnx {

namespace {

class TlinkDomain_DomainFactory : public DomainFactoryFor<TlinkCoordinator, VNX_TYPE_TLINK_DOMAIN>
{
  public:
    TlinkDomain_DomainFactory() : DomainFactoryFor("TlinkDomain") {}
};

TlinkDomain_DomainFactory tlinkDomainFactory;

} // namespace

int TlinkCoordinator::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_SUCCESS;
}

int TlinkCoordinator::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_SUCCESS;
}

int TlinkCoordinator::sendCommand(const vnx_StructCommand_s* command)
{
    const vnx_TlinkDomain_Command_s* own = vnx_TlinkDomain_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    switch (own->code) {
    case VNX_TLINK_DOMAIN_COMMAND_NONE:
        return VNX_STATUS_SUCCESS;
    case VNX_TLINK_DOMAIN_COMMAND_CREATE_DEVICE:
        return addDevice(own->deviceConfig, nullptr);
    default:
        return VNX_STATUS_INVALID_PARAMETER;
    }
}

DeviceInterface* TlinkCoordinator::createDevice(const vnx_StructConfig_s* config)
{
    const vnx_TlinkDevice_Config_s* own = vnx_TlinkDevice_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return nullptr;
    }
    DeviceInterface* device = nullptr;
    addDevice(*own, &device);
    return device;
}

int TlinkCoordinator::addDevice(const vnx_TlinkDevice_Config_s& config, DeviceInterface** device)
{
    return adoptDevice(new TlinkDevice(this), &config, device);
}

int TlinkCoordinator::deviceRemove(TlinkDevice* device)
{
    return removeAndRelease(device);
}

} // namespace vnx

extern "C" int vnx_TlinkDomain_domainFactoryRegister(void)
{
    return vnx::tlinkDomainFactory.factoryRegister();
}

extern "C" int vnx_TlinkDomain_domainFactoryUnregister(void)
{
    return vnx::tlinkDomainFactory.factoryUnregister();
}
