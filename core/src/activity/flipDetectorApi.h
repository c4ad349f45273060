#pragma once

// Flip detector: reports the moment the device is turned face down, from the
// low-passed direction of gravity with a hysteresis on the angle. A member of
// the detector family (see DetectorFamily.h for the calling order); it asks
// for a 100000 us accelerometer period and accepts 1 to 111111 us.
//
// Event word of vnx_Detector_Output_s: 1 when the device has just turned face
// down (z axis pointing to the ground), else 0.

#include <stddef.h>
#include <stdint.h>

#include "activity/detectorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_FlipDetector_s* vnx_FlipDetector_Handle;

/// Real values are fixed-point words: value = word / 2^Q.
typedef struct vnx_FlipDetectorConfig_s
{
    int32_t timeConstantQ20; ///< s, Q20: low-pass time constant of the acceleration
    int32_t angleQ29;        ///< rad, Q29: largest angle from face down that counts as face down
    int32_t hysteresisQ29;   ///< rad, Q29: width of the band around that angle that keeps the state
} vnx_FlipDetectorConfig_s;

/// 0.4 s, 45 degrees, 2 degrees; returns 0.
int vnx_FlipDetector_getFlipDefaults(vnx_FlipDetectorConfig_s* config);
/// Algorithm version: 1.
int vnx_FlipDetector_getVersion(void);
int vnx_FlipDetector_initialize(vnx_FlipDetector_Handle* handle, const vnx_FlipDetectorConfig_s* config);
int vnx_FlipDetector_finalize(vnx_FlipDetector_Handle handle);
int vnx_FlipDetector_enableOutputPeriodsAndDeriveInputPeriods(vnx_FlipDetector_Handle handle,
                                                              int32_t outputPeriod,
                                                              vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_FlipDetector_setInputPeriods(vnx_FlipDetector_Handle handle,
                                     const vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_FlipDetector_getEffectiveOutputPeriods(vnx_FlipDetector_Handle handle,
                                               const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                               int32_t* outputPeriod);
int vnx_FlipDetector_process(vnx_FlipDetector_Handle handle, const vnx_Mobile_Output_s* in,
                             vnx_Detector_Output_s* out, uint8_t* flag);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_FlipDetectorConfig_s) == 12);
static_assert(offsetof(vnx_FlipDetectorConfig_s, timeConstantQ20) == 0);
static_assert(offsetof(vnx_FlipDetectorConfig_s, angleQ29) == 4);
static_assert(offsetof(vnx_FlipDetectorConfig_s, hysteresisQ29) == 8);
#endif
