// Pure parts of the magnetometer ellipsoid solve.

#include <cmath>

#include "magCalibration/MagnetometerAmplitudeCal.h"
#include "magCalibration/magCalConversions.h"
#include "numerics/matrixSolversLu.h"
#include "numerics/svd.h"

namespace vnx {

using magcal::saturated;

namespace {

// Below this diagonal sum the field strength would exceed 8 sensor units:
// report a field no sensor of this kind measures.
constexpr float kSmallestDiagonalSum = 0.37500012f;
constexpr float kUnknownFieldStrength = 10000.0f;

} // namespace

MagnetometerAmplitudeCal::Mat3 MagnetometerAmplitudeCal::magnetometerformV(const Theta& theta)
{
    const Fp one(1.0f);
    const Fp two(2.0f);
    Mat3 V;
    V(0, 0) = one + theta[0] + theta[1];
    V(1, 1) = one + theta[0] - two * theta[1];
    V(2, 2) = one - two * theta[0] + theta[1];
    V(0, 1) = V(1, 0) = theta[2];
    V(0, 2) = V(2, 0) = theta[3];
    V(1, 2) = V(2, 1) = theta[4];
    return V;
}

MagnetometerAmplitudeCal::Mat3 MagnetometerAmplitudeCal::magnetometerComputeSqrtV(const Theta& theta)
{
    float v[9];
    magcal::toColumnMajor(magnetometerformV(theta), v);
    svdOutput_t svd;
    svdIntermediateResult work;
    svdSimulink(v, &svd, &work);
    // U diag(sqrt(s)) V^T, column-major.
    float root[9];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            float acc = 0.0f;
            for (int k = 0; k < 3; ++k)
                acc += svd.U[i + 3 * k] * std::sqrt(svd.singularValues[k]) * svd.V[j + 3 * k];
            root[i + 3 * j] = acc;
        }
    }
    return magcal::fromColumnMajor(root);
}

MagnetometerAmplitudeCal::Vec3 MagnetometerAmplitudeCal::magnetometerComputeOffsetHead(const Mat3& M,
                                                                                       const Theta& theta)
{
    float a[9];
    magcal::toColumnMajor(M, a);
    const float b[3] = {theta[5].value(), theta[6].value(), theta[7].value()};
    float x[3];
    Matrix_3x3_3x1_mldivide(a, b, x);
    return {Fp(x[0]), Fp(x[1]), Fp(x[2])};
}

MagnetometerAmplitudeCal::Fp MagnetometerAmplitudeCal::magnetometerComputeCo(const Vec3& c, Fp theta8)
{
    return saturated(Fp(1.0f) / (c.normSquared() - theta8));
}

MagnetometerAmplitudeCal::Fp MagnetometerAmplitudeCal::computeFieldStrength(const Mat3& M)
{
    const Fp sum = abs(M(0, 0)) + abs(M(1, 1)) + abs(M(2, 2));
    if (sum <= Fp(kSmallestDiagonalSum))
        return Fp(kUnknownFieldStrength);
    return Fp(3.0f) / sum;
}

MagnetometerAmplitudeCal::Fp MagnetometerAmplitudeCal::computeAmplitudeErr(const Vec3& v)
{
    return abs(v.norm() - Fp(1.0f));
}

} // namespace vnx
