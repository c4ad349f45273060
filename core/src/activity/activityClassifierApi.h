#pragma once

// The activity classifier's configuration and output records and its two
// exported functions. The classifier itself lives inside the activity
// tracker, which passes it the configuration below as part of its own block
// and copies its output into the tracker's output record. The layouts are a
// byte format.

#include <stddef.h>
#include <stdint.h>

#include "activity/activityClassifierRecords.h"
#include "activity/ldaRecords.h"
#include "activity/tiltDetectorApi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_ActivityClassifierConfig_s
{
    uint32_t framePeriodUs; ///< length of one classification frame
    vnx_ActivityClassifier_Lda_Config_s lda;
    vnx_ActivityClassifier_InVehicle_Config_s inVehicle;
    vnx_ActivityClassifier_InVehicle_Acceleration_Config_s inVehicleAcceleration;
    vnx_TiltDetectorConfig_s tilt;
    vnx_ActivityClassifier_Stair_Config_s stair;
} vnx_ActivityClassifierConfig_s;

/// Number of activity codes (0-8), also the bits of a class mask.
#define VNX_ACTIVITY_CODES 9

/// One classification frame's result. Bytes 6-11 and 21-23 are never
/// written: they keep what the caller had there.
typedef struct vnx_ActivityClassifier_Output_s
{
    uint32_t timeUs;      ///< time stamp of the fusion record that completed the frame
    uint8_t mostLikely;   ///< activity code of the most likely activity
    uint8_t ldaActivity;  ///< the gait classifier's verdict as a code: 6, 7, 4, or 0 for none
    uint8_t reserved0[6]; ///< not written
    uint8_t confidence[VNX_ACTIVITY_CODES]; ///< percent, per activity code 0-8
    uint8_t reserved1[3];                   ///< not written
} vnx_ActivityClassifier_Output_s;

/// Writes the mask of the activity codes the classifier knows (511: codes
/// 0-8) and returns 0; -2 for a null pointer.
int vnx_ActivityClassifier_getSupportedClassificationFlags(uint32_t* flags);
/// Version of the classification algorithm: 1.
int vnx_ActivityClassifier_getActivityVersion(void);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_ActivityClassifierConfig_s) == 148);
static_assert(offsetof(vnx_ActivityClassifierConfig_s, framePeriodUs) == 0);
static_assert(offsetof(vnx_ActivityClassifierConfig_s, lda) == 4);
static_assert(offsetof(vnx_ActivityClassifierConfig_s, inVehicle) == 12);
static_assert(offsetof(vnx_ActivityClassifierConfig_s, inVehicleAcceleration) == 24);
static_assert(offsetof(vnx_ActivityClassifierConfig_s, tilt) == 120);
static_assert(offsetof(vnx_ActivityClassifierConfig_s, stair) == 128);

static_assert(sizeof(vnx_ActivityClassifier_Output_s) == 24);
static_assert(offsetof(vnx_ActivityClassifier_Output_s, timeUs) == 0);
static_assert(offsetof(vnx_ActivityClassifier_Output_s, mostLikely) == 4);
static_assert(offsetof(vnx_ActivityClassifier_Output_s, ldaActivity) == 5);
static_assert(offsetof(vnx_ActivityClassifier_Output_s, reserved0) == 6);
static_assert(offsetof(vnx_ActivityClassifier_Output_s, confidence) == 12);
static_assert(offsetof(vnx_ActivityClassifier_Output_s, reserved1) == 21);
#endif
