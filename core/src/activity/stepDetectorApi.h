#pragma once

// Records and exported version functions of the step detectors. The step
// detectors themselves are created by the activity tracker, which passes
// them each fusion record with the current activity and reads their output.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Real values are fixed-point words: value = word / 2^Q.
typedef struct vnx_StepDetectorConfig_s
{
    int32_t timeConstantQ30;      ///< s, time constant of the channel high-pass filters
    int32_t rawThresholdQ31;      ///< threshold of the raw-acceleration channel's position signal
    int32_t toleranceQ31;         ///< s, largest difference of two same-foot step intervals
    int32_t minSpacingQ31;        ///< s, shortest step interval (peak refractory time, counter minimum)
    int32_t unused;               ///< not read
    int32_t velocityThresholdQ31; ///< wrist: threshold of the velocity channel
    int32_t positionThresholdQ31; ///< phone: threshold of the position channel
    int32_t reportFractionQ31;    ///< fraction of the chosen channel's period that reported steps keep apart
    int32_t keepRatioQ30;         ///< largest ratio of the kept channel's period to the best period
    int32_t rawSilenceQ28;        ///< s, longest time since the raw channel's last step for a step to count
} vnx_StepDetectorConfig_s;

/// What a step detector reports for one fusion record.
typedef struct vnx_StepDetector_Output_s
{
    uint8_t changed; ///< 1 when the total changed in this sample
    uint8_t padding0;
    uint16_t peakMarker;      ///< 5 when the current channel took a peak in this sample
    uint16_t intervalSamples; ///< current channel: interval of its last counted step
    uint16_t padding1;
    uint32_t totalSteps;   ///< reported step count
    uint32_t rawStepFlags; ///< raw channel's step flag word: byte 12 = 1 when it took a peak
    float rawPosition;     ///< raw channel's position signal
    uint32_t timeUs;       ///< the fusion record's time stamp
} vnx_StepDetector_Output_s;

/// Algorithm versions: 2 for both detectors, 1 for their step counter.
int vnx_StepDetector_getDetectorVersion(void);
int vnx_StepDetectorWatch_getDetectorVersion(void);
int vnx_StepDetector_getCounterVersion(void);
int vnx_StepDetectorWatch_getCounterVersion(void);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_StepDetectorConfig_s) == 40);
static_assert(offsetof(vnx_StepDetectorConfig_s, timeConstantQ30) == 0);
static_assert(offsetof(vnx_StepDetectorConfig_s, rawThresholdQ31) == 4);
static_assert(offsetof(vnx_StepDetectorConfig_s, toleranceQ31) == 8);
static_assert(offsetof(vnx_StepDetectorConfig_s, minSpacingQ31) == 12);
static_assert(offsetof(vnx_StepDetectorConfig_s, unused) == 16);
static_assert(offsetof(vnx_StepDetectorConfig_s, velocityThresholdQ31) == 20);
static_assert(offsetof(vnx_StepDetectorConfig_s, positionThresholdQ31) == 24);
static_assert(offsetof(vnx_StepDetectorConfig_s, reportFractionQ31) == 28);
static_assert(offsetof(vnx_StepDetectorConfig_s, keepRatioQ30) == 32);
static_assert(offsetof(vnx_StepDetectorConfig_s, rawSilenceQ28) == 36);

static_assert(sizeof(vnx_StepDetector_Output_s) == 24);
static_assert(offsetof(vnx_StepDetector_Output_s, changed) == 0);
static_assert(offsetof(vnx_StepDetector_Output_s, padding0) == 1);
static_assert(offsetof(vnx_StepDetector_Output_s, peakMarker) == 2);
static_assert(offsetof(vnx_StepDetector_Output_s, intervalSamples) == 4);
static_assert(offsetof(vnx_StepDetector_Output_s, padding1) == 6);
static_assert(offsetof(vnx_StepDetector_Output_s, totalSteps) == 8);
static_assert(offsetof(vnx_StepDetector_Output_s, rawStepFlags) == 12);
static_assert(offsetof(vnx_StepDetector_Output_s, rawPosition) == 16);
static_assert(offsetof(vnx_StepDetector_Output_s, timeUs) == 20);
#endif
