#pragma once

// Measuring ranges of a device's sensors as calibrated by its SCD: the
// magnitude of the calibrated output for a full-scale raw sample. Every
// function gives 0.0 for a null pointer, a buffer shorter than the 260-byte
// SCD, or a block that is not a sealed version-5 SCD.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#include <cstddef>
#include <cstdint>

namespace vnx::mobile {

/// Range of the sensor with output bit `sensor` (vnx_Mobile_OutputBit_e):
/// 0x1 accelerometer in m/s^2, 0x2 magnetometer in uT, 0x4 rotation rate
/// in rad/s; any other value 0.
float getSensorRange(std::uint32_t sensor, const void* scd, std::size_t size);

} // namespace vnx::mobile

extern "C" {
#endif

/// m/s^2
float vnx_Mobile_getAccRange(const void* scd, size_t size);
/// uT
float vnx_Mobile_getMagRange(const void* scd, size_t size);
/// rad/s
float vnx_Mobile_getGyroRange(const void* scd, size_t size);

#ifdef __cplusplus
} // extern "C"
#endif
