#pragma once

// Angles of an output-frame quaternion (x, y, z, w) in degrees, in the three
// orders clients ask for, and gravity from the engine's two acceleration
// outputs. Each takes the quaternion and three floats out; a null pointer
// gives VNX_STATUS_INVALID_PARAMETER (-2) and writes nothing.

#include "sensorFusionMobile/mobileRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/// [0] heading in [0, 360), [1] pitch, [2] roll.
int vnx_Mobile_computeAndroidOrientation(const vnx_Mobile_Quaternion_s* q, float* anglesDeg);
/// [0] yaw in [0, 360), [1] roll, [2] pitch, all turning the other way.
int vnx_Mobile_computeEulerZYX(const vnx_Mobile_Quaternion_s* q, float* anglesDeg);
/// As vnx_Mobile_computeEulerZYX with the yaw in (-180, 180].
int vnx_Mobile_computeRollPitchYaw(const vnx_Mobile_Quaternion_s* q, float* anglesDeg);

/// gravity = acceleration - linearAcceleration per axis (three floats each).
int vnx_Mobile_computeGravity(const float* acceleration, const float* linearAcceleration, float* gravity);

#ifdef __cplusplus
} // extern "C"
#endif
