#pragma once

// Smooths a stream of orientation quaternions: the smoothed orientation is
// integrated from the measured angular velocity, steered towards the rate the
// incoming quaternions imply; on a jump (the two disagree by more than a
// threshold within one step) or a gap in time it snaps to the input.

#include <cstdint>

#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

class QuaternionSmoothing
{
    VNX_LOG_DEFAULT(QuaternionSmoothing);

  public:
    using Vector3 = qdVectorFixed::Vector3;
    using Quaternion = qdVectorFixed::Quaternion;

    /// More than this many nominal periods without a sample is a gap.
    static constexpr std::uint32_t kGapPeriods = 25;

    QuaternionSmoothing() = default;

    /// Sets the configuration (setConfig) and resets both quaternions to the
    /// identity.
    void init(float magnitudeTolerance, float directionToleranceRad, float jumpThresholdRad, float reserved);
    /// magnitudeTolerance: how far the integrated rate's magnitude may be
    /// scaled towards the input's (a ratio band 1 +- m); directionToleranceRad:
    /// the largest turn of its direction towards the input's; jumpThresholdRad:
    /// the disagreement within one step that counts as a jump (0 turns
    /// smoothing off); reserved: stored, not read.
    void setConfig(float magnitudeTolerance, float directionToleranceRad, float jumpThresholdRad,
                   float reserved);

    /// The smoothed and the previous input quaternion become q.
    void reset(const Quaternion& q);

    /// One sample: nominal period and elapsed time since the previous sample
    /// in microseconds, measured angular velocity in rad/s (body frame) and
    /// the input orientation.
    void process(std::uint32_t periodUs, std::uint32_t elapsedUs, const Vector3& rateRadPerS,
                 const Quaternion& q);

    /// The rate to integrate: `rate` turned towards `inputRate` by at most the
    /// direction tolerance and scaled by the ratio of the two along `rate`,
    /// clamped into the magnitude band. Slow rates are left as they are.
    void omegaAlignment(const Vector3& rate, const Vector3& inputRate, Vector3& aligned) const;

    /// Moves `current` towards `target` (`angleRad` apart) by a step that
    /// grows with the rate and `scale`; reaches the target when the step
    /// covers the angle.
    void quaternionAlignment(const Vector3& rate, const Quaternion& target, const Quaternion& current,
                             float scale, float angleRad, Quaternion& result) const;

    const Quaternion& smoothed() const { return smoothed_; }

  private:
    struct Settings
    {
        float magnitudeTolerance = 0.0f;
        float directionToleranceRad = 0.0f;
        float jumpThresholdRad = 0.0f; // 0: output = input
        float cosDirectionTolerance = 1.0f;
        float sinDirectionTolerance = 0.0f;
        float ratioMax = 1.0f; // 1 + magnitude tolerance
        float ratioMin = 1.0f; // 1 - magnitude tolerance
    };

    Settings settings_;
    Quaternion smoothed_ = Quaternion::identity();
    Vector3 lastRateRadPerS_{};
    Quaternion previousInput_ = Quaternion::identity();
    float reserved_ = 0.0f;
};

} // namespace vnx
