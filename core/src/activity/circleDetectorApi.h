#pragma once

// Circle detector: reports a circle drawn in the air with the device.
// Starting from rest, the deviation of the acceleration from gravity must
// sweep a set total angle in steps, always turning about nearly the same
// axis. A member of the detector family (see DetectorFamily.h for the
// calling order); it asks for a 40000 us accelerometer period and accepts 1
// to 40000 us.
//
// Event word of vnx_Detector_Output_s: 1 when a circle was completed with
// this sample, else 0.

#include <stddef.h>
#include <stdint.h>

#include "activity/detectorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_CircleDetector_s* vnx_CircleDetector_Handle;

/// Real values are fixed-point words: value = word / 2^Q.
typedef struct vnx_CircleDetectorConfig_s
{
    int32_t minDeviationQ24; ///< m/s^2, Q24: smallest deviation from the rest reference that starts a gesture
    int32_t minAxisCosQ30;   ///< Q30: smallest cosine between each turn axis and the mean turn axis
    int32_t totalAngleQ25;   ///< rad, Q25: angle to sweep
} vnx_CircleDetectorConfig_s;

/// 4.0 m/s^2, 0.0, 3 pi (540 degrees); returns 0.
int vnx_CircleDetector_getConfigDefaults(vnx_CircleDetectorConfig_s* config);
/// Algorithm version: 1.
int vnx_CircleDetector_getVersion(void);
int vnx_CircleDetector_initialize(vnx_CircleDetector_Handle* handle,
                                  const vnx_CircleDetectorConfig_s* config);
int vnx_CircleDetector_finalize(vnx_CircleDetector_Handle handle);
int vnx_CircleDetector_enableOutputPeriodsAndDeriveInputPeriods(vnx_CircleDetector_Handle handle,
                                                                int32_t outputPeriod,
                                                                vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_CircleDetector_setInputPeriods(vnx_CircleDetector_Handle handle,
                                       const vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_CircleDetector_getEffectiveOutputPeriods(vnx_CircleDetector_Handle handle,
                                                 const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                 int32_t* outputPeriod);
int vnx_CircleDetector_process(vnx_CircleDetector_Handle handle, const vnx_Mobile_Output_s* in,
                               vnx_Detector_Output_s* out, uint8_t* flag);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_CircleDetectorConfig_s) == 12);
static_assert(offsetof(vnx_CircleDetectorConfig_s, minDeviationQ24) == 0);
static_assert(offsetof(vnx_CircleDetectorConfig_s, minAxisCosQ30) == 4);
static_assert(offsetof(vnx_CircleDetectorConfig_s, totalAngleQ25) == 8);
#endif
