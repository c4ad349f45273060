#pragma once

// Activity tracker: step counting and activity classification for phones
// and watches on the output of the mobile fusion engine.
//
// Calling order of a client:
//   vnx_ActivityTracker_initialize(&handle, &config, scd, scdLength);
//   vnx_ActivityTracker_enableOutputPeriodsAndDeriveInputPeriods(handle, &categories, outputPeriod,
//                                                                &periods, &pressurePeriod);
//       (then the fusion engine's own negotiation on the same periods)
//   vnx_ActivityTracker_setInputPeriods(handle, &granted, grantedPressurePeriod);
//   vnx_ActivityTracker_getEffectiveOutputPeriods(handle, &granted, 0, &effective, &frame, &acc);
//   per fusion record: vnx_ActivityTracker_process(handle, &record, &out, &flag);
//   per pressure sample: vnx_ActivityTracker_reportPressure(handle, pressure, timeUs);
//   vnx_ActivityTracker_finalize(handle);
// A new enable and setInputPeriods pair may come at any time. Status codes:
// 0; 3 no output in this call; -2 a null pointer or a handle that is not
// live; -4 a refused configuration; -13 a refused SCD; -21 out of memory;
// -24 a period the tracker cannot work with (it is then disabled until the
// next enable and setInputPeriods pair). No exception leaves a call.

#include <stddef.h>
#include <stdint.h>

#include "activity/activityClassifierApi.h"
#include "activity/stepDetectorApi.h"
#include "sensorFusionMobile/mobileRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_ActivityTracker_s* vnx_ActivityTracker_Handle;

/// One step-detection channel on the acceleration norm. Real values are
/// fixed-point words: value = word / 2^Q.
typedef struct vnx_ActivityTracker_Channel_Config_s
{
    int32_t timeConstantQ30; ///< s, time constant of the channel's filters
    int32_t thresholdQ31;    ///< detection threshold of its position signal
    int32_t toleranceQ31;    ///< s, largest difference of two same-foot intervals
    int32_t minSpacingQ31;   ///< s, shortest interval between two detections
} vnx_ActivityTracker_Channel_Config_s;

/// Device kind of vnx_ActivityTrackerConfigInnards_s; any other value is a watch.
#define VNX_ACTIVITY_TRACKER_PHONE 0

typedef struct vnx_ActivityTrackerConfigInnards_s
{
    int32_t deviceKind;                                    ///< 0 phone, any other value watch
    vnx_ActivityTracker_Channel_Config_s stepChannel;      ///< steps for the gait classifier
    vnx_ActivityTracker_Channel_Config_s vibrationChannel; ///< quick small shakes (watch)
    vnx_ActivityClassifierConfig_s classifier;
    vnx_StepDetectorConfig_s stepDetector;
} vnx_ActivityTrackerConfigInnards_s;

/// The configuration block: size 228 and version 4, then the innards.
typedef struct vnx_ActivityTracker_atConfigMemory_s
{
    uint16_t size;
    uint16_t version;
    vnx_ActivityTrackerConfigInnards_s innards;
} vnx_ActivityTracker_atConfigMemory_s;

#define VNX_ACTIVITY_TRACKER_CONFIG_SIZE 228
#define VNX_ACTIVITY_TRACKER_CONFIG_VERSION 4

/// What a client asks for and, after the enable call, what it gets.
typedef struct vnx_ActivityTracker_OutputCategoriesPeriods_s
{
    uint32_t classes;     ///< in: activity codes wanted (bit n = code n); out: codes produced
    int32_t stepPeriodUs; ///< step-count output period; 0 or less: no step counting
} vnx_ActivityTracker_OutputCategoriesPeriods_s;

/// Validity bits of vnx_ActivityTracker_Output_s.
#define VNX_ACTIVITY_TRACKER_NEW_CLASSIFICATION 0x1u
#define VNX_ACTIVITY_TRACKER_NEW_STEPS 0x2u

/// One process call's result. A part whose validity bit is clear was not
/// written: it keeps what the caller had there.
typedef struct vnx_ActivityTracker_Output_s
{
    uint32_t valid;  ///< VNX_ACTIVITY_TRACKER_NEW_*
    uint32_t timeUs; ///< time stamp of the fusion record
    vnx_ActivityClassifier_Output_s classification;
    vnx_StepDetector_Output_s steps;
} vnx_ActivityTracker_Output_s;

/// Version of the tracker: 4.
int vnx_ActivityTracker_getVersion(void);
/// Writes 511 (activity codes 0-8) and returns 0.
int vnx_ActivityTracker_getSupportedClassificationFlags(uint32_t* flags);
/// A new tracker for the device the SCD (scdLength bytes) describes.
/// -21 with *handle untouched when memory runs out; -13 (bad SCD) or -4 (bad
/// configuration) with *handle null.
int vnx_ActivityTracker_initialize(vnx_ActivityTracker_Handle* handle,
                                   const vnx_ActivityTracker_atConfigMemory_s* config, const uint8_t* scd,
                                   size_t scdLength);
