#pragma once

// DeviceSupport6AG records (type 22): one complete raw accelerometer and
// gyroscope sample per Output, as the presenter delivers it. Records only:
// nothing processes this type.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef vnx_StructConfig_s vnx_DeviceSupport6AG_Config_s;
typedef vnx_StructCommand_s vnx_DeviceSupport6AG_Command_s;
typedef vnx_StructStatus_s vnx_DeviceSupport6AG_Status_s;
typedef vnx_StructFormat_s vnx_DeviceSupport6AG_Format_s;

typedef struct vnx_DeviceSupport6AG_Output_s
{
    vnx_StructOutput_s output;
    /// Device sample counter; the number of elapsed sample periods is derived
    /// from successive values.
    int32_t sampleNumber;
    int16_t temperature;      ///< raw temperature reading
    int16_t accelerometer[3]; ///< raw counts x, y, z
    int16_t gyroscope[3];     ///< raw counts x, y, z
    /// Non-zero: this sample's gyroscope reading is invalid; readers take zero
    /// rotation instead.
    uint8_t gyroscopeGlitch;
    uint8_t padding[5]; ///< left alone by the initialiser
} vnx_DeviceSupport6AG_Output_s;

VNX_DECLARE_RECORD_FAMILY(DeviceSupport6AG)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_DeviceSupport6AG_Output_s) == 40);
static_assert(offsetof(vnx_DeviceSupport6AG_Output_s, output) == 0);
static_assert(offsetof(vnx_DeviceSupport6AG_Output_s, sampleNumber) == 16);
static_assert(offsetof(vnx_DeviceSupport6AG_Output_s, temperature) == 20);
static_assert(offsetof(vnx_DeviceSupport6AG_Output_s, accelerometer) == 22);
static_assert(offsetof(vnx_DeviceSupport6AG_Output_s, gyroscope) == 28);
static_assert(offsetof(vnx_DeviceSupport6AG_Output_s, gyroscopeGlitch) == 34);
static_assert(offsetof(vnx_DeviceSupport6AG_Output_s, padding) == 35);
#endif
