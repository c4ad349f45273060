#include "deviceSupport/DeviceSupport6AG.h"

#include "common/moduleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct DeviceSupport6AGRecords
{
    static constexpr uint8_t type = VNX_TYPE_DEVICE_SUPPORT_6AG;
    using Config = vnx::RecordKind<vnx_DeviceSupport6AG_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_DeviceSupport6AG_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_DeviceSupport6AG_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_DeviceSupport6AG_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_DeviceSupport6AG_Output_s, 40, 1>;

    static void setDefaults(vnx_DeviceSupport6AG_Output_s& output)
    {
        output.sampleNumber = 0;
        output.temperature = 0;
        for (int axis = 0; axis < 3; ++axis) {
            output.accelerometer[axis] = 0;
            output.gyroscope[axis] = 0;
        }
        output.gyroscopeGlitch = 0;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(DeviceSupport6AG, DeviceSupport6AGRecords)
VNX_DEFINE_RECORD_ONLY_FACTORY(DeviceSupport6AG, DeviceSupport6AGRecords)
