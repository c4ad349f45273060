#include "deviceSupport/DeviceSupport9AGM.h"

#include "common/moduleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct DeviceSupport9AGMRecords
{
    static constexpr uint8_t type = VNX_TYPE_DEVICE_SUPPORT_9AGM;
    using Config = vnx::RecordKind<vnx_DeviceSupport9AGM_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_DeviceSupport9AGM_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_DeviceSupport9AGM_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_DeviceSupport9AGM_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_DeviceSupport9AGM_Output_s, 48, 1>;

    static void setDefaults(vnx_DeviceSupport9AGM_Output_s& output)
    {
        output.sampleNumber = 0;
        output.temperature = 0;
        output.reserved = 0;
        for (int axis = 0; axis < 3; ++axis) {
            output.accelerometer[axis] = 0;
            output.gyroscope[axis] = 0;
            output.magnetometer[axis] = 0;
        }
        output.gyroscopeGlitch = 0;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(DeviceSupport9AGM, DeviceSupport9AGMRecords)
VNX_DEFINE_RECORD_ONLY_FACTORY(DeviceSupport9AGM, DeviceSupport9AGMRecords)
