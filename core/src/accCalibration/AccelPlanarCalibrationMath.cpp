// The stand-alone computations of the planar calibration: the offset
// estimate of a window pair, its weight, yaw unwrapping and the misalignment
// rotation.

#include <cmath>

#include "accCalibration/AccelPlanarCalibration.h"
#include "numerics/normalTail.h"
#include "numerics/numericConstants.h"

namespace vnx {

namespace {

using qdVectorFixed::Matrix3;
using qdVectorFixed::Vector3;

// Weight scale: a pair whose combined noise and half-turn departure reach
// kWeightKnee gets weight 1/2; the weight falls like the upper tail of a
// normal distribution with spread kWeightKnee beyond that.
constexpr float kWeightKnee = 0.05f;
constexpr float kDotScale = 1.7017522f;

// Yaw differences beyond this many turns are reduced in one step rather
// than one turn at a time.
constexpr float kManyTurns = 64.0f * kTwoPiF;

// Below this sine of the tilt, n is taken as the z axis itself.
constexpr float kMinTilt = 0.0001f;

} // namespace

Vector3 AccelPlanarCalibration::calculateZgo(const Vector3& m1, const Vector3& m2, Vector3 n)
{
    const Vector3 mid = (m1 + m2) / Fp32(2.0f);
    // The midpoint holds +g along the measured up direction: subtract it.
    const bool sameSide =
        (n[2] > Fp32(0.0f) && mid[2] > Fp32(0.0f)) || (n[2] < Fp32(0.0f) && mid[2] <= Fp32(0.0f));
    if (sameSide)
        n = -n;
    const Vector3 c = mid + Fp32(kGravity) * n;
    return {Fp32(c[0].value()), Fp32(c[1].value()), Fp32(c[2].value())};
}

Fp32 AccelPlanarCalibration::computeWeight(const Vector2& r, Fp32 d)
{
    const Fp32 rho = r.norm() / Fp32(2.0f);
    const Fp32 delta = d * Fp32(kDotScale) / Fp32(2.0f);
    const Fp32 t = (sqrt(delta * delta + rho * rho) - Fp32(kWeightKnee)) / Fp32(kWeightKnee);
    const Fp32 p = Fp32(normalUpperTail(abs(t).value()));
    return t >= Fp32(0.0f) ? p : Fp32(1.0f) - p;
}

Fp32 AccelPlanarCalibration::unwrapYaw(Fp32 y, Fp32 ref)
{
    float v = y.value();
    const float r = ref.value();
    // A far-off (or infinite) value would take (or spin) forever turn by turn.
    if (!(std::fabs(v - r) <= kManyTurns))
        v = r + std::remainder(v - r, kTwoPiF);
    while (v - r > kPiF)
        v -= kTwoPiF;
    while (v - r < -kPiF)
        v += kTwoPiF;
    return Fp32::raw(v);
}

void AccelPlanarCalibration::calculateMisalignment(Vector3* n, Matrix3* M)
{
    Vector3& v = *n;
    if (v[2] < Fp32(0.0f))
        v = -v;
    const Fp32 s = sqrt(Fp32(1.0f) - v[2] * v[2]);
    if (!(s >= Fp32(kMinTilt))) {
        *M = Matrix3::identity();
        return;
    }
    const Fp32 u = v[1] / s;
    const Fp32 c = -v[0] / s;
    // Rotation about z (cosine c, sine u) after a rotation about y (cosine
    // n.z, sine s).
    *M = {v[2] * c, -u, s * c, v[2] * u, c, s * u, -s, Fp32(0.0f), v[2]};
}

} // namespace vnx
