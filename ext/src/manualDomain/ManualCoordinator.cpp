#include "manualDomain/ManualCoordinator.h"

#include "common/record.h"
#include "common/statusCode.h"
#include "domainFactory/DomainFactoryFor.h"
#include "manualRecords/ManualDomainRecords.h"

namespace vnx {

namespace {

class ManualDomain_DomainFactory : public DomainFactoryFor<ManualCoordinator, VNX_TYPE_MANUAL_DOMAIN>
{
  public:
    ManualDomain_DomainFactory() : DomainFactoryFor("ManualDomain") {}
};

ManualDomain_DomainFactory manualDomainFactory;

} // namespace

int ManualCoordinator::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_SUCCESS;
}

int ManualCoordinator::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_SUCCESS;
}

int ManualCoordinator::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr || !vnx_Struct_isA(&command->header, VNX_TYPE_MANUAL_DOMAIN, VNX_KIND_COMMAND)) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    // The payload is read by the record's layout: a shorter record is refused.
    const vnx_ManualDomain_Command_s* own = vnx_ManualDomain_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    switch (own->code) {
    case VNX_MANUAL_DOMAIN_COMMAND_NONE:
        return VNX_STATUS_SUCCESS;
    case VNX_MANUAL_DOMAIN_COMMAND_CREATE_DEVICE:
        return addDevice(own->payload.deviceConfig, nullptr);
    case VNX_MANUAL_DOMAIN_COMMAND_ADD_FILE_HANDLE:
        return addFileHandle(own->payload.fileHandle.fd, own->payload.fileHandle.events)
                   ? VNX_STATUS_SUCCESS
                   : VNX_STATUS_INTERNAL_ERROR;
    case VNX_MANUAL_DOMAIN_COMMAND_REMOVE_FILE_HANDLE:
        return removeFileHandle(own->payload.fileHandle.fd) ? VNX_STATUS_SUCCESS : VNX_STATUS_INTERNAL_ERROR;
    default:
        return VNX_STATUS_INVALID_PARAMETER;
    }
}

DeviceInterface* ManualCoordinator::createDevice(const vnx_StructConfig_s* config)
{
    const vnx_ManualDevice_Config_s* own = vnx_ManualDevice_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return nullptr;
    }
    DeviceInterface* device = nullptr;
    addDevice(*own, &device);
    return device;
}

int ManualCoordinator::addDevice(const vnx_ManualDevice_Config_s& config, DeviceInterface** device)
{
    return adoptDevice(new ManualDevice(this), &config.config, device);
}

int ManualCoordinator::deviceRemove(ManualDevice* device)
{
    return removeAndRelease(device);
}

} // namespace vnx

extern "C" int vnx_ManualDomain_domainFactoryRegister(void)
{
    return vnx::manualDomainFactory.factoryRegister();
}

extern "C" int vnx_ManualDomain_domainFactoryUnregister(void)
{
    return vnx::manualDomainFactory.factoryUnregister();
}
