#pragma once

// Where an input batch carries its device sample counter. Sensor records of
// the separate-sensor kind (DeviceSupport) carry it in their Format, the
// combined sensor records (DeviceSupport6AG and DeviceSupport9AGM) in their
// Output; every place is the 32-bit word at byte 16.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/record.h"

namespace vnx {

/// The counter of a stored batch and the further places that take its
/// widened value, so every record of the batch tells the same number.
struct SampleNumberSite
{
    uint8_t* counter = nullptr;         ///< null: the batch has no sample number
    uint8_t* companions[2] = {nullptr}; ///< DeviceSupport Formats of the accelerometer and magnetometer

    uint32_t read() const;
    /// Writes `number` into the counter and the companions.
    void write(uint32_t number) const;
};

/// The counter of a batch as stored: the Format of the gyroscope's
/// DeviceSupport record, else a DeviceSupport6AG Output, else a
/// DeviceSupport9AGM Output.
SampleNumberSite findStoredSampleNumber(size_t n, vnx_StructOutput_s** outputs, vnx_StructFormat_s** formats);

/// The sample number a batch is run under: a DeviceSupport6AG Output, else a
/// DeviceSupport9AGM Output, else the Format of the first DeviceSupport
/// record; none when the batch has none of them.
std::optional<uint32_t> runSampleNumber(size_t n, const vnx_StructOutput_s* const* outputs,
                                        const vnx_StructFormat_s* const* formats);

} // namespace vnx
