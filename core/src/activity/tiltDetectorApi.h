#pragma once

// Tilt detector: reports when the direction of gravity, averaged over a
// window, has turned by more than a set angle from its reference direction,
// and then takes the new direction as the reference. A member of the
// detector family (see DetectorFamily.h for the calling order); it asks for
// a 100000 us accelerometer period and accepts 1 to 111111 us.
//
// Event word of vnx_Detector_Output_s: 1 when a tilt was detected at the end
// of the window that ended with this call, else 0.

#include <stddef.h>
#include <stdint.h>

#include "activity/detectorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_TiltDetector_s* vnx_TiltDetector_Handle;

/// Real values are fixed-point words: value = word / 2^Q.
typedef struct vnx_TiltDetectorConfig_s
{
    int32_t windowQ27;       ///< s, Q27: length of the averaging window
    int32_t cosThresholdQ30; ///< Q30: cosine of the smallest turn that is a tilt
} vnx_TiltDetectorConfig_s;

/// 2.0 s, cos 35 degrees; returns 0.
int vnx_TiltDetector_getConfigDefaults(vnx_TiltDetectorConfig_s* config);
/// Algorithm version: 1.
int vnx_TiltDetector_getVersion(void);
int vnx_TiltDetector_initialize(vnx_TiltDetector_Handle* handle, const vnx_TiltDetectorConfig_s* config);
int vnx_TiltDetector_finalize(vnx_TiltDetector_Handle handle);
int vnx_TiltDetector_enableOutputPeriodsAndDeriveInputPeriods(vnx_TiltDetector_Handle handle,
                                                              int32_t outputPeriod,
                                                              vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_TiltDetector_setInputPeriods(vnx_TiltDetector_Handle handle,
                                     const vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_TiltDetector_getEffectiveOutputPeriods(vnx_TiltDetector_Handle handle,
                                               const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                               int32_t* outputPeriod);
int vnx_TiltDetector_process(vnx_TiltDetector_Handle handle, const vnx_Mobile_Output_s* in,
                             vnx_Detector_Output_s* out, uint8_t* flag);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_TiltDetectorConfig_s) == 8);
static_assert(offsetof(vnx_TiltDetectorConfig_s, windowQ27) == 0);
static_assert(offsetof(vnx_TiltDetectorConfig_s, cosThresholdQ30) == 4);
#endif
