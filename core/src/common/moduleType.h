#pragma once

// Module type ids: the 8-bit value that names a module type, the owner of a
// record, or a device or domain type. The core library owns ids 1 to 24; the
// bundle library uses ids from 64 and the device layer ids from 96.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum vnx_ModuleType_e
{
    VNX_TYPE_DEVICE_SUPPORT = 1,
    VNX_TYPE_SENSOR_INTERPRETATION = 2,
    VNX_TYPE_SENSOR_FUSION = 3,
    VNX_TYPE_ACTIVITY_CLASSIFICATION = 4,
    VNX_TYPE_BUTTON_ACTIVITY = 5,
    VNX_TYPE_STANDARD_CURSOR = 6,
    VNX_TYPE_TEST_MODULE = 7,
    VNX_TYPE_STANDARD_CURSOR_SIXTEEN = 8,
    VNX_TYPE_EXTENDED_CURSOR = 9,
    VNX_TYPE_LINEAR_GESTURE = 10,
    VNX_TYPE_CURSOR_GESTURE = 11,
    VNX_TYPE_DEVICE_MOTION = 12,
    VNX_TYPE_DEVICE_MOTION_FLOAT = 13,
    VNX_TYPE_SHAKE_DETECTOR = 14,
    VNX_TYPE_SENSOR_INTERPRETATION_SIXTEEN = 15,
    VNX_TYPE_SENSOR_INTERPRETATION_9AXIS = 16,
    VNX_TYPE_SENSOR_FUSION_9AXIS = 17,
    // 18 is not used.
    VNX_TYPE_SENSOR_FUSION_EXPERIMENTAL = 19,
    VNX_TYPE_SENSOR_FUSION_NOMINAL = 20,
    VNX_TYPE_SENSOR_FUSION_PER_DEVICE = 21,
    VNX_TYPE_DEVICE_SUPPORT_6AG = 22,
    VNX_TYPE_DEVICE_SUPPORT_9AGM = 23,
    VNX_TYPE_MULTISTROKE_GESTURE = 24,
} vnx_ModuleType_e;

/// The core library's type lookup: the name of a core id, null for ids it does
/// not name (18 and everything outside 1 to 24).
const char* vnx_core_typeToString(uint8_t id);

#ifdef __cplusplus
}
#endif
