#pragma once

// What the two in-vehicle components give the activity classifier once per
// classification frame; only the status byte is read.

#include <cstddef>
#include <cstdint>

namespace vnx::activity {

struct InVehicleOutput
{
    /// Status codes.
    static constexpr std::uint8_t kVehicle = 0; ///< a vehicle-like pattern
    static constexpr std::uint8_t kStill = 3;   ///< the device is still
    static constexpr std::uint8_t kUndecided = 4;

    std::uint32_t reserved0; ///< 0
    std::uint8_t status;
    std::uint8_t padding[3];
    std::uint32_t reserved1; ///< 0
};

static_assert(sizeof(InVehicleOutput) == 12);
static_assert(offsetof(InVehicleOutput, status) == 4);
static_assert(offsetof(InVehicleOutput, reserved1) == 8);

} // namespace vnx::activity
