#include "common/moduleType.h"
#include "moduleFactory/ModuleFactoryFor.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorFusionPerDevice/SensorFusionPerDevice.h"
#include "sensorFusionPerDevice/SensorFusionPerDeviceRecords.h"

namespace {

struct SensorFusionPerDeviceRecords
{
    static constexpr uint8_t type = VNX_TYPE_SENSOR_FUSION_PER_DEVICE;
    using Config = vnx::RecordKind<vnx_SensorFusionPerDevice_Config_s, 88, 1>;
    using Command = vnx::RecordKind<vnx_SensorFusionPerDevice_Command_s, 40, 1>;
    using Status = vnx::RecordKind<vnx_SensorFusionPerDevice_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_SensorFusionPerDevice_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_SensorFusionPerDevice_Output_s, 16, 1>;

    static void setDefaults(vnx_SensorFusionPerDevice_Config_s& config)
    {
        vnx_SensorFusion_initConfig(&config.sensorFusion);
    }
    static void setDefaults(vnx_SensorFusionPerDevice_Command_s& command)
    {
        command.code = 0;
        command.value = 0;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(SensorFusionPerDevice, SensorFusionPerDeviceRecords)
VNX_DEFINE_MODULE_FACTORY(SensorFusionPerDevice, ::SensorFusionPerDevice, SensorFusionPerDeviceRecords)
