#include "tlinkPipeRecords/TlinkPipeDomainRecords.h"

#include <cstring>

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct TlinkPipeDomainRecords
{
    static constexpr uint8_t type = VNX_TYPE_TLINK_PIPE_DOMAIN;
    using Config = vnx::RecordKind<vnx_TlinkPipeDomain_Config_s, 32, 2>;
    using Command = vnx::RecordKind<vnx_TlinkPipeDomain_Command_s, 200, 2>;
    using Status = vnx::RecordKind<vnx_TlinkPipeDomain_Status_s, 32, 2>;
    using Format = vnx::RecordKind<vnx_TlinkPipeDomain_Format_s, 16, 2>;
    using Output = vnx::RecordKind<vnx_TlinkPipeDomain_Output_s, 16, 2>;

    static void setDefaults(vnx_TlinkPipeDomain_Command_s& command)
    {
        command.code = VNX_TLINK_PIPE_DOMAIN_COMMAND_NONE;
        std::memset(command.padding, 0, sizeof command.padding);
        vnx_TlinkPipeDevice_initConfig(&command.deviceConfig);
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(TlinkPipeDomain, TlinkPipeDomainRecords)
// No module of this type exists: the factory makes records only.
VNX_DEFINE_RECORD_ONLY_FACTORY(TlinkPipeDomain, TlinkPipeDomainRecords)
