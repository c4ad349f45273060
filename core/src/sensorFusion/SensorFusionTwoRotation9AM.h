#pragma once

// Geomagnetic orientation: solved afresh at each magnetometer sample from the
// accelerometer and the magnetometer alone (no gyroscope), by one of two
// two-vector solvers. The reference field direction in the world frame comes
// from the inclination term through a two-stage low-pass, so a jumpy
// inclination estimate does not shake the result.

#include <cstdint>

#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

class SensorFusionTwoRotation9AM
{
    VNX_LOG_DEFAULT(SensorFusionTwoRotation9AM);

  public:
    enum Mode_e : std::uint8_t
    {
        kAccelerometerLed = 1, ///< level on gravity, head on the field
        kMagnetometerLed = 2,  ///< level on the field, turn by the inclination
    };

    SensorFusionTwoRotation9AM() = default;

    /// Identity orientation, accelerometer-led, the reference filter reloads
    /// at the next sample.
    void init();

    /// One magnetometer sample. periodS: magnetometer period (s); intervalUs:
    /// time since the previous magnetometer sample; headingErrorDeg: heading
    /// error of the magnetometer calibration (degrees); d: unit gravity dot
    /// unit field; acc, mag: filtered accelerometer and magnetometer vectors.
    /// A zero vector (every component at most the float epsilon) is replaced
    /// by the matching world axis carried by the current orientation, so the
    /// result keeps what that sensor cannot tell; without a field the
    /// accelerometer-led solver runs whatever the mode.
    void process(Fp32 periodS, std::uint32_t intervalUs, Fp32 headingErrorDeg, Fp32 d,
                 const qdVectorFixed::Vector3& acc, const qdVectorFixed::Vector3& mag,
                 qdVectorFixed::Quaternion& out);

    /// (sqrt(1 - d^2), 0, -d): the world field direction whose dot product
    /// with straight down is d.
    static void huFrom_gDoth(Fp32 d, qdVectorFixed::Vector3& h);

    /// Accuracy (rad, within [0, pi]): the heading error, or pi at 20 degrees
    /// and more, plus twice the relative field change per second weighted by
    /// w.
    static void getAccuracy(Fp32 periodS, Fp32 w, Fp32 headingErrorDeg, const qdVectorFixed::Vector3& mag,
                            const qdVectorFixed::Vector3& previousMag, Fp32& accuracy);

    Mode_e getMode() const { return static_cast<Mode_e>(mode_); }
    const qdVectorFixed::Quaternion& quaternion() const { return q_; }

  private:
    qdVectorFixed::Quaternion q_ = qdVectorFixed::Quaternion::identity();
    std::uint8_t reset_ = 1;
    qdVectorFixed::Vector3 stage1_{}; // reference filter
    qdVectorFixed::Vector3 stage2_{};
    std::uint8_t mode_ = kAccelerometerLed;
};

} // namespace vnx
