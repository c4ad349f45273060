#pragma once

// The input interfaces of the SensorInterpretation module and how one raw
// sample is read from each: separate DeviceSupport sensor records (0, 1), a
// DeviceSupport6AG record (2) or a DeviceSupport9AGM record (3).

#include <cstddef>
#include <cstdint>
#include <span>

#include "calibration/rawConversion.h"
#include "common/record.h"

namespace vnx {

/// One raw accelerometer and gyroscope sample with its sample number, flags
/// and raw temperature, whatever record carried it.
struct RawSensorSample
{
    std::uint32_t sampleNumber = 0;
    std::uint32_t sampleFlags = 0; ///< 32 (glitch): the gyroscope reading is invalid
    std::int16_t temperature = 0;  ///< raw count
    RawTriple acc{};               ///< raw counts
    RawTriple rs{};                ///< raw counts
};

inline constexpr int kRawSampleInterfaceCount = 4;

/// Type ids of the records interface `index` takes per call; empty for an
/// index outside 0 to 3.
std::span<const std::uint8_t> rawSampleInterfaceTypes(int index);

/// Reads the sample of input interface `index`. 0 on success; -17 for an
/// unknown interface; -2 when the count does not cover the interface's
/// records or a record (or the DeviceSupport Format of interfaces 0 and 1) is
/// missing or of another type; -4 when a sensor the interface needs is not
/// among the DeviceSupport records. `sample` is written only on success.
int readRawSample(int index, std::size_t inputCount, const vnx_StructOutput_s* const* inputs,
                  const vnx_StructFormat_s* const* inputFormats, RawSensorSample& sample);

} // namespace vnx
