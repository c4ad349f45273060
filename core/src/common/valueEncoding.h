#pragma once

// Value encoding of record number fields. A value word carries a fixed-point
// number or float bits; the q code of its group in the Format record says
// which: 127 float bits, 129 (the byte 0x81, -127 as a signed byte) no value,
// any other q a fixed-point number with q fractional bits (value = word / 2^q,
// q may be negative or above 31). Results: 0 success, -2 no value (or divisor
// 0, or a null target), -16 the result does not fit its target (the target is
// then untouched).

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// One value word of a record.
typedef union vnx_Number32_u {
    int32_t fixed; ///< fixed-point number
    float real;    ///< IEEE single-precision value (q code 127)
    uint32_t bits; ///< the raw word
} vnx_Number32_u;

#define VNX_QPOINT_FLOAT ((int8_t)127)
#define VNX_QPOINT_INVALID ((int8_t)-127) /* the byte 129 */

/// Reads the word as float. No value (-2): `out` untouched.
int32_t vnx_getFloat32(vnx_Number32_u word, int8_t q, float* out);

/// As vnx_getFloat32, but when there is no value `out` gets `defaultValue` (still -2).
int32_t vnx_getFloat32WithDefault(vnx_Number32_u word, int8_t q, float* out, float defaultValue);

/// The value times `scale`, rounded to an integer in -32767..32767; from float
/// bits, rounded half away from zero and clamped to -32768..32767 instead.
int32_t vnx_getInt16(vnx_Number32_u word, int16_t scale, int8_t q, int16_t* out);

/// The value times `scale`, rounded to an integer in -2147483647..2147483647;
/// from float bits, rounded and clamped to the int32 range instead.
int32_t vnx_getInt32(vnx_Number32_u word, int32_t scale, int8_t q, int32_t* out);

/// Stores `value` in the word's encoding; fixed point rounds to nearest and
/// clamps to the int32 range silently.
int32_t vnx_setFloat32(float value, int8_t q, vnx_Number32_u* out);

/// Stores value / divisor in the word's encoding.
int32_t vnx_setInt16(int16_t value, int16_t divisor, int8_t q, vnx_Number32_u* out);

/// Stores value / divisor in the word's encoding.
int32_t vnx_setInt32(int32_t value, int32_t divisor, int8_t q, vnx_Number32_u* out);

#ifdef __cplusplus
}
#endif
