#include "tlinkRecords/TlinkDeviceRecords.h"

#include <cstring>

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct TlinkDeviceRecords
{
    static constexpr uint8_t type = VNX_TYPE_TLINK_DEVICE;
    using Config = vnx::RecordKind<vnx_TlinkDevice_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_TlinkDevice_Command_s, 56, 1>;
    using Status = vnx::RecordKind<vnx_TlinkDevice_Status_s, 168, 1>;
    using Format = vnx::RecordKind<vnx_TlinkDevice_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_TlinkDevice_Output_s, 16, 1>;

    static void setDefaults(vnx_TlinkDevice_Command_s& command)
    {
        command.code = 0;
        vnx_TlinkDevice_initLEDConfigPattern(&command.argument.pattern);
    }
    static void setDefaults(vnx_TlinkDevice_Status_s& status)
    {
        // Bytes 20-23 too: the whole record past the result is defined.
        std::memset(status.status.padding, 0, sizeof status.status.padding);
        status.type = VNX_TLINK_DEVICE_STATUS_DEVICE;
        vnx_TlinkDevice_initInfo(&status.info);
        std::memset(status.reserved, 0, sizeof status.reserved);
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(TlinkDevice, TlinkDeviceRecords)
// No module of this type exists: the factory makes records only.
VNX_DEFINE_RECORD_ONLY_FACTORY(TlinkDevice, TlinkDeviceRecords)

extern "C" int vnx_TlinkDevice_initLEDConfigPattern(vnx_TlinkDevice_LEDConfigPattern_s* pattern)
{
    if (pattern == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    for (uint32_t& time : pattern->time) {
        time = 0;
    }
    pattern->pattern[0] = 0;
    pattern->pattern[1] = 3;
    // The third pattern byte goes to the device too: never leave it unset.
    pattern->pattern[2] = 0;
    return VNX_STATUS_SUCCESS;
}

extern "C" int vnx_TlinkDevice_initInfo(vnx_TlinkDevice_Info_s* info)
{
    if (info == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memset(info, 0, sizeof *info);
    return VNX_STATUS_SUCCESS;
}
