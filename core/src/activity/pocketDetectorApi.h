#pragma once

// Pocket detector: whether the device is in a pocket or bag, from the
// ambient light and proximity readings the client reports, the device's
// pose and its recent motion. A member of the detector family (see
// DetectorFamily.h); its period calls carry the light and proximity
// sensors' periods beside the accelerometer's, each asked as at most
// 200000 us and accepted in 1 to 200000 us.
//
// Event word of vnx_Detector_Output_s: 1 entered a pocket, 2 left it. It is
// written only on the call where the decision changes (which answers 0);
// every other call leaves the caller's word as it was and answers 3.

#include <stddef.h>
#include <stdint.h>

#include "activity/detectorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_PocketDetector_s* vnx_PocketDetector_Handle;

/// 52 bytes, little-endian. Real values are fixed-point words: value = word / 2^Q.
typedef struct vnx_PocketDetectorConfig_s
{
    int16_t reorientationQ14[4]; ///< sensor mounting x, y, z, w; x = y = z = 0: none
    int32_t fastTimeConstantQ20; ///< s, fast pose filter
    int32_t slowTimeConstantQ20; ///< s, slow pose filter
    uint32_t proximityThreshold; ///< a distance below it is near (the sensor's units)
    uint32_t lightThreshold;     ///< a reading below it is dark (the sensor's units)
    int32_t flatLimitQ29;        ///< |fast pose z| above it: lying flat
    int32_t uprightLimitQ29;     ///< stored negated: -0.17364818 is a limit of +0.17364818 on the pose's y
    int32_t sidewaysLimitQ29;    ///< |fast pose x| below it: not on its side
    int32_t joltLevelQ26;        ///< m/s^2: |a| - 9.8 above it is motion
    int32_t poseChangeLevelQ28;  ///< a dot product of the two filtered poses below it is motion
    int32_t motionHoldTimeQ20;   ///< s, how long motion counts as recent
    int32_t coveredTimeQ20;      ///< s, how long dark and near must last to enter
} vnx_PocketDetectorConfig_s;

int vnx_PocketDetector_getConfigDefaults(vnx_PocketDetectorConfig_s* config);
/// Algorithm version: 1.
int vnx_PocketDetector_getVersion(void);
int vnx_PocketDetector_initialize(vnx_PocketDetector_Handle* handle,
                                  const vnx_PocketDetectorConfig_s* config);
int vnx_PocketDetector_finalize(vnx_PocketDetector_Handle handle);
/// Each of the three periods (accelerometer in periods slot 0, light,
/// proximity) of 0 or above 200000 us becomes 200000 us.
int vnx_PocketDetector_enableOutputPeriodsAndDeriveInputPeriods(vnx_PocketDetector_Handle handle,
                                                                int32_t outputPeriod,
                                                                vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                                int32_t* lightPeriodUs,
                                                                int32_t* proximityPeriodUs);
/// -24 (disabled, light and proximity back to unknown) unless all three periods lie in 1 to 200000 us.
int vnx_PocketDetector_setInputPeriods(vnx_PocketDetector_Handle handle,
                                       const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                       int32_t lightPeriodUs, int32_t proximityPeriodUs);
/// The accelerometer period while enabled, else 0; the detector reports at its input rate.
int vnx_PocketDetector_getEffectiveOutputPeriods(vnx_PocketDetector_Handle handle,
                                                 const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                 int32_t lightPeriodUs, int32_t proximityPeriodUs,
                                                 int32_t* outputPeriod);
int vnx_PocketDetector_process(vnx_PocketDetector_Handle handle, const vnx_Mobile_Output_s* in,
                               vnx_Detector_Output_s* out, uint8_t* flag);
/// light: fixed point with 8 fractional bits; dark = threshold > light / 256.
int vnx_PocketDetector_reportLight(vnx_PocketDetector_Handle handle, int32_t light, uint32_t timestampUs);
/// distance: fixed point with 4 fractional bits; near = threshold > distance / 16.
int vnx_PocketDetector_reportProximity(vnx_PocketDetector_Handle handle, int16_t distance,
                                       uint32_t timestampUs);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_PocketDetectorConfig_s) == 52);
static_assert(offsetof(vnx_PocketDetectorConfig_s, reorientationQ14) == 0);
static_assert(offsetof(vnx_PocketDetectorConfig_s, fastTimeConstantQ20) == 8);
static_assert(offsetof(vnx_PocketDetectorConfig_s, slowTimeConstantQ20) == 12);
static_assert(offsetof(vnx_PocketDetectorConfig_s, proximityThreshold) == 16);
static_assert(offsetof(vnx_PocketDetectorConfig_s, lightThreshold) == 20);
static_assert(offsetof(vnx_PocketDetectorConfig_s, flatLimitQ29) == 24);
static_assert(offsetof(vnx_PocketDetectorConfig_s, uprightLimitQ29) == 28);
static_assert(offsetof(vnx_PocketDetectorConfig_s, sidewaysLimitQ29) == 32);
static_assert(offsetof(vnx_PocketDetectorConfig_s, joltLevelQ26) == 36);
static_assert(offsetof(vnx_PocketDetectorConfig_s, poseChangeLevelQ28) == 40);
static_assert(offsetof(vnx_PocketDetectorConfig_s, motionHoldTimeQ20) == 44);
static_assert(offsetof(vnx_PocketDetectorConfig_s, coveredTimeQ20) == 48);
#endif
