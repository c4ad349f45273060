#pragma once

// Angle of the rotation between two orientations, for clients that compare
// outputs of the mobile fusion engine.

#include <stdint.h>

#include "mobileUtilities/mobileQuaternion16.h"
#include "sensorFusionMobile/mobileRecords.h"

#ifdef __cplusplus
#include "numerics/qdVectorFixed.h"

namespace vnx::mobile {

/// Internal quaternion (w, x, y, z) of a four-word output-frame quaternion
/// scaled by 10000.
qdVectorFixed::Quaternion convertQuaternion16(const vnx_Mobile_Quaternion16_s& q);

} // namespace vnx::mobile

extern "C" {
#endif

/// Rotation angle in radians in [0, pi] between two output-frame quaternions
/// (x, y, z, w); NaN when a pointer is null.
float vnx_Mobile_quaternionDistance(const vnx_Mobile_Quaternion_s* a, const vnx_Mobile_Quaternion_s* b);
/// The same angle between two four-word quaternions scaled by 10000, in
/// tenths of a radian (0 to 31); -1 when a pointer is null.
int16_t vnx_Mobile_quaternionDistance16(const vnx_Mobile_Quaternion16_s* a,
                                        const vnx_Mobile_Quaternion16_s* b);

#ifdef __cplusplus
} // extern "C"
#endif
