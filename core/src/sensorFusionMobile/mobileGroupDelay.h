#pragma once

// Adaptive group delay of the gyro-stabilised accelerometer and magnetometer
// filters of the mobile fusion engine. After a gap or a disturbance the delay
// restarts short and grows step by step toward a limit set by the gyroscope
// error; a still device jumps to the settled delay at once and feeds the
// filter the still window's mean. Pure state and functions; the engine
// applies the result to its filter.

#include <cstdint>

#include "numerics/FloatingPoint.h"

namespace vnx::mobile {

struct GroupDelay
{
    enum State_e : std::uint8_t
    {
        kGrowingAfterGap = 0,
        kGrowingAfterDisturbance = 1,
        kStill = 2,
        kSettled = 3,
        kAtLimit = 4,
    };

    Fp32 delayS{};      ///< current group delay; 0 or below runs the filter as a pass-through
    Fp32 settledS{};    ///< delay of a still, settled device
    Fp32 coefficient{}; ///< filter coefficient of the current delay
    std::uint8_t state = kGrowingAfterGap;

    /// The delay is the settled one (within the float epsilon).
    bool isSettled() const;
};

/// What the owner knows about this filter step.
struct GroupDelayStep
{
    std::uint32_t intervalUs; ///< since the previous step; 250001 or more is a gap
    Fp32 stepS;               ///< T: decimated gyroscope period
    bool disturbed;           ///< the input is out of range or unreliable
    Fp32 disturbedDelayS;     ///< delay to restart from after a disturbance
    Fp32 limitS;              ///< L: longest delay the gyroscope error allows
    bool motion;              ///< the stillness detector saw motion
    bool still;               ///< the stillness detector reported a still window
};

/// How the owner runs its filter after an update.
enum class GroupDelayInput_e
{
    kCurrent,        ///< filter the current vector
    kRestartCurrent, ///< re-initialise the filter, then filter the current vector
    kStillMean,      ///< filter the still window's mean (coefficient 0)
};

/// Smallest interval counted as a gap in the sample stream, us.
inline constexpr std::uint32_t kGroupDelayGapUs = 250001;

GroupDelayInput_e updateGroupDelay(GroupDelay& g, const GroupDelayStep& step);

/// Delay limits from the gyroscope error e (rad/s): the larger the error,
/// the less the filters may lean on the integrated rotation.
Fp32 accelerometerDelayLimit(Fp32 gyroErrorRadPerS);
Fp32 magnetometerDelayLimit(Fp32 gyroErrorRadPerS);

} // namespace vnx::mobile
