#pragma once

// Tap detector: single and double taps per axis, with the direction of the
// knock, from the sample-to-sample change of the acceleration. A member of
// the detector family (see DetectorFamily.h for the calling order); it asks
// for a 2000 us accelerometer period and accepts 1 to 2500 us.
//
// Event word of vnx_Detector_Output_s: axis k (x 0, y 1, z 2) at bits 2k
// (tapped) and 2k + 1 (the knock was positive); bit 6 (64) double tap; bit 7
// is kept as the caller's record had it; every other bit is cleared.

#include <stddef.h>
#include <stdint.h>

#include "activity/detectorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_TapDetector_s* vnx_TapDetector_Handle;

/// Real values are fixed-point words: value = word / 2^Q.
typedef struct vnx_TapDetectorConfig_s
{
    int32_t thresholdQ24; ///< m/s^2, Q24: least change of one axis between two samples that starts a knock
    int32_t peakTimeUs;   ///< how long the peak of a knock is tracked
    int32_t settleTimeUs; ///< how long the axis must then stay calm (change below half the threshold)
    int32_t doubleTapWindowUs; ///< how long a first tap waits for its second; 0: no double taps
    int32_t doubleTapMinGapUs; ///< shortest time from the first to the second tap of a double tap
} vnx_TapDetectorConfig_s;

/// 8.0 m/s^2, 30000, 45000, 250000, 120000; returns 0.
int vnx_TapDetector_getTapDefaults(vnx_TapDetectorConfig_s* config);
/// Algorithm version: 1.
int vnx_TapDetector_getVersion(void);
int vnx_TapDetector_initialize(vnx_TapDetector_Handle* handle, const vnx_TapDetectorConfig_s* config);
int vnx_TapDetector_finalize(vnx_TapDetector_Handle handle);
int vnx_TapDetector_enableOutputPeriodsAndDeriveInputPeriods(vnx_TapDetector_Handle handle,
                                                             int32_t outputPeriod,
                                                             vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_TapDetector_setInputPeriods(vnx_TapDetector_Handle handle,
                                    const vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_TapDetector_getEffectiveOutputPeriods(vnx_TapDetector_Handle handle,
                                              const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                              int32_t* outputPeriod);
int vnx_TapDetector_process(vnx_TapDetector_Handle handle, const vnx_Mobile_Output_s* in,
                            vnx_Detector_Output_s* out, uint8_t* flag);

/// Each axis of an event word as -1, 0 or +1 (the knock's direction), or
/// -2, 0 or +2 when the word marks a double tap. Returns 0; -2 for a null
/// output.
int vnx_TapDetector_decodeTapField(uint32_t field, int8_t* x, int8_t* y, int8_t* z);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_TapDetectorConfig_s) == 20);
static_assert(offsetof(vnx_TapDetectorConfig_s, thresholdQ24) == 0);
static_assert(offsetof(vnx_TapDetectorConfig_s, peakTimeUs) == 4);
static_assert(offsetof(vnx_TapDetectorConfig_s, settleTimeUs) == 8);
static_assert(offsetof(vnx_TapDetectorConfig_s, doubleTapWindowUs) == 12);
static_assert(offsetof(vnx_TapDetectorConfig_s, doubleTapMinGapUs) == 16);
#endif
