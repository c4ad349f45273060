#pragma once

// The input interfaces of the SensorInterpretation9Axis module and how one raw
// sample is read from them: one DeviceSupport record per sensor, the sample
// fields in the first DeviceSupport Format.

#include <cstddef>
#include <cstdint>
#include <span>

#include "calibration/rawConversion.h"
#include "common/record.h"

namespace vnx {

/// Raw counts of one sample by sensor, with the sample fields of its Format.
struct RawNineAxisSample
{
    std::uint32_t sampleNumber = 0;
    std::uint32_t sampleFlags = 0; ///< 32 (glitch): the gyroscope reading is invalid
    std::int16_t temperature = 0;  ///< raw count
    RawTriple acc{};
    RawTriple rs{};
    RawTriple mag{};
    bool hasAcc = false;
    bool hasRs = false;
    bool hasMag = false;
};

inline constexpr int kNineAxisInterfaceCount = 2;

/// Type ids of the records interface `index` takes per call: 0 two
/// DeviceSupport records, 1 three and a SensorFusion Output (not read);
/// empty for any other index.
std::span<const std::uint8_t> nineAxisInterfaceTypes(int index);

/// Reads the sample of input interface `index`: each DeviceSupport record
/// counts by its sensor byte, a later record of a sensor replacing an earlier
/// one. 0 on success (a sensor may still be missing); -17 for an unknown
/// interface; -2 when the count does not cover the DeviceSupport records or
/// one of them, or the first DeviceSupport Format, is missing or of another
/// type. `sample` is written only on success.
int readNineAxisSample(int index, std::size_t inputCount, const vnx_StructOutput_s* const* inputs,
                       const vnx_StructFormat_s* const* inputFormats, RawNineAxisSample& sample);

} // namespace vnx
