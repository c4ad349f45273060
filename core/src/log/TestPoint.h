#pragma once

#include <cstddef>
#include <cstdint>

namespace vnx::log {

/// What a logged piece of raw data is: for arrays, its element type and size.
/// Values 1 to 391 name array element types; the named values below are the
/// kinds of payload the text, record and output-list calls produce.
///
///   1-4, 5-8   integers of 1, 2, 4, 8 bytes (two sets, same sizes)
///   9, 10      IEEE float, IEEE double
///   43-106     64-bit signed fixed point, value = raw * 2^(tp - 106)
///   107-201    32-bit signed fixed point, value = raw * 2^(tp - 170)
///   202-296    16-bit signed fixed point, value = raw * 2^(tp - 265)
///   297-391    8-bit signed fixed point,  value = raw * 2^(tp - 360)
/// Every other value below 392 is unused and has no elements.
enum TestPoint_e : uint32_t
{
    TP_NONE = 0,
    TP_FLOAT = 9,
    TP_DOUBLE = 10,
    TP_TEXT = 392,
    TP_RECORD = 393,
    TP_OUTPUT_LIST = 394,
};

/// Bytes per element of an array of this kind; 0 for text, records, output
/// lists and unused values, which have their own payload rules (or none).
uint32_t testPoint_elementSize(uint32_t testPoint);

/// For the fixed-point kinds (43 to 391): true, with the power of two that
/// scales a raw element into its value (value = raw * 2^exponent).
bool testPoint_fixedPointExponent(uint32_t testPoint, int& exponent);

/// countA x countB x elementSize into `bytes`; false when the product would
/// not fit a log record's 32-bit length field (such a piece is dropped).
bool testPoint_arrayBytes(size_t countA, size_t countB, size_t elementSize, size_t& bytes);

} // namespace vnx::log
