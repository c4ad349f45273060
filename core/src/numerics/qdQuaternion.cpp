// Orientation operations of quaternion<FloatingPoint<float>>.

#include <algorithm>
#include <cmath>

#include "numerics/fastAtan2.h"
#include "numerics/numericConstants.h"
#include "numerics/qdVectorFixed.h"

namespace vnx::qdVectorFixed {

// q = q + q (x) (0, a), a = rate times half the step (right product: body rate).
template <> void quaternion<Fp32>::stepByHalfAngles(const Vector3& a)
{
    const Fp32 w = e[0], x = e[1], y = e[2], z = e[3];
    e[0] = w - x * a[0] - y * a[1] - z * a[2];
    e[1] = x + w * a[0] + y * a[2] - z * a[1];
    e[2] = y + w * a[1] - x * a[2] + z * a[0];
    e[3] = z + w * a[2] + x * a[1] - y * a[0];
    renormalize();
}

template <> void quaternion<Fp32>::integrate(const Vector3& rate, Fp32 dt)
{
    stepByHalfAngles(rate * (dt >> 1));
}

template <> void quaternion<Fp32>::integrateTrapz(const Vector3& rate0, const Vector3& rate1, Fp32 dt)
{
    stepByHalfAngles((rate0 + rate1) * (dt >> 2));
}

template <>
quaternion<Fp32> quaternion<Fp32>::sLerp(const quaternion<Fp32>& a, const quaternion<Fp32>& b, Fp32 t)
{
    quaternion<Fp32> d = a.conj() * b;
    if (d.e[0] < Fp32(0.0f))
        d = -d; // the shorter way round
    const Fp32 s = d.vec().norm();
    if (s < Fp32(kSmallValueF))
        return a;

    const Fp32 halfAngle = Fp32::raw(atan2fMerrowind(s.value(), abs(d.e[0]).value()));
    const double phi = static_cast<double>((halfAngle * t).value());
    const Fp32 sinPhi = Fp32::raw(static_cast<float>(std::sin(phi)));
    const quaternion<Fp32> r{Fp32::raw(static_cast<float>(std::cos(phi))), sinPhi * d.e[1] / s,
                             sinPhi * d.e[2] / s, sinPhi * d.e[3] / s};
    return a * r;
}

template <> Fp32 quaternion<Fp32>::getAngularDistance(const quaternion<Fp32>& p) const
{
    const Fp32 s = (p.conj() * *this).vec().norm();
    if (s < Fp32(kSmallValueF))
        return Fp32(0.0f);
    const float halfAngle = atan2fMerrowind(s.value(), abs(dot(p, *this)).value());
    return Fp32::raw(std::fabs(2.0f * halfAngle));
}

template <> void quaternion<Fp32>::getEulerZYX(Vector3& eulerRad) const
{
    const Fp32 w = e[0], x = e[1], y = e[2], z = e[3];
    const Fp32 one(1.0f);
    eulerRad[2] =
        Fp32::raw(atan2fMerrowind(((w * z + x * y) << 1).value(), (((w * w + x * x) << 1) - one).value()));
    // Rounding can push a unit quaternion's sine just past 1.
    const float sinPitch = std::clamp(((w * y - x * z) << 1).value(), -1.0f, 1.0f);
    eulerRad[1] = Fp32::raw(std::asin(sinPitch));
    eulerRad[0] =
        Fp32::raw(atan2fMerrowind(((w * x + y * z) << 1).value(), (((w * w + z * z) << 1) - one).value()));
}

template <> void quaternion<Fp32>::asDcm(Matrix3& m) const
{
    const Fp32 w = e[0], x = e[1], y = e[2], z = e[3];
    const Fp32 ww = w * w, xx = x * x, yy = y * y, zz = z * z;
    m[0] = ww + xx - yy - zz;
    m[1] = (x * y - w * z) << 1;
    m[2] = (w * y + x * z) << 1;
    m[3] = (x * y + w * z) << 1;
    m[4] = ww - xx + yy - zz;
    m[5] = (y * z - w * x) << 1;
    m[6] = (x * z - w * y) << 1;
    m[7] = (y * z + w * x) << 1;
    m[8] = ww - xx - yy + zz;
}

template <> void quaternion<Fp32>::fromDcm(const Matrix3& m)
{
    const Fp32 one(1.0f);
    const Fp32 t0 = one + m[0] + m[4] + m[8];
    const Fp32 t1 = one + m[0] - m[4] - m[8];
    const Fp32 t2 = one - m[0] + m[4] - m[8];
    const Fp32 t3 = one - m[0] - m[4] + m[8];

    if (t0 >= t3 && t0 >= t1 && t0 >= t2) {
        const Fp32 s = sqrt(t0);
        *this = {s, (m[5] - m[7]) / s, (m[6] - m[2]) / s, (m[1] - m[3]) / s};
    } else if (t1 >= t2 && t1 >= t3) {
        const Fp32 s = sqrt(t1);
        *this = {(m[5] - m[7]) / s, s, (m[1] + m[3]) / s, (m[2] + m[6]) / s};
    } else if (t2 >= t3) {
        const Fp32 s = sqrt(t2);
        *this = {(m[6] - m[2]) / s, (m[1] + m[3]) / s, s, (m[5] + m[7]) / s};
    } else {
        const Fp32 s = sqrt(t3);
        *this = {(m[1] - m[3]) / s, (m[2] + m[6]) / s, (m[5] + m[7]) / s, s};
    }
    for (Fp32& v : e)
        v >>= 1;
}

} // namespace vnx::qdVectorFixed
