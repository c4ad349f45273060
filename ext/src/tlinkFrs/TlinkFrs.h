#pragma once

// Names of the flash-record (FRS) protocol: record types and the device
// memories they live in.

#include <cstdint>

namespace TlinkFrs {

/// A flash record's type, as the device numbers it (16 bits on the wire).
enum RecordType_e : uint32_t
{
    RECORD_SCD = 0xECA1,           ///< the static calibration of most units
    RECORD_SCD_ALTERNATE = 0x7979, ///< the static calibration of one unit family
    RECORD_WIDE_WINDOW = 0xA1A1,   ///< written with a window of seven words
};

/// The device memory a record is read from or written to: the destination
/// byte of every message of the transaction.
enum TargetType_e : uint32_t
{
    TARGET_UNIT = 4, ///< the unit's own flash, where its SCD is
};

} // namespace TlinkFrs
