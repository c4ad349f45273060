#pragma once

// Significant-motion detector: motion likely to change the user's location,
// counted from the moment it is armed: a set number of steps (read from the
// step detector's output) or a strong sustained change of the acceleration
// norm. A member of the detector family (see DetectorFamily.h); it asks for
// a 40000 us accelerometer period and accepts 1 to 40000 us. The enable
// call warms it up for 0.5 s, after which it is armed; once it reports, it
// reports on every later sample while the condition holds, until the client
// disables it or enables it again (which re-arms it).
//
// Event word of vnx_Detector_Output_s: 1 = significant motion.

#include <stddef.h>
#include <stdint.h>

#include "activity/detectorRecords.h"
#include "activity/stepDetectorApi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_SignificantMotion_s* vnx_SignificantMotion_Handle;

typedef struct vnx_SignificantMotionConfig_s
{
    int32_t motionLevelQ24; ///< level of the accumulated high-passed norm that counts (m/s^2), Q24
    uint32_t steps;         ///< low byte: steps since arming that count
} vnx_SignificantMotionConfig_s;

/// 10.0 and 5 steps; returns 0.
int vnx_SignificantMotion_getSigMoDefaults(vnx_SignificantMotionConfig_s* config);
/// Algorithm version: 1.
int vnx_SignificantMotion_getVersion(void);
int vnx_SignificantMotion_initialize(vnx_SignificantMotion_Handle* handle,
                                     const vnx_SignificantMotionConfig_s* config);
int vnx_SignificantMotion_finalize(vnx_SignificantMotion_Handle handle);
int vnx_SignificantMotion_enableOutputPeriodsAndDeriveInputPeriods(
    vnx_SignificantMotion_Handle handle, int32_t outputPeriod, vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_SignificantMotion_setInputPeriods(vnx_SignificantMotion_Handle handle,
                                          const vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_SignificantMotion_getEffectiveOutputPeriods(vnx_SignificantMotion_Handle handle,
                                                    const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                    int32_t* outputPeriod);
/// `steps`: the step detector's output for the same record (its total is read).
int vnx_SignificantMotion_process(vnx_SignificantMotion_Handle handle, const vnx_Mobile_Output_s* in,
                                  const vnx_StepDetector_Output_s* steps, vnx_Detector_Output_s* out,
                                  uint8_t* flag);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_SignificantMotionConfig_s) == 8);
static_assert(offsetof(vnx_SignificantMotionConfig_s, motionLevelQ24) == 0);
static_assert(offsetof(vnx_SignificantMotionConfig_s, steps) == 4);
#endif
