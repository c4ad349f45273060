#pragma once

// Compact forms of a unit quaternion for reports. The four-word form holds
// x, y, z, w as signed 16-bit words (scaled by 16384 for packing, by 10000
// for the distance functions). The three-word form drops the largest
// component and rebuilds it from the unit norm:
//   word 0 = (r0 << 1) | (k >> 1)
//   word 1 = (r1 << 1) | (k & 1)
//   word 2 = (r2 << 1) | (sign of component k)
// with components indexed w, x, y, z (0 to 3), k the index of the largest
// magnitude (the first on ties) and r0, r1, r2 the other three in index
// order. A kept component is at most 1/sqrt(2) of 16384, so its top bit is
// free for the shift.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_Mobile_Quaternion16_s
{
    int16_t x;
    int16_t y;
    int16_t z;
    int16_t w;
} vnx_Mobile_Quaternion16_s;

/// Packs a Q14 quaternion into three words. Kept components beyond
/// [-16384, 16383] (only possible for a non-unit input) are clamped so their
/// sign survives the shift. VNX_STATUS_INVALID_PARAMETER (-2) for a null
/// pointer (nothing written).
int vnx_Mobile_encodeQuaternion16x4_to_16x3(const vnx_Mobile_Quaternion16_s* q, int16_t* packed);
/// Unpacks three words into a Q14 quaternion; the dropped component is the
/// whole part of sqrt(2^28 - a^2 - b^2 - c^2), 0 when the kept ones already
/// exceed unit norm. VNX_STATUS_INVALID_PARAMETER (-2) for a null pointer.
int vnx_Mobile_decodeQuaternion16x3_to_16x4(const int16_t* packed, vnx_Mobile_Quaternion16_s* q);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_Mobile_Quaternion16_s) == 8);
static_assert(offsetof(vnx_Mobile_Quaternion16_s, x) == 0);
static_assert(offsetof(vnx_Mobile_Quaternion16_s, y) == 2);
static_assert(offsetof(vnx_Mobile_Quaternion16_s, z) == 4);
static_assert(offsetof(vnx_Mobile_Quaternion16_s, w) == 6);
#endif
