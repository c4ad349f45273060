#pragma once

// The inverse of the SCD's raw conversions: the signed 16-bit counts a device
// sends for given physical readings, so that Interpret with the same SCD gives
// the readings back to within half a count. Counts beyond the 16-bit range are
// clipped to it, which is how a sensor driven past its range reports.

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "calibration/rawConversion.h"
#include "support/motionMath.h"

namespace vnx::testsupport {

/// Row-major 3x3 matrix in double.
using Mat3d = std::array<double, 9>;

class RawEncoder
{
  public:
    /// Throws std::invalid_argument when the accelerometer or rotation-sensor
    /// matrix of `cal` cannot be inverted (no counts would give a reading).
    explicit RawEncoder(const FixedPointCal::Output& cal);

    /// Counts for an accelerometer reading in m/s^2 (output axes). Undoes the
    /// matrix, the offset and, when the SCD has them, the non-linear terms.
    RawTriple accelerometer(const Vec3d& mps2) const;
    /// Counts for an angular rate in rad/s (output axes). `accRaw` is the
    /// accelerometer sample sent with it: the acceleration sensitivity of the
    /// rotation sensor is removed for the acceleration those counts convert to,
    /// as the reader will add it back for exactly that value.
    RawTriple gyroscope(const Vec3d& radPerS, const RawTriple& accRaw) const;
    /// Counts for a calibrated magnetic field; zero counts when the SCD's
    /// magnetometer matrix cannot be inverted (see hasMagnetometer).
    RawTriple magnetometer(const Vec3d& field) const;
    /// Count for a temperature in degC; 0 when the SCD has no temperature scale.
    std::int16_t temperature(double degC) const;

    bool hasMagnetometer() const { return hasMag_; }

    /// Nearest count, clipped to [-32768, 32767]; NaN gives 0.
    static std::int16_t toCount(double value);

  private:
    FixedPointCal::Output cal_;
    Mat3d accInverse_{};
    Mat3d rsInverse_{};
    Mat3d magInverse_{};
    bool hasMag_ = false;
};

} // namespace vnx::testsupport
