#pragma once

// Pick-up detector: reports two events, the device leaving a flat pose (face
// up or face down), and the device being picked up into a held, viewing pose
// after a strong movement. Each has its own sensor reorientation, low-pass
// filter and thresholds. A member of the detector family (see
// DetectorFamily.h for the calling order); it asks for a 100000 us
// accelerometer period and accepts 1 to 111111 us.
//
// Event word of vnx_Detector_Output_s: bit 0 (1) left the flat pose; bit 1
// (2) picked up.

#include <stddef.h>
#include <stdint.h>

#include "activity/detectorRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_PickUpDetector_s* vnx_PickUpDetector_Handle;

/// Reorientation of one path: int16 Q14 words in the order x, y, z, w. With
/// x, y and z all 0 the path is not reoriented (w is ignored); otherwise the
/// quaternion is normalised.
typedef struct vnx_PickUpDetector_Quaternion_s
{
    int16_t xQ14;
    int16_t yQ14;
    int16_t zQ14;
    int16_t wQ14;
} vnx_PickUpDetector_Quaternion_s;

/// 64 bytes, little-endian. Real values are fixed-point words: value = word / 2^Q.
typedef struct vnx_PickUpDetector_Config_s
{
    uint8_t mode; ///< bit 0 (1): report leaving the flat pose; bit 1 (2): report pick-ups
    uint8_t reserved[3];
    vnx_PickUpDetector_Quaternion_s flatOrientation;
    int32_t flatTimeConstantQ20; ///< s, Q20: low-pass of the flat-exit path
    int32_t flatAngleQ29;        ///< rad, Q29: largest tilt from level that counts as flat
    int32_t flatHysteresisQ29;   ///< rad, Q29: band around the flat angle that keeps the state
    vnx_PickUpDetector_Quaternion_s pickUpOrientation;
    int32_t pickUpTimeConstantQ20; ///< s, Q20: low-pass of the pick-up path
    int32_t pitchLowQ29;           ///< rad, Q29: lowest pitch of the viewing pose
    int32_t pitchHighQ29;          ///< rad, Q29: highest pitch of the viewing pose
    int32_t rollLowQ29;            ///< rad, Q29: lowest roll of the viewing pose
    int32_t rollHighQ29;           ///< rad, Q29: highest roll of the viewing pose
    int32_t restLevelQ24;          ///< m/s^2, Q24: largest deviation from filtered gravity that is held still
    int32_t movementLevelQ24;      ///< m/s^2, Q24: deviation that opens the pick-up window
    int32_t pickUpWindowQ20;       ///< s, Q20: how long after a movement a rest in the pose counts
} vnx_PickUpDetector_Config_s;

/// Mode 3; flat path: no reorientation, 0.4 s, 45 degrees, 2 degrees;
/// pick-up path: 90 degrees about z, 0.125 s, pitch -10 to 170 degrees, roll
/// -60 to 60 degrees, rest 1.0 m/s^2, movement 4.0 m/s^2, window 1.0 s.
/// Returns 0.
int vnx_PickUpDetector_getPickUpDefaults(vnx_PickUpDetector_Config_s* config);
/// Algorithm version: 1.
int vnx_PickUpDetector_getVersion(void);
int vnx_PickUpDetector_initialize(vnx_PickUpDetector_Handle* handle,
                                  const vnx_PickUpDetector_Config_s* config);
int vnx_PickUpDetector_finalize(vnx_PickUpDetector_Handle handle);
int vnx_PickUpDetector_enableOutputPeriodsAndDeriveInputPeriods(vnx_PickUpDetector_Handle handle,
                                                                int32_t outputPeriod,
                                                                vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_PickUpDetector_setInputPeriods(vnx_PickUpDetector_Handle handle,
                                       const vnx_Mobile_VirtualSensorPeriods_s* periods);
int vnx_PickUpDetector_getEffectiveOutputPeriods(vnx_PickUpDetector_Handle handle,
                                                 const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                 int32_t* outputPeriod);
int vnx_PickUpDetector_process(vnx_PickUpDetector_Handle handle, const vnx_Mobile_Output_s* in,
                               vnx_Detector_Output_s* out, uint8_t* flag);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_PickUpDetector_Quaternion_s) == 8);
static_assert(sizeof(vnx_PickUpDetector_Config_s) == 64);
static_assert(offsetof(vnx_PickUpDetector_Config_s, mode) == 0);
static_assert(offsetof(vnx_PickUpDetector_Config_s, flatOrientation) == 4);
static_assert(offsetof(vnx_PickUpDetector_Config_s, flatTimeConstantQ20) == 12);
static_assert(offsetof(vnx_PickUpDetector_Config_s, flatAngleQ29) == 16);
static_assert(offsetof(vnx_PickUpDetector_Config_s, flatHysteresisQ29) == 20);
static_assert(offsetof(vnx_PickUpDetector_Config_s, pickUpOrientation) == 24);
static_assert(offsetof(vnx_PickUpDetector_Config_s, pickUpTimeConstantQ20) == 32);
static_assert(offsetof(vnx_PickUpDetector_Config_s, pitchLowQ29) == 36);
static_assert(offsetof(vnx_PickUpDetector_Config_s, pitchHighQ29) == 40);
static_assert(offsetof(vnx_PickUpDetector_Config_s, rollLowQ29) == 44);
static_assert(offsetof(vnx_PickUpDetector_Config_s, rollHighQ29) == 48);
static_assert(offsetof(vnx_PickUpDetector_Config_s, restLevelQ24) == 52);
static_assert(offsetof(vnx_PickUpDetector_Config_s, movementLevelQ24) == 56);
static_assert(offsetof(vnx_PickUpDetector_Config_s, pickUpWindowQ20) == 60);
#endif
