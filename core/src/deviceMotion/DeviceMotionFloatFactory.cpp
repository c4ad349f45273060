#include <cstring>

#include "common/moduleType.h"
#include "deviceMotion/DeviceMotionFloat.h"
#include "deviceMotion/DeviceMotionFloatRecords.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct DeviceMotionFloatRecords
{
    static constexpr uint8_t type = VNX_TYPE_DEVICE_MOTION_FLOAT;
    using Config = vnx::RecordKind<vnx_DeviceMotionFloat_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_DeviceMotionFloat_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_DeviceMotionFloat_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_DeviceMotionFloat_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_DeviceMotionFloat_Output_s, 104, 1>;

    /// Everything from the sample number to the quaternion 0; padding kept.
    static void setDefaults(vnx_DeviceMotionFloat_Output_s& output)
    {
        const size_t first = offsetof(vnx_DeviceMotionFloat_Output_s, sampleNumber);
        const size_t end = offsetof(vnx_DeviceMotionFloat_Output_s, padding);
        std::memset(reinterpret_cast<unsigned char*>(&output) + first, 0, end - first);
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(DeviceMotionFloat, DeviceMotionFloatRecords)
VNX_DEFINE_MODULE_FACTORY(DeviceMotionFloat, ::DeviceMotionFloat, DeviceMotionFloatRecords)
