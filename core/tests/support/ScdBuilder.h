#pragma once

// Builds a sealed 260-byte SCD from readable calibration parameters, so a
// sensor test reads like the device it describes:
//
//   const scdGen4Float_s scd =
//       ScdBuilder().period(0.008).accelMatrix(19.6133f * I).gyroNoise(2, 2, 2).build();
//   cal.verifyAndInit(&scd.head);
//
// Every field starts at zero and there is no format word until period() or
// formatWord() sets one. build() writes size 260, version 5 and the check word.

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "calibration/scdData.h"
#include "numerics/qdVectorFixed.h"

namespace vnx::testsupport {

using qdVectorFixed::Matrix3;

/// Identity matrix, for scaled matrices such as 19.6133f * I.
inline constexpr Matrix3 I = Matrix3::identity();

class ScdBuilder
{
  public:
    ScdBuilder();

    /// Sample period in seconds; also sets the format word that makes it count.
    ScdBuilder& period(double seconds);
    /// Format word as stored (VNX_SCD_FORMAT_WORD marks period and rsStableParam present).
    ScdBuilder& formatWord(std::uint32_t word);
    ScdBuilder& rsStableParam(float value);

    /// Full-scale units to m/s^2; element 3i + j takes input axis i to output axis j.
    ScdBuilder& accelMatrix(const Matrix3& m);
    /// Full-scale units (raw / 32768).
    ScdBuilder& accelOffset(float x, float y, float z);
    ScdBuilder& accelSecondOrder(float x, float y, float z);
    ScdBuilder& accelThirdOrder(float x, float y, float z);
    /// Raw counts.
    ScdBuilder& accelNoise(float x, float y, float z);
    /// Negative marks a nominal calibration; a magnitude below 1 is its level.
    ScdBuilder& nominalMarker(float value);

    /// Raw counts to rad/s.
    ScdBuilder& gyroMatrix(const Matrix3& m);
    /// Raw counts.
    ScdBuilder& gyroOffset(float x, float y, float z);
    /// m/s^2 to raw gyro counts.
    ScdBuilder& gyroAccelSensitivity(const Matrix3& m);
    /// Raw counts.
    ScdBuilder& gyroNoise(float x, float y, float z);

    /// Magnetometer matrix and offset (raw); they share the slots of the gyro
    /// acceleration sensitivity and the accelerometer third-order terms, and
    /// count only in variant 24601.
    ScdBuilder& magMatrix(const Matrix3& m);
    ScdBuilder& magOffset(float x, float y, float z);

    ScdBuilder& variant(float value);
    ScdBuilder& deviceKind(float value);

    /// Temperature: degC per raw count (0 = none), offset in raw counts, noise in degC.
    ScdBuilder& tempScale(float degCPerCount);
    ScdBuilder& tempOffset(float counts);
    ScdBuilder& tempNoise(float degC);

    /// Zero-rate-offset terms, rad/s (aging per hour, scaled by 0.01 when used).
    ScdBuilder& zroTempCoef(float x, float y, float z);
    ScdBuilder& zroTerms(float a, float b);
    ScdBuilder& zroTermKind1(float value);
    ScdBuilder& zroNominalSigma(float value);
    ScdBuilder& zroInitSigma(float value);
    ScdBuilder& zroAging(float value);

    /// The sealed block: size 260, version 5, words summing to zero.
    scdGen4Float_s build() const;
    /// The constants FixedPointCal draws from the block.
    FixedPointCal::Output calibration() const;
    /// The calibration fields as they stand.
    const scdGen4FloatInnards_s& innards() const { return innards_; }

  private:
    ScdBuilder& set(float& field, float value);
    ScdBuilder& set(float (&field)[3], float x, float y, float z);
    ScdBuilder& set(float (&field)[9], const Matrix3& m);

    scdGen4FloatInnards_s innards_;
};

} // namespace vnx::testsupport
