#pragma once

// Configuration records of the activity classifier's components: the
// in-vehicle vibration detector, the in-vehicle acceleration detector and
// the stair detector. The layouts are a byte format.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Modes of vnx_ActivityClassifier_InVehicle_Config_s::mode.
typedef enum vnx_ActivityClassifier_InVehicleMode_e
{
    VNX_IN_VEHICLE_STILL_FROM_STATISTICS = 0, ///< stillness from one-second running statistics
    VNX_IN_VEHICLE_STILL_FROM_CROSSINGS = 1,  ///< stillness from the crossing counts
    // any other value: the status stays as it is
} vnx_ActivityClassifier_InVehicleMode_e;

typedef struct vnx_ActivityClassifier_InVehicle_Config_s
{
    uint32_t crossingLimitA; ///< low byte: crossings of the large threshold per frame
    uint32_t crossingLimitB; ///< low byte: crossings of the small threshold per frame
    uint32_t mode;           ///< vnx_ActivityClassifier_InVehicleMode_e
} vnx_ActivityClassifier_InVehicle_Config_s;

/// T0-T23, each with 20 fractional bits (T8 and T9 unused): the bounds of
/// the three window detectors (m/s^2 for the filtered and smoothed norms,
/// degrees for the angle between them).
typedef struct vnx_ActivityClassifier_InVehicle_Acceleration_Config_s
{
    int32_t thresholdQ20[24];
} vnx_ActivityClassifier_InVehicle_Acceleration_Config_s;

/// Five words with 16 fractional bits: the slope threshold (pressure units
/// per sample) and four words kept in the layout that affect nothing.
typedef struct vnx_ActivityClassifier_Stair_Config_s
{
    int32_t slopeThresholdQ16;
    int32_t reservedQ16[4];
} vnx_ActivityClassifier_Stair_Config_s;

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_ActivityClassifier_InVehicle_Config_s) == 12);
static_assert(offsetof(vnx_ActivityClassifier_InVehicle_Config_s, crossingLimitA) == 0);
static_assert(offsetof(vnx_ActivityClassifier_InVehicle_Config_s, crossingLimitB) == 4);
static_assert(offsetof(vnx_ActivityClassifier_InVehicle_Config_s, mode) == 8);
static_assert(sizeof(vnx_ActivityClassifier_InVehicle_Acceleration_Config_s) == 96);
static_assert(sizeof(vnx_ActivityClassifier_Stair_Config_s) == 20);
static_assert(offsetof(vnx_ActivityClassifier_Stair_Config_s, slopeThresholdQ16) == 0);
static_assert(offsetof(vnx_ActivityClassifier_Stair_Config_s, reservedQ16) == 4);
#endif
