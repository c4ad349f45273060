#pragma once

// Compass heading of a device held flat or upright. Lying flat, the heading
// is the yaw of the device; held upright, the yaw is ill-defined and the
// heading follows the direction the screen faces instead. A mode byte that
// the caller keeps between calls (starting at 0) records which formula is in
// use, with hysteresis on the tilt so the heading does not jump back and
// forth near the switch-over: it turns upright (mode 1) once the device is
// tilted 55 degrees or more from flat, and flat again (mode 0) only below 35.

#include <stdint.h>

#include "sensorFusionMobile/mobileRecords.h"

#ifdef __cplusplus
#include "numerics/qdVectorFixed.h"

namespace vnx::mobile {

/// Compass modes of the mode byte.
enum CompassMode : std::int8_t
{
    kCompassFlat = 0,
    kCompassUpright = 1
};

/// Heading in radians in [-pi, pi] of the internal quaternion p (w, x, y, z);
/// a mode other than 0 or 1 is taken as 0.
void CompassHeadingProcessRangePiToPi(const qdVectorFixed::Quaternion& p, float& headingRad,
                                      std::int8_t& mode);
/// As above with negative headings moved up by 2 pi, so in [0, 2 pi].
void CompassHeadingProcessRange0To2Pi(const qdVectorFixed::Quaternion& p, float& headingRad,
                                      std::int8_t& mode);

} // namespace vnx::mobile

extern "C" {
#endif

/// Heading in radians in [0, 2 pi] of an output-frame quaternion (x, y, z, w);
/// *mode is read and updated. VNX_STATUS_INVALID_PARAMETER (-2) for a null
/// pointer or a quaternion with a NaN or infinite part (nothing written).
int vnx_Mobile_compassHeading(const vnx_Mobile_Quaternion_s* q, float* headingRad, int8_t* mode);
/// As vnx_Mobile_compassHeading, heading in [-pi, pi].
int vnx_Mobile_compassHeading_RangePiToPi(const vnx_Mobile_Quaternion_s* q, float* headingRad, int8_t* mode);

#ifdef __cplusplus
} // extern "C"
#endif
