#pragma once

// The receiver's 64-byte input reports as the presenter's traffic produces
// them: byte 1 the packet kind, byte 2 the presenter's device number, then
// the kind's own bytes from byte 3 on.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "deviceSupport/DeviceSupport6AG.h"

constexpr size_t kPresenterReportSize = 64;
using PresenterReport = std::array<uint8_t, kPresenterReportSize>;

/// Byte 0 of every report the receiver sends.
constexpr uint8_t kPresenterReportId = 0x01;

/// A kind-1 sample: bytes 3-4 the 16-bit sample counter, 5-6 the
/// temperature, 7-12 the gyroscope, 13-18 the accelerometer, every value a
/// little-endian 16-bit word (the sample number of `sample` is not used).
PresenterReport motionReport(uint8_t deviceNumber, uint16_t counter, const vnx_DeviceSupport6AG_Output_s& sample);

/// A kind-3 button code at byte 3.
PresenterReport buttonReport(uint8_t deviceNumber, uint8_t code);

/// A kind-8 receiver status: the code at byte 3, `data` from byte 5 on (at
/// most 16 bytes are kept).
PresenterReport statusReport(uint8_t deviceNumber, uint8_t code, std::span<const uint8_t> data = {});
