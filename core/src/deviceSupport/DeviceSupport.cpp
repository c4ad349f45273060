#include "deviceSupport/DeviceSupport.h"

#include "common/moduleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct DeviceSupportRecords
{
    static constexpr uint8_t type = VNX_TYPE_DEVICE_SUPPORT;
    using Config = vnx::RecordKind<vnx_DeviceSupport_Config_s, 32, 2>;
    using Command = vnx::RecordKind<vnx_DeviceSupport_Command_s, 32, 2>;
    using Status = vnx::RecordKind<vnx_DeviceSupport_Status_s, 32, 2>;
    using Format = vnx::RecordKind<vnx_DeviceSupport_Format_s, 32, 2>;
    using Output = vnx::RecordKind<vnx_DeviceSupport_Output_s, 24, 2>;

    static void setDefaults(vnx_DeviceSupport_Format_s& format)
    {
        format.sampleNumber = 0;
        format.flags = 0;
        format.temperature = 0;
    }
    static void setDefaults(vnx_DeviceSupport_Output_s& output)
    {
        output.sensor = 0;
        output.x = 0;
        output.y = 0;
        output.z = 0;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(DeviceSupport, DeviceSupportRecords)
VNX_DEFINE_RECORD_ONLY_FACTORY(DeviceSupport, DeviceSupportRecords)
