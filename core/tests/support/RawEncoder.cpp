#include "support/RawEncoder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vnx::testsupport {

namespace {

// The SCD's matrices take input axis i to output axis j through element
// 3i + j, so the map from inputs to outputs has entry (j, i) = m[3i + j].
Mat3d outputFromInput(const qdVectorFixed::Matrix3& m)
{
    Mat3d a{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            a[3 * j + i] = m[3 * i + j].value();
    return a;
}

/// Inverse by the adjugate; false when the determinant is zero or not finite.
bool invert(const Mat3d& a, Mat3d& inverse)
{
    const double c00 = a[4] * a[8] - a[5] * a[7];
    const double c01 = a[5] * a[6] - a[3] * a[8];
    const double c02 = a[3] * a[7] - a[4] * a[6];
    const double det = a[0] * c00 + a[1] * c01 + a[2] * c02;
    if (!(std::abs(det) > 0.0) || !std::isfinite(det))
        return false;
    inverse = {c00 / det, (a[2] * a[7] - a[1] * a[8]) / det, (a[1] * a[5] - a[2] * a[4]) / det,
               c01 / det, (a[0] * a[8] - a[2] * a[6]) / det, (a[2] * a[3] - a[0] * a[5]) / det,
               c02 / det, (a[1] * a[6] - a[0] * a[7]) / det, (a[0] * a[4] - a[1] * a[3]) / det};
    return true;
}

Vec3d apply(const Mat3d& m, const Vec3d& v)
{
    return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
            m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}

/// Solves a + c2 a^2 + c3 a^3 = target by Newton steps from a = target; the
/// curve is the accelerometer's small correction of a line, so a handful of
/// steps converge to double precision.
double solveCubic(double target, double c2, double c3)
{
    double a = target;
    for (int step = 0; step < 32; ++step) {
        const double residual = a + c2 * a * a + c3 * a * a * a - target;
        const double slope = 1.0 + 2.0 * c2 * a + 3.0 * c3 * a * a;
        if (slope == 0.0)
            break;
        const double delta = residual / slope;
        a -= delta;
        if (std::abs(delta) <= 1e-15 * std::max(1.0, std::abs(a)))
            break;
    }
    return a;
}

} // namespace

RawEncoder::RawEncoder(const FixedPointCal::Output& cal) : cal_(cal)
{
    if (!invert(outputFromInput(cal.accMatrix), accInverse_))
        throw std::invalid_argument("RawEncoder: the accelerometer matrix is singular");
    if (!invert(outputFromInput(cal.rsMatrix), rsInverse_))
        throw std::invalid_argument("RawEncoder: the rotation-sensor matrix is singular");
    hasMag_ = invert(outputFromInput(cal.magMatrix), magInverse_);
}

std::int16_t RawEncoder::toCount(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<std::int16_t>(std::clamp(std::nearbyint(value), -32768.0, 32767.0));
}

RawTriple RawEncoder::accelerometer(const Vec3d& mps2) const
{
    const Vec3d b = apply(accInverse_, mps2); // full-scale units, offset included
    RawTriple raw{};
    for (int i = 0; i < 3; ++i) {
        const double target = b[i] - cal_.accOffset[i].value();
        const double a = cal_.hasAccNonlinear ? solveCubic(target, cal_.accSecondOrder[i].value(),
                                                           cal_.accThirdOrder[i].value())
                                              : target;
        raw[i] = toCount(a * 32768.0);
    }
    return raw;
}

RawTriple RawEncoder::gyroscope(const Vec3d& radPerS, const RawTriple& accRaw) const
{
    Vec3d x = apply(rsInverse_, radPerS); // counts plus offset plus acceleration term
    if (cal_.hasRsAccSens) {
        const qdVectorFixed::Vector3 sens = applyScdMatrix(cal_.rsAccSensMatrix, accFromRaw(cal_, accRaw));
        for (int i = 0; i < 3; ++i)
            x[i] -= sens[i].value();
    }
    RawTriple raw{};
    for (int i = 0; i < 3; ++i)
        raw[i] = toCount(x[i] - cal_.rsOffset[i].value());
    return raw;
}

RawTriple RawEncoder::magnetometer(const Vec3d& field) const
{
    if (!hasMag_)
        return RawTriple{};
    const Vec3d x = apply(magInverse_, field);
    RawTriple raw{};
    for (int i = 0; i < 3; ++i)
        raw[i] = toCount(x[i] - cal_.magOffset[i].value());
    return raw;
}

std::int16_t RawEncoder::temperature(double degC) const
{
    if (cal_.tempScale == 0.0f)
        return 0;
    return toCount(degC / cal_.tempScale + cal_.tempOffset);
}

} // namespace vnx::testsupport
