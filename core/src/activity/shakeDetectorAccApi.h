#pragma once

// Accelerometer shake detector: reports a shake along an axis when the
// acceleration along it reverses direction a set number of times, each
// half-period inside a time band. It works on averages over 10 ms blocks of
// samples. A member of the detector family (see DetectorFamily.h for the
// calling order); it asks for a 32000 us accelerometer period and accepts 1
// to 33333 us. (Unrelated to the pointer engine's gyroscope shake module.)
//
// Event word of vnx_Detector_Output_s: bit k set when axis k (x 0, y 1, z 2)
// completed a shake in this call; several bits may be set at once.

#include <stddef.h>
#include <stdint.h>

#include "activity/detectorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_ShakeDetectorAcc_s* vnx_ShakeDetectorAcc_Handle;

typedef struct vnx_ShakeDetectorAccConfig_s
{
    uint32_t minHalfPeriodUs; ///< shortest time between two reversals that counts
    uint32_t maxHalfPeriodUs; ///< longest time without a reversal before the axis starts over
    int32_t thresholdQ26;     ///< m/s^2, Q26: change of the block average per 10 ms that is a movement
    uint32_t reversals;       ///< low byte: reversals that make a shake
    uint32_t axisMask;        ///< low byte: bit k enables axis k (x 1, y 2, z 4)
} vnx_ShakeDetectorAccConfig_s;

/// 50000 us, 400000 us, 8.0 m/s^2, 3 reversals, all axes; returns 0.
int vnx_ShakeDetectorAcc_getShakeDefaults(vnx_ShakeDetectorAccConfig_s* config);
/// Algorithm version: 1.
int vnx_ShakeDetectorAcc_getVersion(void);
int vnx_ShakeDetectorAcc_initialize(vnx_ShakeDetectorAcc_Handle* handle,
                                    const vnx_ShakeDetectorAccConfig_s* config);
int vnx_ShakeDetectorAcc_finalize(vnx_ShakeDetectorAcc_Handle handle);
int vnx_ShakeDetectorAcc_enableOutputPeriodsAndDeriveInputPeriods(vnx_ShakeDetectorAcc_Handle handle,
                                                                  int32_t outputPeriod,
                                                                  vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_ShakeDetectorAcc_setInputPeriods(vnx_ShakeDetectorAcc_Handle handle,
                                         const vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_ShakeDetectorAcc_getEffectiveOutputPeriods(vnx_ShakeDetectorAcc_Handle handle,
                                                   const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                   int32_t* outputPeriod);
int vnx_ShakeDetectorAcc_process(vnx_ShakeDetectorAcc_Handle handle, const vnx_Mobile_Output_s* in,
                                 vnx_Detector_Output_s* out, uint8_t* flag);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_ShakeDetectorAccConfig_s) == 20);
static_assert(offsetof(vnx_ShakeDetectorAccConfig_s, minHalfPeriodUs) == 0);
static_assert(offsetof(vnx_ShakeDetectorAccConfig_s, maxHalfPeriodUs) == 4);
static_assert(offsetof(vnx_ShakeDetectorAccConfig_s, thresholdQ26) == 8);
static_assert(offsetof(vnx_ShakeDetectorAccConfig_s, reversals) == 12);
static_assert(offsetof(vnx_ShakeDetectorAccConfig_s, axisMask) == 16);
#endif
