#include "mobileUtilities/mobileCompassHeading.h"

#include <cmath>

#include "common/statusCode.h"
#include "mobileUtilities/internalFrame.h"
#include "numerics/fastAtan2.h"
#include "numerics/numericConstants.h"

namespace vnx::mobile {

namespace {

constexpr float kCos35Deg = 0.819152f;  // back to flat only once tilted less than 35 degrees
constexpr float kCos55Deg = 0.5735764f; // upright once tilted 55 degrees or more

} // namespace

void CompassHeadingProcessRangePiToPi(const qdVectorFixed::Quaternion& p, float& headingRad,
                                      std::int8_t& mode)
{
    const float w = p.w().value(), x = p.x().value(), y = p.y().value(), z = p.z().value();
    // Cosine of the angle between the device's z axis and the vertical.
    const float cosTilt = std::fabs(2.0f * (w * w + z * z) - 1.0f);
    const bool upright =
        (mode == kCompassUpright && cosTilt < kCos35Deg) || (mode == kCompassFlat && cosTilt <= kCos55Deg);
    if (upright) {
        mode = kCompassUpright;
        headingRad = atan2fMerrowind(2.0f * (z * y - w * x), 2.0f * (w * y + z * x));
    } else {
        mode = kCompassFlat;
        headingRad = atan2fMerrowind(2.0f * (w * z + x * y), 2.0f * (w * w + x * x) - 1.0f);
    }
}

void CompassHeadingProcessRange0To2Pi(const qdVectorFixed::Quaternion& p, float& headingRad,
                                      std::int8_t& mode)
{
    CompassHeadingProcessRangePiToPi(p, headingRad, mode);
    if (headingRad < 0.0f)
        headingRad += kTwoPiF;
}

} // namespace vnx::mobile

namespace {

/// A NaN or infinite part would give a heading of noise.
bool isFinite(const vnx_Mobile_Quaternion_s& q)
{
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

} // namespace

extern "C" {

int vnx_Mobile_compassHeading(const vnx_Mobile_Quaternion_s* q, float* headingRad, int8_t* mode)
{
    if (q == nullptr || headingRad == nullptr || mode == nullptr || !isFinite(*q))
        return VNX_STATUS_INVALID_PARAMETER;
    vnx::mobile::CompassHeadingProcessRange0To2Pi(vnx::mobile::toInternalFrame(*q), *headingRad, *mode);
    return VNX_STATUS_SUCCESS;
}

int vnx_Mobile_compassHeading_RangePiToPi(const vnx_Mobile_Quaternion_s* q, float* headingRad, int8_t* mode)
{
    if (q == nullptr || headingRad == nullptr || mode == nullptr || !isFinite(*q))
        return VNX_STATUS_INVALID_PARAMETER;
    vnx::mobile::CompassHeadingProcessRangePiToPi(vnx::mobile::toInternalFrame(*q), *headingRad, *mode);
    return VNX_STATUS_SUCCESS;
}

} // extern "C"
