#pragma once

// DeviceSupport records (type 1): one raw 3-axis sensor reading per Output,
// with a Format per sample batch that carries the sample number, flags and
// raw temperature. Values are the device's raw signed 16-bit counts; scale,
// offset and axes come from the device's static calibration. Records only:
// nothing processes this type.

#include <stdint.h>

#include "common/record.h"
#include "moduleFactory/recordFamily.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Which sensor a DeviceSupport Output carries.
typedef enum vnx_DeviceSupport_Sensor_e
{
    VNX_DEVICE_SUPPORT_ACCELEROMETER = 1,
    VNX_DEVICE_SUPPORT_GYROSCOPE = 2,
    VNX_DEVICE_SUPPORT_MAGNETOMETER = 3,
} vnx_DeviceSupport_Sensor_e;

/// Format flag: this sample's gyroscope reading is a glitch; readers take zero
/// rotation instead. Other bits are not read.
#define VNX_DEVICE_SUPPORT_FLAG_GYROSCOPE_GLITCH 0x20u

typedef vnx_StructConfig_s vnx_DeviceSupport_Config_s;
typedef vnx_StructCommand_s vnx_DeviceSupport_Command_s;
typedef vnx_StructStatus_s vnx_DeviceSupport_Status_s;

/// One per sample batch; every Output of the batch is paired with it.
typedef struct vnx_DeviceSupport_Format_s
{
    vnx_StructFormat_s format;
    uint32_t sampleNumber; ///< device sample counter of the batch
    uint32_t flags;        ///< VNX_DEVICE_SUPPORT_FLAG_*
    int16_t temperature;   ///< raw temperature reading
    uint8_t reserved[6];   ///< zero; left alone by the initialiser
} vnx_DeviceSupport_Format_s;

typedef struct vnx_DeviceSupport_Output_s
{
    vnx_StructOutput_s output;
    uint8_t sensor;  ///< vnx_DeviceSupport_Sensor_e
    uint8_t padding; ///< left alone by the initialiser
    int16_t x;       ///< raw counts
    int16_t y;
    int16_t z;
} vnx_DeviceSupport_Output_s;

VNX_DECLARE_RECORD_FAMILY(DeviceSupport)

#ifdef __cplusplus
}

static_assert(sizeof(vnx_DeviceSupport_Format_s) == 32);
static_assert(offsetof(vnx_DeviceSupport_Format_s, format) == 0);
static_assert(offsetof(vnx_DeviceSupport_Format_s, sampleNumber) == 16);
static_assert(offsetof(vnx_DeviceSupport_Format_s, flags) == 20);
static_assert(offsetof(vnx_DeviceSupport_Format_s, temperature) == 24);
static_assert(offsetof(vnx_DeviceSupport_Format_s, reserved) == 26);
static_assert(sizeof(vnx_DeviceSupport_Output_s) == 24);
static_assert(offsetof(vnx_DeviceSupport_Output_s, output) == 0);
static_assert(offsetof(vnx_DeviceSupport_Output_s, sensor) == 16);
static_assert(offsetof(vnx_DeviceSupport_Output_s, padding) == 17);
static_assert(offsetof(vnx_DeviceSupport_Output_s, x) == 18);
static_assert(offsetof(vnx_DeviceSupport_Output_s, y) == 20);
static_assert(offsetof(vnx_DeviceSupport_Output_s, z) == 22);
#endif
