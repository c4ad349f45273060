#pragma once

// The description of the SensorFusion records for the record family and
// factory templates: the family's functions are defined in
// SensorFusionRecords.cpp, and the module's factory is one line over the same
// description:
//
//   VNX_DEFINE_MODULE_FACTORY(SensorFusion, ::SensorFusion, vnx::SensorFusionRecordFamily)

#include <stdint.h>

#include "common/moduleType.h"
#include "moduleFactory/recordFamilyDefinition.h"
#include "sensorFusionModule/SensorFusionRecords.h"

namespace vnx {

struct SensorFusionRecordFamily
{
    static constexpr uint8_t type = VNX_TYPE_SENSOR_FUSION;
    using Config = RecordKind<vnx_SensorFusion_Config_s, 56, 1>;
    using Command = RecordKind<vnx_SensorFusion_Command_s, 40, 1>;
    using Status = RecordKind<vnx_SensorFusion_Status_s, 40, 1>;
    using Format = RecordKind<vnx_SensorFusion_Format_s, 40, 1>;
    using Output = RecordKind<vnx_SensorFusion_Output_s, 96, 1>;

    /// Identity reorientation, default flags (top 4 bits kept), reserved 0.
    static void setDefaults(vnx_SensorFusion_Config_s& config);
    static void setDefaults(vnx_SensorFusion_Command_s& command);
    static void setDefaults(vnx_SensorFusion_Status_s& status);
    /// Period 0, every group absent (129), reserved bytes 24-35 zero.
    static void setDefaults(vnx_SensorFusion_Format_s& format);
    /// Sample number and every value word 0.
    static void setDefaults(vnx_SensorFusion_Output_s& output);
};

} // namespace vnx
