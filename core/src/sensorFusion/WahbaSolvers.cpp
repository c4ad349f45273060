#include "sensorFusion/WahbaSolvers.h"

#include <algorithm>

#include "numerics/matrixSolversLu.h"
#include "numerics/numericConstants.h"
#include "numerics/wahba.h"
#include "sensorFusion/SensorFusionWeightedFusion.h"
#include "sensorFusion/frameRotation.h"

namespace vnx::WahbaSolvers {

namespace {

using qdVectorFixed::Matrix3;
using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;
using sensorFusion::saturated;

constexpr int kGaussNewtonSteps = 10;

Fp32 clampUnit(Fp32 x)
{
    // NaN saturates to 2^31 first, so it clamps to 1 rather than spreading.
    return Fp32(std::clamp(saturated(x).value(), -1.0f, 1.0f));
}

// Rows 3r .. 3r + 2 of the 6 x 4 Jacobian, row-major: the derivatives of
// conj(q) (x) (0, v) (x) q, that is R(q)^T v, by w, x, y and z.
void jacobianRows(const Quaternion& q, const Vector3& v, float* J, int r)
{
    const float w = (q.w() << 1).value(), x = (q.x() << 1).value();
    const float y = (q.y() << 1).value(), z = (q.z() << 1).value();
    const float vx = v[0].value(), vy = v[1].value(), vz = v[2].value();
    float* row0 = J + 4 * (3 * r);
    float* row1 = row0 + 4;
    float* row2 = row1 + 4;
    row0[0] = w * vx + z * vy - y * vz;
    row0[1] = x * vx + y * vy + z * vz;
    row0[2] = -y * vx + x * vy - w * vz;
    row0[3] = -z * vx + w * vy + x * vz;
    row1[0] = -z * vx + w * vy + x * vz;
    row1[1] = y * vx - x * vy + w * vz;
    row1[2] = x * vx + y * vy + z * vz;
    row1[3] = -w * vx - z * vy + y * vz;
    row2[0] = y * vx - x * vy + w * vz;
    row2[1] = z * vx - w * vy - x * vz;
    row2[2] = w * vx + z * vy - y * vz;
    row2[3] = x * vx + y * vy + z * vz;
}

} // namespace

void GaussNewton(const Quaternion& q0, const Vector3& a, const Vector3& b, const Vector3& ra,
                 const Vector3& rb, Quaternion& q)
{
    q = q0;
    for (int step = 0; step < kGaussNewtonSteps; ++step) {
        const Vector3 ea = sensorFusion::rotateByConjugate(q, a) - ra;
        const Vector3 eb = sensorFusion::rotateByConjugate(q, b) - rb;
        const float e[6] = {ea[0].value(), ea[1].value(), ea[2].value(),
                            eb[0].value(), eb[1].value(), eb[2].value()};
        float J[24];
        jacobianRows(q, a, J, 0);
        jacobianRows(q, b, J, 1);

        // Normal equations (J^T J) delta = J^T e; J^T J is symmetric, so its
        // storage order does not matter.
        float JtJ[16];
        float Jte[4];
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                float s = J[i] * J[j];
                for (int k = 1; k < 6; ++k)
                    s += J[4 * k + i] * J[4 * k + j];
                JtJ[i + 4 * j] = s;
            }
            float s = J[i] * e[0];
            for (int k = 1; k < 6; ++k)
                s += J[4 * k + i] * e[k];
            Jte[i] = s;
        }
        float delta[4];
        float det;
        Matrix_4x4_4x1_mldivide(JtJ, Jte, delta, &det);
        for (int i = 0; i < 4; ++i)
            q[i] = q[i] - Fp32(delta[i]);
    }
}

void TwoRotationsAcc(const Vector3& u, const Vector3& g, const Vector3& v, Quaternion& q)
{
    const Fp32 zero(0.0f), one(1.0f), half(0.5f);

    // Tilt: about the horizontal axis perpendicular to g, by the angle
    // between g and straight down.
    const Fp32 n = sqrt(g[0] * g[0] + g[1] * g[1]);
    Vector3 k{zero, zero, zero};
    if (n > Fp32(kSmallValueF))
        k = {saturated(-g[1] / n), saturated(g[0] / n), zero};
    const Fp32 c = clampUnit(g[2]);
    const Fp32 sinHalf = sqrt((one + c) * half);
    const Quaternion qa{sqrt((one - c) * half), sinHalf * k[0], sinHalf * k[1], sinHalf * k[2]};
    if (qa.normSquared() == zero) {
        // Exactly upside down: no tilt axis to turn about, take a half turn
        // about x.
        q = {zero, one, zero, zero};
        return;
    }

    // Heading: the direction of v in the levelled frame.
    const Vector3 w = sensorFusion::rotateByQuaternion(qa, v);
    Fp32 r = sqrt(w[0] * w[0] + w[1] * w[1]);
    if (u[0] < zero)
        r = -r;
    Fp32 s = zero;
    Fp32 co = one;
    if (!(r == zero)) { // NaN takes this branch too
        s = clampUnit(-w[1] / r);
        co = clampUnit(w[0] / r);
    }
    Fp32 qbz = sqrt((one - co) * half);
    if (s < zero)
        qbz = -qbz;
    const Quaternion qb{sqrt((one + co) * half), zero, zero, qbz};

    q = qb * qa;
    const float n2 = q.normSquared().value();
    constexpr float kUpper = 1.0f + kSmallValueF;
    constexpr float kLower = 1.0f - kSmallValueF;
    if (n2 > kUpper || n2 < kLower) {
        const Fp32 len = q.norm();
        for (int i = 0; i < 4; ++i)
            q[i] = saturated(q[i] / len);
    }
}

void TwoRotationsMag(const Vector3& f, const Vector3& m, const Vector3& g, Quaternion& q)
{
    const Fp32 zero(0.0f), half(0.5f);

    // The ordinary reference (-sqrt(1 - d^2), 0, d) always has a negative x;
    // nearly parallel vectors keep that sign with (-1, 0, 0).
    Vector3 h{Fp32(-1.0f), zero, zero};
    if (SensorFusionWeightedFusion::computeHu(m, g, h) != 0)
        h[0] = -h[0];
    TwoRotationsAcc(h, g, m, q);

    const Fp32 t = -(f[2] * half);
    const Quaternion p{saturated(sqrt(half + t)), zero, saturated(-sqrt(half - t)), zero};
    q = p * q;
    if (q.w() < zero)
        q = -q;
}

void WahbaSvd(const Vector3& a, const Vector3& b, const Vector3& c, Fp32 w1, Fp32 w2, Quaternion& q)
{
    const Vector3 down{Fp32(0.0f), Fp32(0.0f), Fp32(-1.0f)};
    float B[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            B[3 * i + j] = (w2 * c[i] * a[j] + w1 * b[i] * down[j]).value();

    // The proper rotation nearest to B: U diag(1, 1, det U det V) V^T.
    float R[9];
    solveWahbaUsingSVD(B, R);
    Matrix3 M;
    for (int i = 0; i < 9; ++i)
        M[i] = Fp32(R[i]);
    q.fromDcm(M);
}

} // namespace vnx::WahbaSolvers
