#pragma once

// The members of the detector family as one table of data: what each one
// exports as its defaults function, the algorithm version it reports, the
// accelerometer period it asks for when enabled and the periods it accepts.
// The period negotiation (DetectorBase) and the flat API (DetectorFamily)
// read their limits from here, so a member's limits live in one place.

#include <cstdint>

namespace vnx::activity {

enum class DetectorId : int
{
    Tap,
    Sleep,
    ShakeAcc,
    PickUp,
    Flip,
    Tilt,
    Circle,
    Pocket,
    SignificantMotion,
    Step,
    StepWatch,
    Count
};

struct DetectorMember
{
    const char* className;        ///< also the flat prefix: vnx_<className>_
    const char* defaultsFunction; ///< null for the step detectors (configured by their owner)
    int version;
    /// Enable call: an accelerometer period of 0, or above this, is replaced by it (us).
    std::int32_t maxPeriodUs;
    /// setInputPeriods accepts 1 to this many us; 0, negative and longer periods disable.
    std::int32_t acceptedMaxUs;
    /// Enable call: a negative request is replaced by maxPeriodUs too (the
    /// member compares periods[0] - 1 as unsigned); the others leave it.
    bool negativeRequestTakesMaximum;
};

inline constexpr DetectorMember kDetectorMembers[] = {
    {"TapDetector", "vnx_TapDetector_getTapDefaults", 1, 2000, 2500, false},
    {"SleepDetector", "vnx_SleepDetector_getDefaults", 1, 200000, 222222, false},
    {"ShakeDetectorAcc", "vnx_ShakeDetectorAcc_getShakeDefaults", 1, 32000, 33333, false},
    {"PickUpDetector", "vnx_PickUpDetector_getPickUpDefaults", 1, 100000, 111111, false},
    {"FlipDetector", "vnx_FlipDetector_getFlipDefaults", 1, 100000, 111111, false},
    {"TiltDetector", "vnx_TiltDetector_getConfigDefaults", 1, 100000, 111111, true},
    {"CircleDetector", "vnx_CircleDetector_getConfigDefaults", 1, 40000, 40000, true},
    {"PocketDetector", "vnx_PocketDetector_getConfigDefaults", 1, 200000, 200000, false},
    {"SignificantMotion", "vnx_SignificantMotion_getSigMoDefaults", 1, 40000, 40000, false},
    {"StepDetector", nullptr, 2, 40000, 44444, false},
    {"StepDetectorWatch", nullptr, 2, 40000, 42105, false},
};

static_assert(sizeof(kDetectorMembers) / sizeof(kDetectorMembers[0]) == static_cast<int>(DetectorId::Count));

constexpr const DetectorMember& detectorMember(DetectorId id)
{
    return kDetectorMembers[static_cast<int>(id)];
}

} // namespace vnx::activity
