#include "common/moduleType.h"
#include "deviceMotion/DeviceMotion.h"
#include "deviceMotion/DeviceMotionRecords.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct DeviceMotionRecords
{
    static constexpr uint8_t type = VNX_TYPE_DEVICE_MOTION;
    using Config = vnx::RecordKind<vnx_DeviceMotion_Config_s, 48, 1>;
    using Command = vnx::RecordKind<vnx_DeviceMotion_Command_s, 40, 1>;
    using Status = vnx::RecordKind<vnx_DeviceMotion_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_DeviceMotion_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_DeviceMotion_Output_s, 16, 1>;

    static void setDefaults(vnx_DeviceMotion_Config_s& config)
    {
        config.reserved[0] = 0;
        config.reserved[1] = 0;
    }
    static void setDefaults(vnx_DeviceMotion_Command_s& command) { command.code = 0; }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(DeviceMotion, DeviceMotionRecords)
VNX_DEFINE_MODULE_FACTORY(DeviceMotion, ::DeviceMotion, DeviceMotionRecords)
