#pragma once

// SensorFusionPerDevice records (type 21). The Config carries a whole
// SensorFusion Config, whose reorientation the module hands to its fusion
// engine; the Command sets the engine's dynamic-calibration switches. Format
// and Output are headers only: the module writes SensorFusion and
// SensorInterpretation records.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"
#include "sensorFusionModule/SensorFusionRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Command codes of type 21.
typedef enum vnx_SensorFusionPerDevice_CommandCode_e
{
    /// Sets the engine's dynamic-calibration enable bits to the command's value.
    VNX_SENSOR_FUSION_PER_DEVICE_SET_DYNAMIC_CALIBRATION = 10,
} vnx_SensorFusionPerDevice_CommandCode_e;

typedef struct vnx_SensorFusionPerDevice_Config_s
{
    vnx_StructConfig_s config;
    /// Reorientation and flags of the fusion, as the SensorFusion module takes them.
    vnx_SensorFusion_Config_s sensorFusion;
} vnx_SensorFusionPerDevice_Config_s;

typedef struct vnx_SensorFusionPerDevice_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code;      ///< vnx_SensorFusionPerDevice_CommandCode_e
    uint8_t value;      ///< argument of the command
    uint8_t padding[3]; ///< left alone by the initialiser
} vnx_SensorFusionPerDevice_Command_s;

typedef vnx_StructStatus_s vnx_SensorFusionPerDevice_Status_s;
typedef vnx_StructFormat_s vnx_SensorFusionPerDevice_Format_s;
typedef vnx_StructOutput_s vnx_SensorFusionPerDevice_Output_s;

VNX_DECLARE_RECORD_FAMILY(SensorFusionPerDevice)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_SensorFusionPerDevice_Config_s) == 88);
static_assert(offsetof(vnx_SensorFusionPerDevice_Config_s, config) == 0);
static_assert(offsetof(vnx_SensorFusionPerDevice_Config_s, sensorFusion) == 32);
static_assert(sizeof(vnx_SensorFusionPerDevice_Command_s) == 40);
static_assert(offsetof(vnx_SensorFusionPerDevice_Command_s, command) == 0);
static_assert(offsetof(vnx_SensorFusionPerDevice_Command_s, code) == 32);
static_assert(offsetof(vnx_SensorFusionPerDevice_Command_s, value) == 36);
static_assert(offsetof(vnx_SensorFusionPerDevice_Command_s, padding) == 37);
static_assert(sizeof(vnx_SensorFusionPerDevice_Status_s) == 32);
static_assert(sizeof(vnx_SensorFusionPerDevice_Format_s) == 16);
static_assert(sizeof(vnx_SensorFusionPerDevice_Output_s) == 16);
#endif
