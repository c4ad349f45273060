#include "sensorFusion/SensorFusionWeightedFusion.h"

#include <algorithm>
#include <cmath>

#include "numerics/fastAtan2.h"
#include "numerics/numericConstants.h"
#include "sensorFusion/WahbaSolvers.h"
#include "sensorFusion/frameRotation.h"

namespace vnx {

namespace {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;
using sensorFusion::saturated;

// cos(5 degrees): closer to parallel leaves no usable heading.
constexpr float kParallelCos = 0.9961947f;
constexpr float kMaxVariance = 7.999f;
constexpr float kMaxNoise = 3.999f;
constexpr float kMinNoise = 0.0001f;
constexpr float kGravity = 9.8f; // m/s^2
// Accelerometer noise level that marks a vector without direction.
constexpr float kNoDirectionNoise = 127.0f;
// Tilt noise above which, or above the tilt variance and this floor, the
// accelerometer is rejected (the device accelerates).
constexpr float kAccRejectNoise = 1.04f;
constexpr float kAccRejectFloor = 0.027f;
constexpr float kMagRejectFloor = 0.09f;
// Gain caps: overall, and for tilt-only corrections within 1 degree.
constexpr float kMaxGain = 0.8f;
constexpr float kFineTiltGain = 0.0125f;
constexpr float kOneDegreeRad = 0.017453292f;

const Vector3 kWorldX{Fp32(1.0f), Fp32(0.0f), Fp32(0.0f)};

Fp32 clampTo(Fp32 x, float lo, float hi)
{
    return Fp32(std::clamp(saturated(x).value(), lo, hi));
}

Fp32 squaredDistance(const Quaternion& a, const Quaternion& b)
{
    return (a - b).normSquared();
}

// The ZYX quaternion of (roll, pitch) with zero yaw.
Quaternion withoutYaw(const Quaternion& q)
{
    Vector3 euler;
    q.getEulerZYX(euler);
    const float halfRoll = euler[0].value() * 0.5f;
    const float halfPitch = euler[1].value() * 0.5f;
    const float cr = std::cos(halfRoll), sr = std::sin(halfRoll);
    const float cp = std::cos(halfPitch), sp = std::sin(halfPitch);
    return {Fp32(cr * cp), Fp32(sr * cp), Fp32(cr * sp), Fp32(-sr * sp)};
}

} // namespace

void SensorFusionWeightedFusion::init()
{
    q_ = Quaternion::identity();
    headingVariance_ = Fp32(kUnknownVariance);
    tiltVariance_ = Fp32(kUnknownVariance);
    previousRateRadPerS_ = {};
    mode_ = kNormal;
    qw_ = Quaternion::identity();
}

void SensorFusionWeightedFusion::integrateGyro(std::uint32_t intervalUs, const Vector3& rateRadPerS)
{
    if (intervalUs < kRestartIntervalUs) {
        const Fp32 dtS = Fp32(static_cast<float>(intervalUs)) * Fp32(1e-6f);
        q_.integrateTrapz(previousRateRadPerS_, rateRadPerS, dtS);
    }
    previousRateRadPerS_ = rateRadPerS;
}

std::uint8_t SensorFusionWeightedFusion::computeHu(const Vector3& m, const Vector3& g, Vector3& h)
{
    const Fp32 d = dot(m, g);
    if (abs(d) >= Fp32(kParallelCos))
        return 0;
    h = {sqrt(Fp32(1.0f) - d * d), Fp32(0.0f), -d};
    return 1;
}

void SensorFusionWeightedFusion::processDirect(std::uint32_t intervalUs, const Vector3& m, const Vector3& a,
                                               const Vector3& gyroErrorRadPerS, Fp32& accNoise,
                                               Fp32 /*unusedNoise*/,
                                               const MagnetometerAmplitudeCal::Output& magCal)
{
    const bool restart = intervalUs >= kRestartIntervalUs;
    const Fp32 dtS = restart ? Fp32(0.0f) : Fp32(static_cast<float>(intervalUs)) * Fp32(1e-6f);
    const std::uint8_t previousMode = mode_;
    const Quaternion q0 = q_;
    const Fp32 unknown(kUnknownVariance);

    // Predict: the variances grow by the integration error of this interval.
    const Fp32 processNoise =
        min(saturated((dtS * dtS >> 2) * gyroErrorRadPerS.normSquared() * integrationErrorScale_), unknown);
    const Fp32 increase = restart ? Fp32(1.0f) : processNoise + Fp32(1e-7f);
    const Fp32 headingPredicted = min(headingVariance_ + increase, Fp32(kMaxVariance));
    const Fp32 tiltPredicted = min(tiltVariance_ + increase, Fp32(kMaxVariance));

    // Gravity direction and the tilt measurement noise.
    Vector3 u{Fp32(0.0f), Fp32(0.0f), Fp32(-1.0f)};
    if (a.infNorm() < Fp32(kSmallValueF)) {
        accNoise = Fp32(kNoDirectionNoise);
    } else {
        u = sensorFusion::normalizedSaturated(a);
    }
    Fp32 tiltNoise =
        clampTo(restart ? Fp32(0.0045f) : accNoise * accNoise * Fp32(0.0104f), kMinNoise, kUnknownVariance);

    Fp32 p = previousMode == kAccelerometerRejected ? tiltVariance_ * Fp32(0.3f) : tiltVariance_;
    if (tiltNoise >= Fp32(kAccRejectNoise) || (p <= tiltNoise && tiltNoise >= Fp32(kAccRejectFloor))) {
        mode_ = kAccelerometerRejected;
        tiltNoise = Fp32(kAccRejectNoise);
    } else {
        mode_ = kNormal;
    }

    // Magnetometer direction, its world reference h and its noise.
    Fp32 magNoise =
        restart ? Fp32(0.02f) : max(magCal.externalAccuracy * magCal.externalAccuracy, Fp32(kMinNoise));
    magNoise = min(saturated(magNoise), unknown);
    Vector3 h = kWorldX;
    Vector3 n;
    // n already holds the world x axis seen from q0 (computed once).
    bool nPredicted = false;
    if (sensorFusion::isNegligible(m)) {
        // No field (a device without magnetometer reports zeros): keep the
        // predicted heading, as for a rejected magnetometer.
        n = sensorFusion::rotateByConjugate(q0, kWorldX);
        nPredicted = true;
        magNoise = unknown;
    } else {
        n = sensorFusion::normalizedSaturated(m);
        if (computeHu(n, u, h) == 0) {
            h = kWorldX;
            magNoise = unknown;
        }
    }

    Fp32 weight(0.0f);
    if (mode_ == kNormal) {
        p = previousMode == kMagnetometerRejected ? headingVariance_ * Fp32(0.3f) : headingVariance_;
        if (magNoise >= unknown || (p <= magNoise && magNoise >= Fp32(kMagRejectFloor))) {
            mode_ = kMagnetometerRejected;
            h = kWorldX;
            // The world x axis seen from the predicted orientation: the
            // measurement then carries the predicted heading.
            if (!nPredicted)
                n = sensorFusion::rotateByConjugate(q0, kWorldX);
            weight = tiltNoise * Fp32(60.0f);
        } else {
            tiltNoise = tiltNoise + magNoise;
            weight = tiltNoise * Fp32(15.0f);
        }
    }
    tiltNoise = min(tiltNoise, Fp32(kMaxNoise));
    weight = min(weight, Fp32(kMaxNoise));
    if (restart)
        mode_ = kNormal;

    // The orientation the measurement indicates, on q0's side of the sphere.
    WahbaSolvers::TwoRotationsAcc(h, u, n, qw_);
    qw_.renormalize();
    if (squaredDistance(qw_, q0) > squaredDistance(qw_, -q0))
        qw_ = -qw_;

    if (restart) {
        q_ = qw_;
        const Fp32 gravityError = abs(a.norm() - Fp32(kGravity));
        if (gravityError <= Fp32(kGravity / 2.0f)) {
            const Fp32 g = Fp32(atan2fMerrowind(gravityError.value(), kGravity));
            const Fp32 headingSigma = (magCal.externalAccuracy + g) >> 1;
            headingVariance_ = saturated(headingSigma * headingSigma);
            tiltVariance_ = (g >> 1) * (g >> 1);
        } else {
            headingVariance_ = unknown;
            tiltVariance_ = unknown;
        }
    } else if (mode_ == kAccelerometerRejected) {
        q_ = q0;
        headingVariance_ = headingPredicted;
        tiltVariance_ = tiltPredicted;
    } else {
        const bool tiltOnly = mode_ == kMagnetometerRejected;
        p = tiltOnly ? tiltPredicted : headingPredicted;
        const Fp32 sum = weight + p;
        Fp32 gain = sum == Fp32(0.0f) ? Fp32(0.999f) : saturated(p / sum);
        gain = min(gain, Fp32(kMaxGain));
        // A tilt-only correction within a degree is mostly noise: take it in
        // slowly.
        if (tiltOnly && qw_.getAngularDistance(q0) < Fp32(kOneDegreeRad))
            gain = min(gain, Fp32(kFineTiltGain));

        const Fp32 keep = Fp32(1.0f) - gain;
        const Quaternion blended = q0 * keep + qw_ * gain;
        const Fp32 length = blended.norm();
        for (int i = 0; i < 4; ++i)
            q_[i] = saturated(blended[i] / length);

        const Fp32 measured = tiltNoise * gain * gain;
        tiltVariance_ = tiltPredicted * keep * keep + measured;
        headingVariance_ = tiltOnly ? headingPredicted : headingPredicted * keep * keep + measured;
    }

    headingVariance_ = min(headingVariance_, Fp32(kMaxVariance));
    tiltVariance_ = min(tiltVariance_, Fp32(kMaxVariance));
    q_.renormalize();
}

Fp32 SensorFusionWeightedFusion::getAccuracy(const MagnetometerAmplitudeCal::Output& /*magCal*/) const
{
    if (headingVariance_ >= Fp32(kUnknownVariance))
        return Fp32(kPiF);
    return clampTo(Fp32(2.5f) * sqrt(headingVariance_), 0.0f, kPiF);
}

void SensorFusionWeightedFusion::tareAngPosZ()
{
    q_ = withoutYaw(q_);
    qw_ = withoutYaw(qw_);
}

} // namespace vnx
