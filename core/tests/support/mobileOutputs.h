#pragma once

// Mobile fusion output records for the tests of the detectors and the
// activity engine, which read only the accelerometer: sensor bit 0 set, a
// time stamp in us and the acceleration in m/s^2, every other field zero.
//
//   auto records = accelerometerRecords({{0, 0, 9.81f}, {10, 0, 9.81f}}, 2000);
//   auto walk = accelerometerRecords(3000, 20000, [](std::size_t, double t) {
//       return Acc{0, 0, 9.81f + 2.5f * std::sin(2 * pi * 2.0 * t)};
//   });
//
// Time stamps are unsigned 32-bit and wrap like the engine's.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "sensorFusionMobile/mobileRecords.h"

namespace vnx::testsupport {

/// Acceleration x, y, z in m/s^2.
using Acc = std::array<float, 3>;

/// One record carrying a new accelerometer sample.
vnx_Mobile_Output_s accelerometerRecord(std::uint32_t timeUs, const Acc& acc);

/// One record per sample, periodUs apart, the first at startUs.
std::vector<vnx_Mobile_Output_s> accelerometerRecords(const std::vector<Acc>& samples, std::uint32_t periodUs,
                                                      std::uint32_t startUs = 0);

/// `count` records periodUs apart; the sample of record i is
/// generator(i, t) with t = i * periodUs in seconds from the first record.
std::vector<vnx_Mobile_Output_s>
accelerometerRecords(std::size_t count, std::uint32_t periodUs,
                     const std::function<Acc(std::size_t, double)>& generator, std::uint32_t startUs = 0);

} // namespace vnx::testsupport
