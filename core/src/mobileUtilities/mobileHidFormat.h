#pragma once

// Packs one output record of the mobile fusion engine into the twenty 16-bit
// words of a HID report (format A):
//   0-2   accelerometer, -(m/s^2) in 0.01 g      (valid bit 0x1)
//   3-5   linear acceleration, the same units    (0x10)
//   6-8   calibrated rotation rate, 0.1 deg/s    (0x4)
//   9-11  calibrated magnetometer, 0.1 uT        (0x2)
//   12-14 Euler ZYX angles, 0.1 deg              (0x20, rotation vector)
//   15    compass heading, 0.1 deg in [0, 3599]  (0x20)
//   16-19 rotation vector x, y, z, w x 10000     (0x20)
// A group is written when its valid bit is set, or always when `all` is
// non-zero; words of groups left out keep their values. Values are truncated
// toward zero; values beyond the 16-bit range clamp to its ends and NaN
// becomes 0.

#include <stdint.h>

#include "sensorFusionMobile/mobileRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/// *compassMode is the caller's compass mode byte (start it at 0), read and
/// updated when the rotation vector is written. VNX_STATUS_INVALID_PARAMETER
/// (-2) for a null pointer (nothing written).
int vnx_Mobile_ConversionHidFormatA(const vnx_Mobile_Output_s* output, int16_t* words, int8_t* compassMode,
                                    uint32_t all);

#ifdef __cplusplus
} // extern "C"
#endif
