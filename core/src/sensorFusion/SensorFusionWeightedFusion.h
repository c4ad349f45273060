#pragma once

// Orientation by weighted fusion: the corrected gyroscope rate is integrated
// at every gyroscope sample, and at the fusion rate the quaternion is pulled
// toward the orientation that gravity and the magnetic field indicate. The
// gain comes from running variances of the heading and the tilt, so a fresh
// or disturbed estimate follows the measurement quickly and a settled one
// trusts the gyroscope. A disturbed accelerometer suspends the correction; a
// disturbed or absent magnetometer corrects the tilt only and leaves the
// heading to the gyroscope.

#include <cstdint>

#include "log/DefaultLogger.h"
#include "magCalibration/MagnetometerAmplitudeCal.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

class SensorFusionWeightedFusion
{
    VNX_LOG_DEFAULT(SensorFusionWeightedFusion);

  public:
    enum Mode_e : std::uint8_t
    {
        kAccelerometerRejected = 3, ///< no correction
        kMagnetometerRejected = 6,  ///< tilt correction only
        kNormal = 9,
    };

    /// Intervals at or above this restart the fusion at the measurement
    /// (0xFFFFFFFF marks the first sample after a reset).
    static constexpr std::uint32_t kRestartIntervalUs = 250000;
    /// Variance (rad^2) that stands for "unknown".
    static constexpr float kUnknownVariance = 1.999f;
    /// Integration error scale until the owner writes a learned one.
    static constexpr float kDefaultIntegrationErrorScale = 30.0f;

    SensorFusionWeightedFusion() = default;

    /// Identity orientation, unknown variances, normal mode, no previous
    /// rate. The integration error scale is the owner's and stays.
    void init();

    /// Trapezoidal integration of the corrected rate (rad/s) when the
    /// interval is below the restart interval; the rate is kept either way.
    void integrateGyro(std::uint32_t intervalUs, const qdVectorFixed::Vector3& rateRadPerS);

    /// One correction step. m: magnetometer vector (all-zero: no field, the
    /// heading is kept); a: accelerometer vector (m/s^2); gyroErrorRadPerS:
    /// uncertainty of the corrected rate; accNoise: accelerometer noise level,
    /// set to 127 when a carries no direction; the second noise level is not
    /// used; magCal: the heading error (external accuracy, rad).
    void processDirect(std::uint32_t intervalUs, const qdVectorFixed::Vector3& m,
                       const qdVectorFixed::Vector3& a, const qdVectorFixed::Vector3& gyroErrorRadPerS,
                       Fp32& accNoise, Fp32 unusedNoise, const MagnetometerAmplitudeCal::Output& magCal);

    /// Reference field direction (sqrt(1 - d^2), 0, -d) in the world frame
    /// for d = m . g of the unit field and gravity directions; returns 0 and
    /// leaves `h` as it is when they are within 5 degrees of parallel (no
    /// heading information), else 1.
    static std::uint8_t computeHu(const qdVectorFixed::Vector3& m, const qdVectorFixed::Vector3& g,
                                  qdVectorFixed::Vector3& h);

    /// Heading accuracy (rad): pi while the heading variance is unknown, else
    /// 2.5 sigma within [0, pi]. The calibration output is not used.
    Fp32 getAccuracy(const MagnetometerAmplitudeCal::Output& magCal) const;

    /// Removes the heading (yaw) from the fused and the measured orientation,
    /// keeping roll and pitch.
    void tareAngPosZ();

    const qdVectorFixed::Quaternion& quaternion() const { return q_; }
    /// The orientation the last measurement indicated.
    const qdVectorFixed::Quaternion& measuredQuaternion() const { return qw_; }
    Fp32 headingVariance() const { return headingVariance_; }
    Fp32 tiltVariance() const { return tiltVariance_; }
    Mode_e mode() const { return static_cast<Mode_e>(mode_); }
    Fp32 integrationErrorScale() const { return integrationErrorScale_; }
    void setIntegrationErrorScale(Fp32 k) { integrationErrorScale_ = k; }

  private:
    qdVectorFixed::Quaternion q_ = qdVectorFixed::Quaternion::identity();
    Fp32 headingVariance_ = Fp32(kUnknownVariance); // Ph, rad^2
    Fp32 tiltVariance_ = Fp32(kUnknownVariance);    // Pt, rad^2
    qdVectorFixed::Vector3 previousRateRadPerS_{};
    std::uint8_t mode_ = kNormal;
    Fp32 integrationErrorScale_ = Fp32(kDefaultIntegrationErrorScale); // k
    qdVectorFixed::Quaternion qw_ = qdVectorFixed::Quaternion::identity();
};

} // namespace vnx
