#include "orientationFilters/QuaternionSmoothing.h"

#include <algorithm>
#include <cmath>

#include "numerics/numericConstants.h"

namespace vnx {

namespace {

using Vector3 = QuaternionSmoothing::Vector3;
using Quaternion = QuaternionSmoothing::Quaternion;

// Squared rates (rad/s)^2 below which a direction is too noisy to steer by:
// the measured rate's and the input-implied rate's.
constexpr float kMinRateSquared = 0.0012f;
constexpr float kMinInputRateSquared = 0.002f;

// Alignment step bounds in radians: below the floor the step follows the
// rate quadratically; it never exceeds the ceiling.
constexpr float kStepFloor = 0.000528f;
constexpr float kStepSlope = 0.0066f;
constexpr float kStepOffset = 0.000264f;
constexpr float kStepCeiling = 0.12f;

constexpr float kMicrosecondsToSeconds = 1e-6f;
constexpr float kRadToDeg = 180.0f / kPiF;

} // namespace

void QuaternionSmoothing::init(float magnitudeTolerance, float directionToleranceRad, float jumpThresholdRad,
                               float reserved)
{
    setConfig(magnitudeTolerance, directionToleranceRad, jumpThresholdRad, reserved);
    smoothed_ = Quaternion::identity();
    previousInput_ = Quaternion::identity();
}

void QuaternionSmoothing::setConfig(float magnitudeTolerance, float directionToleranceRad,
                                    float jumpThresholdRad, float reserved)
{
    settings_.magnitudeTolerance = magnitudeTolerance;
    settings_.directionToleranceRad = directionToleranceRad;
    settings_.jumpThresholdRad = jumpThresholdRad;
    settings_.cosDirectionTolerance = std::cos(directionToleranceRad);
    settings_.sinDirectionTolerance = std::sin(directionToleranceRad);
    settings_.ratioMax = 1.0f + magnitudeTolerance;
    settings_.ratioMin = 1.0f - magnitudeTolerance;
    reserved_ = reserved;
}

void QuaternionSmoothing::reset(const Quaternion& q)
{
    smoothed_ = q;
    previousInput_ = q;
}

void QuaternionSmoothing::process(std::uint32_t periodUs, std::uint32_t elapsedUs, const Vector3& rateRadPerS,
                                  const Quaternion& q)
{
    if (settings_.jumpThresholdRad == 0.0f) {
        smoothed_ = q;
        return;
    }
    // elapsedUs = 0 wraps to the largest value and counts as a gap too.
    if (elapsedUs - 1u >= kGapPeriods * periodUs) {
        smoothed_ = q;
        previousInput_ = q;
        lastRateRadPerS_ = rateRadPerS;
        return;
    }

    const Fp32 dt(static_cast<float>(elapsedUs) * kMicrosecondsToSeconds);
    // The rate that turns the smoothed orientation into the input within dt:
    // twice the vector part of conj(q_s) * q, over dt.
    const Quaternion& s = smoothed_;
    const Fp32 scale = Fp32(2.0f) / dt;
    const Vector3 inputRate{(s.w() * q.x() - s.x() * q.w() - s.y() * q.z() + s.z() * q.y()) * scale,
                            (s.x() * q.z() + s.w() * q.y() - s.y() * q.w() - s.z() * q.x()) * scale,
                            (s.w() * q.z() - s.x() * q.y() + s.y() * q.x() - s.z() * q.w()) * scale};

    const Fp32 discrepancyRad = (inputRate - rateRadPerS).norm() * dt;
    if (discrepancyRad.value() > settings_.jumpThresholdRad) {
        smoothed_ = q;
        VNX_LOGF(dftLog_, log::INFO, "Quaternion Jump: %0.2f deg > %0.2f deg",
                 static_cast<double>(discrepancyRad.value() * kRadToDeg),
                 static_cast<double>(settings_.jumpThresholdRad * kRadToDeg));
        return;
    }
    Vector3 aligned;
    omegaAlignment(rateRadPerS, inputRate, aligned);
    smoothed_.integrate(aligned, dt);
}

void QuaternionSmoothing::omegaAlignment(const Vector3& rate, const Vector3& inputRate,
                                         Vector3& aligned) const
{
    aligned = rate;
    const Fp32 rateSquared = rate.normSquared();
    const Fp32 inputRateSquared = inputRate.normSquared();
    if (!(rateSquared.value() > kMinRateSquared && inputRateSquared.value() > kMinInputRateSquared)) {
        return;
    }
    const Fp32 rateNorm = sqrt(rateSquared);
    if (settings_.cosDirectionTolerance != 1.0f) {
        const Vector3 u = rate / rateNorm;
        const Vector3 v = inputRate / sqrt(inputRateSquared);
        const Fp32 d = dot(u, v);
        if (d.value() > settings_.cosDirectionTolerance) {
            aligned = v * rateNorm;
        } else {
            // Turn u by the tolerance angle within the plane of u and v. When
            // v points straight against u that plane is undefined; the rate
            // keeps its direction rather than becoming NaN.
            const Vector3 perpendicular = v - u * d;
            const Fp32 perpendicularNorm = perpendicular.norm();
            if (perpendicularNorm.value() > kSmallValueF) {
                const Vector3 turned =
                    perpendicular / perpendicularNorm * Fp32(settings_.sinDirectionTolerance) +
                    u * Fp32(settings_.cosDirectionTolerance);
                aligned = turned / turned.norm() * rateNorm;
            }
        }
    }
    // max then min rather than std::clamp: a negative tolerance inverts the
    // band, which must not be undefined behaviour.
    const float ratio = (dot(inputRate, rate) / rateSquared).value();
    aligned *= Fp32(std::min(std::max(ratio, settings_.ratioMin), settings_.ratioMax));
}

void QuaternionSmoothing::quaternionAlignment(const Vector3& rate, const Quaternion& target,
                                              const Quaternion& current, float scale, float angleRad,
                                              Quaternion& result) const
{
    const Fp32 rateSquared = rate.normSquared();
    if (rateSquared.value() <= kMinRateSquared) {
        result = current;
        return;
    }
    float step =
        (settings_.sinDirectionTolerance + settings_.magnitudeTolerance) * sqrt(rateSquared).value() * scale;
    if (step < kStepFloor) {
        step = kStepSlope * rateSquared.value() + kStepOffset;
    } else {
        step = std::min(step, kStepCeiling);
    }
    if (step > angleRad) {
        result = target;
    } else {
        result = Quaternion::sLerp(current, target, Fp32(step / angleRad));
    }
}

} // namespace vnx
