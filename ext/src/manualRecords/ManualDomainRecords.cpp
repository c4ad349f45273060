#include "manualRecords/ManualDomainRecords.h"

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct ManualDomainRecords
{
    static constexpr uint8_t type = VNX_TYPE_MANUAL_DOMAIN;
    using Config = vnx::RecordKind<vnx_ManualDomain_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_ManualDomain_Command_s, 624, 1>;
    using Status = vnx::RecordKind<vnx_ManualDomain_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_ManualDomain_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_ManualDomain_Output_s, 16, 1>;

    static void setDefaults(vnx_ManualDomain_Command_s& command)
    {
        command.code = VNX_MANUAL_DOMAIN_COMMAND_NONE;
        vnx_ManualDevice_initConfig(&command.payload.deviceConfig);
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(ManualDomain, ManualDomainRecords)
// No module of this type exists: the factory makes records only.
VNX_DEFINE_RECORD_ONLY_FACTORY(ManualDomain, ManualDomainRecords)
