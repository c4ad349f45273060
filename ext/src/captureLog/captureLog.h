#pragma once

// What a device's module host writes into its two capture logs: the
// raw-input log (the sensor and button records it is fed, with input and
// fusion ticks) and the output log (one line per processed sample: fusion,
// cursor and buttons). Files go to the property LOGGING_DIR (default "."),
// named after the local time of opening and the device. Every call on a
// closed writer writes nothing.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "calibration/dcdData.h"
#include "calibration/scdData.h"
#include "common/record.h"
#include "deviceDomain/DeviceRecords.h"
#include "dsfWriter/DsfWriter.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "log/Logger.h"

namespace vnx::capture {

/// Stream buffer of each capture file.
constexpr size_t kStreamBufferSize = 16384;
/// Longest capture file path.
constexpr size_t kMaxPathLength = 255;

/// What both log headers describe.
struct Subject
{
    const char* deviceName;            ///< as the device names itself; spaces become "_" in file names
    uint8_t moduleType;                ///< type id of the hosted module
    const vnx_Device_Config_s* config; ///< the host's stored Device config
};

/// Opens a new raw-input file (closing the writer first) and writes its
/// header: versions, device settings, the SCD, the DCD when one is given,
/// the bounds when known, the eight channels and their sampling period
/// (`periodUs`). False when no file could be made: the writer stays closed.
/// `log` is the host's logger.
bool openRawInputLog(DsfWriter& writer, const log::Logger& log, const Subject& subject,
                     const vnx_scdData_s* scd, const vnx_dcdData_s* dcd,
                     const vnx_ExtendedCursor_SetBoundsData_s* bounds, uint32_t periodUs);

/// Opens a new output file (closing the writer first) and writes its header
/// and its one multi-column channel.
bool openOutputLog(DsfWriter& writer, const log::Logger& log, const Subject& subject);

/// Raw-input lines of one stored batch: sensor channels with the sample ids
/// the records carry, buttons and the input tick with the batch's sample
/// number (0 without one). Times are seconds since `startNs` on the engine
/// clock.
void logRawInput(DsfWriter& writer, int64_t startNs, size_t n, const vnx_StructOutput_s* const* outputs,
                 const vnx_StructFormat_s* const* formats, std::optional<uint32_t> sampleNumber);

/// The fusion tick of a sample handed to the module.
void logFusionTick(DsfWriter& writer, int64_t startNs, uint32_t sampleNumber);

/// One output line, when the outputs hold a SensorFusion Output with its
/// Format, an ExtendedCursor Output and a ButtonActivity Output; nothing
/// otherwise. The sample id is the cursor's sample number in periods of
/// `periodUs` (0 while the period is unknown).
void logMotionOutput(DsfWriter& writer, int64_t startNs, uint32_t periodUs, size_t n,
                     const vnx_StructOutput_s* const* outputs, const vnx_StructFormat_s* const* formats);

/// The eight bound properties of an ExtendedCursor SetBounds command.
void logBoundsData(DsfWriter& writer, const vnx_ExtendedCursor_SetBoundsData_s& bounds);

} // namespace vnx::capture
