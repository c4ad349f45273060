#pragma once

// Period rules of the mobile fusion engine: which sensor periods serve a set
// of requested outputs, the decimation of fast gyroscopes, and which output
// periods a set of sensor periods really delivers. Pure functions.

#include <cstdint>

#include "sensorFusionMobile/mobileRecords.h"

namespace vnx::mobile {

/// Sensor periods that serve the requested output periods, and the output
/// bits of every requested (positive) slot.
struct DerivedPeriods
{
    vnx_Mobile_PhysicalSensorPeriods_s physical;
    std::uint32_t enabledOutputs;
};

DerivedPeriods deriveInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& requested);

/// Output bit of each virtual sensor slot.
std::uint32_t outputBitOfSlot(int slot);

/// Gyroscope samples per decimated step: the decimated stages run at about
/// 2500 us or slower. 1 for periods of 2500 us and more.
std::uint8_t decimationFactor(std::int32_t gyroscopePeriodUs);

/// The period each enabled output gets from the sensor periods P with the
/// decimation factor D; 0 for an output that is not enabled. A decimated
/// period beyond the int32 range is clamped to it.
vnx_Mobile_VirtualSensorPeriods_s effectiveOutputPeriods(const vnx_Mobile_PhysicalSensorPeriods_s& physical,
                                                         std::uint32_t enabledOutputs,
                                                         std::uint8_t decimation);

} // namespace vnx::mobile
