#include "tlinkPipeDomain/TlinkPipeCoordinator.h"

#include "common/record.h"
#include "common/statusCode.h"
#include "domainFactory/DomainFactoryFor.h"
#include "tlinkPipeRecords/TlinkPipeDomainRecords.h"

namespace vnx {

namespace {

class TlinkPipeDomain_DomainFactory
    : public DomainFactoryFor<TlinkPipeCoordinator, VNX_TYPE_TLINK_PIPE_DOMAIN>
{
  public:
    TlinkPipeDomain_DomainFactory() : DomainFactoryFor("TlinkPipeDomain") {}
};

TlinkPipeDomain_DomainFactory tlinkPipeDomainFactory;

} // namespace

int TlinkPipeCoordinator::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_SUCCESS;
}

int TlinkPipeCoordinator::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_SUCCESS;
}

int TlinkPipeCoordinator::sendCommand(const vnx_StructCommand_s* command)
{
    const vnx_TlinkPipeDomain_Command_s* own = vnx_TlinkPipeDomain_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    switch (own->code) {
    case VNX_TLINK_PIPE_DOMAIN_COMMAND_NONE:
        return VNX_STATUS_SUCCESS;
    case VNX_TLINK_PIPE_DOMAIN_COMMAND_CREATE_DEVICE:
        return addDevice(own->deviceConfig, nullptr);
    default:
        return VNX_STATUS_INVALID_PARAMETER;
    }
}

DeviceInterface* TlinkPipeCoordinator::createDevice(const vnx_StructConfig_s* config)
{
    const vnx_TlinkPipeDevice_Config_s* own = vnx_TlinkPipeDevice_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return nullptr;
    }
    DeviceInterface* device = nullptr;
    addDevice(*own, &device);
    return device;
}

int TlinkPipeCoordinator::addDevice(const vnx_TlinkPipeDevice_Config_s& config, DeviceInterface** device)
{
    return adoptDevice(new TlinkPipeDevice(this), &config.config, device);
}

int TlinkPipeCoordinator::deviceRemove(TlinkPipeDevice* device)
{
    return removeAndRelease(device);
}

} // namespace vnx

extern "C" int vnx_TlinkPipeDomain_domainFactoryRegister(void)
{
    return vnx::tlinkPipeDomainFactory.factoryRegister();
}

extern "C" int vnx_TlinkPipeDomain_domainFactoryUnregister(void)
{
    return vnx::tlinkPipeDomainFactory.factoryUnregister();
}
