#pragma once

// The static calibration the application gives every presenter's engine
// device: the receiver does not pass the presenter's own calibration on, so
// one block serves all of them. A 260-byte, version-5 SCD (125 Hz, an
// accelerometer of 8 g and a gyroscope of 2000 degrees per second full
// scale, mounted turned by a quarter turn about z) followed by 12 zero bytes,
// 272 bytes in all: the room a ManualDevice Config has for an SCD.

#include <array>
#include <cstddef>
#include <cstdint>

#include "calibration/scdData.h"

constexpr size_t kDefaultScdSize = 272;

/// The 260 bytes of calibration, sealed (its 65 words sum to zero).
extern const scdGen4Float_s kDefaultScdBlock;

/// The whole block as bytes: kDefaultScdBlock, then 12 zero bytes.
extern const std::array<uint8_t, kDefaultScdSize> kDefaultScd;
