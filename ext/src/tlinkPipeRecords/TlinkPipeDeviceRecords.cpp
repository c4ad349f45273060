#include "tlinkPipeRecords/TlinkPipeDeviceRecords.h"

#include <cstring>

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct TlinkPipeDeviceRecords
{
    static constexpr uint8_t type = VNX_TYPE_TLINK_PIPE_DEVICE;
    using Config = vnx::RecordKind<vnx_TlinkPipeDevice_Config_s, 160, 2>;
    using Command = vnx::RecordKind<vnx_TlinkPipeDevice_Command_s, 40, 2>;
    using Status = vnx::RecordKind<vnx_TlinkPipeDevice_Status_s, 32, 2>;
    using Format = vnx::RecordKind<vnx_TlinkPipeDevice_Format_s, 16, 2>;
    using Output = vnx::RecordKind<vnx_TlinkPipeDevice_Output_s, 16, 2>;

    static void setDefaults(vnx_TlinkPipeDevice_Config_s& config)
    {
        std::memset(config.inPipe, 0, sizeof config.inPipe);
        std::memset(config.outPipe, 0, sizeof config.outPipe);
        std::memset(config.passThroughPipe, 0, sizeof config.passThroughPipe);
        std::memset(config.reserved, 0, sizeof config.reserved);
    }
    static void setDefaults(vnx_TlinkPipeDevice_Command_s& command)
    {
        command.code = 0;
        std::memset(command.padding, 0, sizeof command.padding);
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(TlinkPipeDevice, TlinkPipeDeviceRecords)
// No module of this type exists: the factory makes records only.
VNX_DEFINE_RECORD_ONLY_FACTORY(TlinkPipeDevice, TlinkPipeDeviceRecords)
