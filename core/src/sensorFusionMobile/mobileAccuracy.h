#pragma once

// 2-bit accuracies of the mobile fusion engine's outputs (0 unreliable to 3
// high) and the accuracy bits of the output record. Pure functions.

#include <cstdint>

#include "sensorFusionMobile/mobileRecords.h"

namespace vnx::mobile {

/// Accuracy of an error angle in degrees with hysteresis against the
/// previous accuracy: it drops from 3 to 2 at 16 degrees but climbs back to
/// 3 only below 8 degrees, and likewise between the other levels.
std::uint8_t get2BitAccuracyWithHysteresis(float angleDeg, std::uint8_t previous);

/// floor(x) clamped to 0..3 (the zero-rate estimate weight, 0 to 4).
std::uint8_t get2BitZroAccuracy(float x);

/// Sets the two accuracy bits of the output with valid bit `bit`.
void updateAccuracy(vnx_Mobile_Output_s& out, std::uint32_t bit, std::uint8_t accuracy);

} // namespace vnx::mobile
