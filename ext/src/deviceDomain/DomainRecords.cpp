#include "deviceDomain/DomainRecords.h"

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct DomainRecords
{
    static constexpr uint8_t type = VNX_TYPE_DOMAIN;
    using Config = vnx::RecordKind<vnx_Domain_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_Domain_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_Domain_Status_s, 56, 1>;
    using Format = vnx::RecordKind<vnx_Domain_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_Domain_Output_s, 16, 1>;

    static void setDefaults(vnx_Domain_Status_s& status)
    {
        status.statusKind = 0;
        vnx_Domain_initdeviceStatus(&status.subject.device);
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(Domain, DomainRecords)
// No module of this type exists: the factory makes records only.
VNX_DEFINE_RECORD_ONLY_FACTORY(Domain, DomainRecords)

extern "C" int vnx_Domain_initdeviceStatus(vnx_Domain_deviceStatus_s* deviceStatus)
{
    if (deviceStatus == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    deviceStatus->device = nullptr;
    deviceStatus->deviceType = 0;
    return VNX_STATUS_SUCCESS;
}
