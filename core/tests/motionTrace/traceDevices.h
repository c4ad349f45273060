#pragma once

// Devices the trace tests generate samples for.

#include "support/ScdBuilder.h"

namespace vnx::tracetest {

using qdVectorFixed::Matrix3;
using testsupport::I;
using testsupport::ScdBuilder;

inline constexpr double kPeriodS = 0.008;
inline constexpr float kAccScale = 19.6133f; // m/s^2 at full scale: +-2 g, 16384 counts per g
inline constexpr float kGyroScale = 0.0005f; // rad/s per count: about +-16.4 rad/s
inline constexpr float kTempScale = 0.0625f; // degC per count
inline constexpr float kTempOffset = 400.0f; // counts

/// A plain presenter: diagonal matrices, no offsets.
inline ScdBuilder presenterScd()
{
    return ScdBuilder()
        .period(kPeriodS)
        .accelMatrix(kAccScale * I)
        .gyroMatrix(kGyroScale * I)
        .tempScale(kTempScale)
        .tempOffset(kTempOffset);
}

/// A device that uses every term of the conversions: cross-axis matrices,
/// offsets, accelerometer non-linearity and gyroscope acceleration
/// sensitivity.
inline ScdBuilder imperfectScd()
{
    const Matrix3 acc{19.4f, 0.31f, -0.12f, 0.18f, 19.9f, 0.27f, -0.22f, 0.09f, 19.6f};
    const Matrix3 gyro{0.00052f, 0.00001f,  -0.000015f, -0.00002f, 0.00049f,
                       0.00003f, 0.000012f, -0.000008f, 0.0005f};
    const Matrix3 sens{0.6f, -0.2f, 0.1f, 0.3f, 0.4f, -0.5f, 0.0f, 0.2f, 0.7f};
    return ScdBuilder()
        .period(kPeriodS)
        .accelMatrix(acc)
        .accelOffset(0.012f, -0.02f, 0.006f)
        .accelSecondOrder(0.01f, -0.02f, 0.005f)
        .accelThirdOrder(0.003f, 0.0f, -0.004f)
        .gyroMatrix(gyro)
        .gyroOffset(12.0f, -7.0f, 3.5f)
        .gyroAccelSensitivity(sens)
        .tempScale(kTempScale)
        .tempOffset(kTempOffset);
}

} // namespace vnx::tracetest
