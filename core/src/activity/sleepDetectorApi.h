#pragma once

// Sleep detector: classifies each minute of wear as active, awake or asleep
// from how often the small acceleration components cross zero, with a
// weighted score over seven minutes. A member of the detector family (see
// DetectorFamily.h for the calling order); it asks for a 200000 us
// accelerometer period and accepts 1 to 222222 us.
//
// Event word of vnx_Detector_Output_s: a state code, written on every call:
//   0 window ended, active (7 or more crossings in the window)
//   1 window ended, awake (quiet, but the score says awake or fewer than
//     six windows have been seen)
//   2 window ended, asleep
//   3 window ended, asleep for long: over 1800 s of wear counted and over
//     1200 s since the last window that was not asleep
//   4 no window ended with this call (process then answers 3)

#include <stddef.h>
#include <stdint.h>

#include "activity/detectorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_SleepDetector_s* vnx_SleepDetector_Handle;

/// Real values are fixed-point words: value = word / 2^Q.
typedef struct vnx_SleepDetectorConfig_s
{
    int32_t deadBandQ29;     ///< m/s^2, Q29: a component smaller than this counts as 0
    int32_t epochLengthS;    ///< seconds per epoch
    int32_t epochsPerWindow; ///< epochs per scoring window
    int32_t scoreScaleQ29;   ///< Q29: factor of the weighted window sums; a score below 1 is asleep
} vnx_SleepDetectorConfig_s;

/// 0.035 m/s^2, 10 s, 6 epochs, 0.45; returns 0.
int vnx_SleepDetector_getDefaults(vnx_SleepDetectorConfig_s* config);
/// Algorithm version: 1.
int vnx_SleepDetector_getVersion(void);
int vnx_SleepDetector_initialize(vnx_SleepDetector_Handle* handle, const vnx_SleepDetectorConfig_s* config);
int vnx_SleepDetector_finalize(vnx_SleepDetector_Handle handle);
int vnx_SleepDetector_enableOutputPeriodsAndDeriveInputPeriods(vnx_SleepDetector_Handle handle,
                                                               int32_t outputPeriod,
                                                               vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_SleepDetector_setInputPeriods(vnx_SleepDetector_Handle handle,
                                      const vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_SleepDetector_getEffectiveOutputPeriods(vnx_SleepDetector_Handle handle,
                                                const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                int32_t* outputPeriod);
int vnx_SleepDetector_process(vnx_SleepDetector_Handle handle, const vnx_Mobile_Output_s* in,
                              vnx_Detector_Output_s* out, uint8_t* flag);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_SleepDetectorConfig_s) == 16);
static_assert(offsetof(vnx_SleepDetectorConfig_s, deadBandQ29) == 0);
static_assert(offsetof(vnx_SleepDetectorConfig_s, epochLengthS) == 4);
static_assert(offsetof(vnx_SleepDetectorConfig_s, epochsPerWindow) == 8);
static_assert(offsetof(vnx_SleepDetectorConfig_s, scoreScaleQ29) == 12);
#endif
