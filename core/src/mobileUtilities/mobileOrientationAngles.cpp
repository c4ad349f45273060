#include "mobileUtilities/mobileOrientationAngles.h"

#include <algorithm>
#include <cmath>

#include "common/statusCode.h"

namespace {

constexpr float kDegPerRad = 57.29578f;

/// The three angles every order is built from, in radians.
struct QuaternionAngles
{
    float about0; ///< rotation of the first axis pair (heading)
    float about1; ///< rotation of the second axis pair (roll)
    float tilt;   ///< asin term (pitch)
};

QuaternionAngles anglesOf(const vnx_Mobile_Quaternion_s& q)
{
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    QuaternionAngles a;
    a.about0 = std::atan2(-(2.0f * w * z + 2.0f * x * y), x * x + w * w - y * y - z * z);
    a.about1 = std::atan2(-(2.0f * x * w + 2.0f * y * z), w * w - x * x - y * y + z * z);
    // Rounding lets a unit quaternion's sine pass 1 by an ulp; asin would give NaN.
    a.tilt = std::asin(std::clamp(2.0f * x * z - 2.0f * w * y, -1.0f, 1.0f));
    return a;
}

float wrapNegative(float deg)
{
    return deg < 0.0f ? deg + 360.0f : deg;
}

} // namespace

extern "C" {

int vnx_Mobile_computeAndroidOrientation(const vnx_Mobile_Quaternion_s* q, float* anglesDeg)
{
    if (q == nullptr || anglesDeg == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    const QuaternionAngles a = anglesOf(*q);
    anglesDeg[0] = wrapNegative(a.about0 * kDegPerRad);
    anglesDeg[1] = a.tilt * kDegPerRad;
    anglesDeg[2] = a.about1 * kDegPerRad;
    return VNX_STATUS_SUCCESS;
}

int vnx_Mobile_computeEulerZYX(const vnx_Mobile_Quaternion_s* q, float* anglesDeg)
{
    if (q == nullptr || anglesDeg == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    const QuaternionAngles a = anglesOf(*q);
    anglesDeg[0] = wrapNegative(a.about0 * -kDegPerRad);
    anglesDeg[1] = a.about1 * -kDegPerRad;
    anglesDeg[2] = a.tilt * -kDegPerRad;
    return VNX_STATUS_SUCCESS;
}

int vnx_Mobile_computeRollPitchYaw(const vnx_Mobile_Quaternion_s* q, float* anglesDeg)
{
    if (q == nullptr || anglesDeg == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    const QuaternionAngles a = anglesOf(*q);
    anglesDeg[0] = a.about0 * -kDegPerRad;
    anglesDeg[1] = a.about1 * -kDegPerRad;
    anglesDeg[2] = a.tilt * -kDegPerRad;
    return VNX_STATUS_SUCCESS;
}

int vnx_Mobile_computeGravity(const float* acceleration, const float* linearAcceleration, float* gravity)
{
    if (acceleration == nullptr || linearAcceleration == nullptr || gravity == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    for (int i = 0; i < 3; ++i)
        gravity[i] = acceleration[i] - linearAcceleration[i];
    return VNX_STATUS_SUCCESS;
}

} // extern "C"
