#pragma once

#include "numerics/FloatingPoint.h"

// Conversions between orientation quaternions (w, x, y, z), Euler angles
// (element 0 roll about x, 1 pitch about y, 2 yaw about z, radians, applied in
// the order z, y, x) and 3 x 3 direction-cosine matrices stored column by
// column (row i, column j at index i + 3j).

namespace vnx {

/// Roll angle and squared pitch sine of the conjugate rotation of q, the pair
/// the pointer engine reads on every sample.
void q2Euler(const Fp32 q[4], Fp32& angle, Fp32& sineSquared);

/// Euler angles of q with the library atan2f and asinf. A pitch sine pushed
/// past +-1 by rounding is clamped (pitch +-pi/2).
void q2EulerFull(const Fp32 q[4], Fp32 eulerRad[3]);

/// Quaternion of Euler angles, with the fast sine and cosine; rescaled to
/// unit norm only when the squared norm left [0.9999999, 1.0000001].
void eulerFull2Q(const Fp32 eulerRad[3], Fp32 q[4]);

/// Direction-cosine matrix of q.
void q2DCM(const float q[4], float m[9]);

/// Quaternion of a direction-cosine matrix, always with w >= 0.
void dcm2q(const float m[9], float q[4]);

/// Rotation angle of a direction-cosine matrix, in [0, pi].
float dcm2RotateAngle(const float m[9]);

/// Yaw of a direction-cosine matrix in degrees.
float dcm2YawAngle(const float m[9]);

/// d = a * b^T. d may be the same array as a or b.
void computeDiffDCM(const float a[9], const float b[9], float d[9]);

} // namespace vnx
