#pragma once

// Sealed DCD blocks for tests: the two forms that init accepts, learned with
// the SCD of a given CRC-32.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "calibration/dcdData.h"
#include "common/crc32.h"

namespace vnx::testsupport {

/// A sealed 260-byte DCD learned with the SCD of CRC `scdCrc`.
inline dcdAlg49AxisFixed_s nineAxisDcd(std::uint32_t scdCrc, const dcdAlg4MinFixedInnards_s& innards,
                                       const dcdMagAmpCal_s& mag)
{
    dcdAlg49AxisFixed_s dcd;
    std::memset(&dcd, 0, sizeof dcd);
    dcd.head.size = VNX_DCD_ALG49AXISFIXED_SIZE;
    dcd.head.version = VNX_DCD_ALG49AXISFIXED_VERSION;
    dcd.innards = innards;
    dcd.magAmpCal = mag;
    dcd.scdCrc = scdCrc;
    dcd.crc = crc32_process(&dcd, offsetof(dcdAlg49AxisFixed_s, crc));
    return dcd;
}

/// A sealed 184-byte DCD (gyroscope state only).
inline dcdAlg4MinFixed_s gyroOnlyDcd(std::uint32_t scdCrc, const dcdAlg4MinFixedInnards_s& innards)
{
    dcdAlg4MinFixed_s dcd;
    std::memset(&dcd, 0, sizeof dcd);
    dcd.head.size = VNX_DCD_ALG4MINFIXED_SIZE;
    dcd.head.version = VNX_DCD_ALG4MINFIXED_VERSION;
    dcd.innards = innards;
    dcd.scdCrc = scdCrc;
    dcd.crc = crc32_process(&dcd, offsetof(dcdAlg4MinFixed_s, crc));
    return dcd;
}

} // namespace vnx::testsupport
