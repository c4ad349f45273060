#include "numerics/orientationConversions.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "numerics/fastAtan2.h"
#include "numerics/fastSinCos.h"
#include "numerics/numericConstants.h"
#include "numerics/unitQuaternion.h"

namespace vnx {

void q2Euler(const Fp32 q[4], Fp32& angle, Fp32& sineSquared)
{
    const Fp32 w = q[0], x = q[1], y = q[2], z = q[3];
    const Fp32 one(1.0f);
    angle =
        Fp32::raw(atan2fMerrowind(((y * z - w * x) << 1).value(), (one - ((x * x + y * y) << 1)).value()));
    const Fp32 s = (-(z * x) - w * y) << 1;
    sineSquared = s * s;
}

void q2EulerFull(const Fp32 q[4], Fp32 eulerRad[3])
{
    const float w = q[0].value(), x = q[1].value(), y = q[2].value(), z = q[3].value();
    eulerRad[0] = Fp32::raw(std::atan2(2.0f * (w * x + y * z), 1.0f - 2.0f * (x * x + y * y)));
    // Unclamped, a unit quaternion near pitch +-pi/2 could give NaN here.
    eulerRad[1] = Fp32::raw(std::asin(std::clamp(2.0f * (w * y - x * z), -1.0f, 1.0f)));
    eulerRad[2] = Fp32::raw(std::atan2(2.0f * (w * z + x * y), 1.0f - 2.0f * (y * y + z * z)));
}

void eulerFull2Q(const Fp32 eulerRad[3], Fp32 q[4])
{
    const Fp32 r = eulerRad[0] >> 1, p = eulerRad[1] >> 1, y = eulerRad[2] >> 1;
    const Fp32 sr = sinFiMerrowind(r), sp = sinFiMerrowind(p), sy = sinFiMerrowind(y);
    const Fp32 cr = cosFiMerrowind(r), cp = cosFiMerrowind(p), cy = cosFiMerrowind(y);
    q[0] = cr * cp * cy + sr * sp * sy;
    q[1] = sr * cp * cy - cr * sp * sy;
    q[2] = cr * sp * cy + sr * cp * sy;
    q[3] = cr * cp * sy - sr * sp * cy;
    renormalizeUnitQuaternion(q);
}

void q2DCM(const float q[4], float m[9])
{
    const float w = q[0], x = q[1], y = q[2], z = q[3];
    const float ww = w * w, xx = x * x, yy = y * y, zz = z * z;
    m[0] = ww + xx - yy - zz;
    m[1] = 2.0f * (x * y + w * z);
    m[2] = 2.0f * (x * z - w * y);
    m[3] = 2.0f * (x * y - w * z);
    m[4] = ww - xx + yy - zz;
    m[5] = 2.0f * (w * x + y * z);
    m[6] = 2.0f * (w * y + x * z);
    m[7] = 2.0f * (y * z - w * x);
    m[8] = ww - xx - yy + zz;
}

void dcm2q(const float m[9], float q[4])
{
    const auto halfRoot = [](float t) { return 0.5f * std::sqrt(std::max(0.0f, t)); };
    const auto signedBy = [](float v, float signSource) { return signSource < 0.0f ? -v : v; };
    q[0] = halfRoot(1.0f + m[0] + m[4] + m[8]);
    q[1] = signedBy(halfRoot(1.0f + m[0] - m[4] - m[8]), m[5] - m[7]);
    q[2] = signedBy(halfRoot(1.0f - m[0] + m[4] - m[8]), m[6] - m[2]);
    q[3] = signedBy(halfRoot(1.0f - m[0] - m[4] + m[8]), m[1] - m[3]);
    renormalizeUnitQuaternion(q);
}

float dcm2RotateAngle(const float m[9])
{
    double t = static_cast<double>(m[4]) + static_cast<double>(m[0]);
    t = static_cast<double>(m[8]) + t + 1.0;
    if (t >= 4.0)
        return 0.0f;
    if (t <= 0.0)
        return kPiF;
    return static_cast<float>(2.0 * std::acos(0.5 * std::sqrt(t)));
}

float dcm2YawAngle(const float m[9])
{
    const float angle = m[6] >= 1.0f ? std::atan2(m[1], m[2]) : std::atan2(m[3], m[0]);
    return angle * 180.0f / kPiF;
}

void computeDiffDCM(const float a[9], const float b[9], float d[9])
{
    float ac[9], bc[9]; // copies make any aliasing of d harmless
    std::memcpy(ac, a, sizeof ac);
    std::memcpy(bc, b, sizeof bc);
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            float sum = 0.0f;
            for (int k = 0; k < 3; ++k)
                sum += ac[i + 3 * k] * bc[j + 3 * k];
            d[i + 3 * j] = sum;
        }
    }
}

} // namespace vnx
