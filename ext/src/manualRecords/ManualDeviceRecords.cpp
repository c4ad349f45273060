#include "manualRecords/ManualDeviceRecords.h"

#include <cstring>

#include "common/statusCode.h"
#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct ManualDeviceRecords
{
    static constexpr uint8_t type = VNX_TYPE_MANUAL_DEVICE;
    using Config = vnx::RecordKind<vnx_ManualDevice_Config_s, 584, 1>;
    using Command = vnx::RecordKind<vnx_ManualDevice_Command_s, 40, 1>;
    using Status = vnx::RecordKind<vnx_ManualDevice_Status_s, 304, 1>;
    using Format = vnx::RecordKind<vnx_ManualDevice_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_ManualDevice_Output_s, 16, 1>;

    static void setDefaults(vnx_ManualDevice_Config_s& config)
    {
        // Everything after the common part is zero: no id, no SCD, no DCD.
        std::memset(reinterpret_cast<uint8_t*>(&config) + sizeof(vnx_StructConfig_s), 0,
                    sizeof config - sizeof(vnx_StructConfig_s));
    }
    static void setDefaults(vnx_ManualDevice_Command_s& command) { command.code = VNX_MANUAL_DEVICE_COMMAND_NONE; }
    static void setDefaults(vnx_ManualDevice_Status_s& status) { std::memset(status.data, 0, sizeof status.data); }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(ManualDevice, ManualDeviceRecords)
// No module of this type exists: the factory makes records only.
VNX_DEFINE_RECORD_ONLY_FACTORY(ManualDevice, ManualDeviceRecords)

extern "C" int vnx_ManualDevice_initFileHandle(vnx_ManualDevice_FileHandle_s* fileHandle)
{
    if (fileHandle == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    fileHandle->fd = 0;
    fileHandle->events = 0;
    return VNX_STATUS_SUCCESS;
}
