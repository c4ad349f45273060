#include "deviceDomain/DeviceRecords.h"

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct DeviceRecords
{
    static constexpr uint8_t type = VNX_TYPE_DEVICE;
    using Config = vnx::RecordKind<vnx_Device_Config_s, 64, 1>;
    using Command = vnx::RecordKind<vnx_Device_Command_s, 40, 1>;
    using Status = vnx::RecordKind<vnx_Device_Status_s, 48, 1>;
    using Format = vnx::RecordKind<vnx_Device_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_Device_Output_s, 16, 1>;

    static void setDefaults(vnx_Device_Config_s& config)
    {
        config.typeId = 0;
        config.reserved0[0] = config.reserved0[1] = config.reserved0[2] = 0;
        config.inputId = -1;
        config.outputId = -1;
        config.logRawInput = 0;
        config.reserved1 = 0;
        config.logOutput = 0;
        config.reserved2 = 0;
        config.dcdSaveInterval = 60;
        config.reportMotionInput = 0;
        config.reportMotionOutput = 1;
        config.sampleBaseWidth = 8;
        config.reserved3 = 0;
        config.maxBufferedSamplesToProcess = 1;
    }
    static void setDefaults(vnx_Device_Command_s& command) { command.code = 0; }
    static void setDefaults(vnx_Device_Status_s& status)
    {
        status.statusKind = 0;
        status.payload.count = 0;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(Device, DeviceRecords)
// No module of this type exists: the factory makes records only.
VNX_DEFINE_RECORD_ONLY_FACTORY(Device, DeviceRecords)
