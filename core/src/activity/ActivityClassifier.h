#pragma once

// Activity codes (one byte, also the bit numbers of class masks) and the
// classifier's tests on them.

#include <cstdint>

namespace vnx::activity {

enum ActivityCode : std::uint8_t
{
    kActivityUnknown = 0,
    kActivityInVehicle = 1,
    kActivityWatchMotion = 2, ///< motion class of the wrist device only
    kActivityOnFoot = 3,
    kActivityStill = 4,
    kActivityTilting = 5,
    kActivityWalking = 6,
    kActivityRunning = 7,
    kActivityOnStairs = 8,
};

class ActivityClassifier
{
  public:
    /// Walking (6) or running (7): the codes whose steps are counted.
    static constexpr bool isOnFoot(std::uint8_t activity) { return (activity & 0xFE) == kActivityWalking; }
};

} // namespace vnx::activity
