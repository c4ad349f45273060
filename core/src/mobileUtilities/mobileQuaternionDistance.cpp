#include "mobileUtilities/mobileQuaternionDistance.h"

#include <limits>

#include "mobileUtilities/int16Conversion.h"
#include "mobileUtilities/internalFrame.h"

namespace vnx::mobile {

qdVectorFixed::Quaternion convertQuaternion16(const vnx_Mobile_Quaternion16_s& q)
{
    constexpr float kScale = 0.0001f;
    return toInternalFrame(q.x * kScale, q.y * kScale, q.z * kScale, q.w * kScale);
}

} // namespace vnx::mobile

extern "C" {

float vnx_Mobile_quaternionDistance(const vnx_Mobile_Quaternion_s* a, const vnx_Mobile_Quaternion_s* b)
{
    if (a == nullptr || b == nullptr)
        return std::numeric_limits<float>::quiet_NaN();
    const auto p = vnx::mobile::toInternalFrame(*a);
    const auto q = vnx::mobile::toInternalFrame(*b);
    return q.getAngularDistance(p).value();
}

int16_t vnx_Mobile_quaternionDistance16(const vnx_Mobile_Quaternion16_s* a,
                                        const vnx_Mobile_Quaternion16_s* b)
{
    if (a == nullptr || b == nullptr)
        return -1;
    const auto p = vnx::mobile::convertQuaternion16(*a);
    const auto q = vnx::mobile::convertQuaternion16(*b);
    const float tenths = q.getAngularDistance(p).value() * 10.0f;
    return vnx::mobile::truncateToInt16(vnx::mobile::roundHalfAwayFromZero(tenths));
}

} // extern "C"