/// 1 for null or a live handle (destroyed now), 0 for anything else.
int vnx_ActivityTracker_finalize(vnx_ActivityTracker_Handle handle);
/// Enables the categories asked for: the classes (code 0 cannot be asked
/// for; steps add walking and running) and steps at
/// min(stepPeriodUs, outputPeriod) when outputPeriod is not 0. Writes the
/// accelerometer period wanted into periods[0] (at most 40000 us) and the
/// pressure period into *pressurePeriodUs (stairs only), the produced
/// classes and the step period into *categories. Returns 0.
int vnx_ActivityTracker_enableOutputPeriodsAndDeriveInputPeriods(
    vnx_ActivityTracker_Handle handle, vnx_ActivityTracker_OutputCategoriesPeriods_s* categories,
    int32_t outputPeriod, vnx_Mobile_VirtualSensorPeriods_s* periods, int32_t* pressurePeriodUs);
/// The periods really delivered: 0, or -24 (tracker disabled).
int vnx_ActivityTracker_setInputPeriods(vnx_ActivityTracker_Handle handle,
                                        const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                        int32_t pressurePeriodUs);
/// The produced classes and step period, the classification frame period
/// and the accelerometer period; all 0 while the tracker is disabled.
int vnx_ActivityTracker_getEffectiveOutputPeriods(vnx_ActivityTracker_Handle handle,
                                                  const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                  int32_t unused,
                                                  vnx_ActivityTracker_OutputCategoriesPeriods_s* effective,
                                                  int32_t* classificationPeriodUs,
                                                  int32_t* accelerometerPeriodUs);
/// 0; 3 while disabled or for a record without an accelerometer sample
/// (then only out->valid is written, as 0).
int vnx_ActivityTracker_process(vnx_ActivityTracker_Handle handle, const vnx_Mobile_Output_s* in,
                                vnx_ActivityTracker_Output_s* out, uint8_t* flag);
/// Pressure with 20 fractional bits, time stamp in us; always 0.
int vnx_ActivityTracker_reportPressure(vnx_ActivityTracker_Handle handle, int32_t pressureQ20,
                                       uint32_t timestampUs);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_ActivityTracker_Channel_Config_s) == 16);
static_assert(sizeof(vnx_ActivityTrackerConfigInnards_s) == 224);
static_assert(offsetof(vnx_ActivityTrackerConfigInnards_s, deviceKind) == 0);
static_assert(offsetof(vnx_ActivityTrackerConfigInnards_s, stepChannel) == 4);
static_assert(offsetof(vnx_ActivityTrackerConfigInnards_s, vibrationChannel) == 20);
static_assert(offsetof(vnx_ActivityTrackerConfigInnards_s, classifier) == 36);
static_assert(offsetof(vnx_ActivityTrackerConfigInnards_s, stepDetector) == 184);
static_assert(offsetof(vnx_ActivityTracker_Channel_Config_s, timeConstantQ30) == 0);
static_assert(offsetof(vnx_ActivityTracker_Channel_Config_s, thresholdQ31) == 4);
static_assert(offsetof(vnx_ActivityTracker_Channel_Config_s, toleranceQ31) == 8);
static_assert(offsetof(vnx_ActivityTracker_Channel_Config_s, minSpacingQ31) == 12);

static_assert(sizeof(vnx_ActivityTracker_atConfigMemory_s) == VNX_ACTIVITY_TRACKER_CONFIG_SIZE);
static_assert(offsetof(vnx_ActivityTracker_atConfigMemory_s, size) == 0);
static_assert(offsetof(vnx_ActivityTracker_atConfigMemory_s, version) == 2);
static_assert(offsetof(vnx_ActivityTracker_atConfigMemory_s, innards) == 4);

static_assert(sizeof(vnx_ActivityTracker_OutputCategoriesPeriods_s) == 8);
static_assert(offsetof(vnx_ActivityTracker_OutputCategoriesPeriods_s, classes) == 0);
static_assert(offsetof(vnx_ActivityTracker_OutputCategoriesPeriods_s, stepPeriodUs) == 4);

static_assert(sizeof(vnx_ActivityTracker_Output_s) == 56);
static_assert(offsetof(vnx_ActivityTracker_Output_s, valid) == 0);
static_assert(offsetof(vnx_ActivityTracker_Output_s, timeUs) == 4);
static_assert(offsetof(vnx_ActivityTracker_Output_s, classification) == 8);
static_assert(offsetof(vnx_ActivityTracker_Output_s, steps) == 32);
#endif
