#include "tlinkRecords/TlinkDomainRecords.h"

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct TlinkDomainRecords
{
    static constexpr uint8_t type = VNX_TYPE_TLINK_DOMAIN;
    using Config = vnx::RecordKind<vnx_TlinkDomain_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_TlinkDomain_Command_s, 72, 1>;
    using Status = vnx::RecordKind<vnx_TlinkDomain_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_TlinkDomain_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_TlinkDomain_Output_s, 16, 1>;

    static void setDefaults(vnx_TlinkDomain_Command_s& command)
    {
        command.code = VNX_TLINK_DOMAIN_COMMAND_NONE;
        vnx_TlinkDevice_initConfig(&command.deviceConfig);
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(TlinkDomain, TlinkDomainRecords)
// No module of this type exists: the factory makes records only.
VNX_DEFINE_RECORD_ONLY_FACTORY(TlinkDomain, TlinkDomainRecords)
