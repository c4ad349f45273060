#pragma once

#include <cstdint>

namespace vnx::log {

/// Converts one array element of kind `testPoint` (TestPoint_e) to an 8-bit
/// value: 1-byte integers are copied; wider integers keep their low 8 bits;
/// floats, doubles and fixed-point values are truncated toward zero to a
/// 32-bit signed integer (out of range or NaN: 0x80000000) and keep its low
/// 8 bits. False, and `out` untouched, for kinds without elements.
/// `element` may be unaligned.
bool convertToLowByte(const void* element, uint32_t testPoint, uint8_t& out);

} // namespace vnx::log
