#pragma once

// DeviceSupport9AGM records (type 23): raw accelerometer, gyroscope and
// magnetometer of one sample in one Output. Records only: nothing processes
// this type.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// A gyroscope reading of 32767 on all three axes: the sample has none.
#define VNX_DEVICE_SUPPORT_9AGM_NO_GYROSCOPE 32767

typedef vnx_StructConfig_s vnx_DeviceSupport9AGM_Config_s;
typedef vnx_StructCommand_s vnx_DeviceSupport9AGM_Command_s;
typedef vnx_StructStatus_s vnx_DeviceSupport9AGM_Status_s;
typedef vnx_StructFormat_s vnx_DeviceSupport9AGM_Format_s;

typedef struct vnx_DeviceSupport9AGM_Output_s
{
    vnx_StructOutput_s output;
    int32_t sampleNumber;     ///< device sample counter
    int16_t temperature;      ///< raw temperature reading
    uint8_t padding[2];       ///< left alone by the initialiser
    uint32_t reserved;        ///< not read by any module
    int16_t accelerometer[3]; ///< raw counts x, y, z
    int16_t gyroscope[3];     ///< raw counts x, y, z
    int16_t magnetometer[3];  ///< raw counts x, y, z
    /// Non-zero: this sample's gyroscope reading is invalid; readers take zero
    /// rotation instead.
    uint8_t gyroscopeGlitch;
    uint8_t padding2; ///< left alone by the initialiser
} vnx_DeviceSupport9AGM_Output_s;

VNX_DECLARE_RECORD_FAMILY(DeviceSupport9AGM)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_DeviceSupport9AGM_Output_s) == 48);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, output) == 0);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, sampleNumber) == 16);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, temperature) == 20);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, padding) == 22);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, reserved) == 24);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, accelerometer) == 28);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, gyroscope) == 34);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, magnetometer) == 40);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, gyroscopeGlitch) == 46);
static_assert(offsetof(vnx_DeviceSupport9AGM_Output_s, padding2) == 47);
#endif
