#pragma once

// Conversion of raw 16-bit sensor counts into physical values with the
// constants of an SCD. Pure functions: Interpret wraps them with its range
// flags, and FixedPointCal uses them to measure the full-scale values.

#include <array>
#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// Three raw counts x, y, z of one sensor.
using RawTriple = std::array<std::int16_t, 3>;

/// A count at either end of the 16-bit range (32767 or -32768) may have been
/// clipped by the sensor.
bool isRawAtRangeEnd(const RawTriple& raw);

/// m/s^2: the counts in full-scale units (x 2^-15), the offset and, when the
/// SCD has them, the second- and third-order terms, then the accelerometer
/// matrix. No limit.
qdVectorFixed::Vector3 accFromRaw(const FixedPointCal::Output& cal, const RawTriple& raw);

/// rad/s: counts plus offset plus, when the SCD has it, the acceleration
/// sensitivity applied to `accMps2`, then the rotation-sensor matrix; each
/// component limited to [-2^31, 2^31].
qdVectorFixed::Vector3 rsFromRaw(const FixedPointCal::Output& cal, const RawTriple& raw,
                                 const qdVectorFixed::Vector3& accMps2);

/// degC, limited to [-255.99, 255.99].
Fp32 tempFromRaw(const FixedPointCal::Output& cal, std::int16_t raw);

/// Calibrated magnetic field: counts plus offset, then the magnetometer
/// matrix, each component limited to [-2^31, 2^31]. A sample with a count at
/// the end of the range is unusable and gives -2^31 ("unknown") on all axes.
qdVectorFixed::Vector3 magFromRaw(const FixedPointCal::Output& cal, const RawTriple& raw);

/// out_j = sum over i of m[3i + j] * in_i: the SCD's matrices take input axis
/// i into output axis j. Sums accumulate from i = 0 and are not limited.
inline qdVectorFixed::Vector3 applyScdMatrix(const qdVectorFixed::Matrix3& m,
                                             const qdVectorFixed::Vector3& in)
{
    // The products of m.transpose() * in, read in place: no transposed copy.
    qdVectorFixed::Vector3 out;
    for (int j = 0; j < 3; ++j) {
        Fp32 acc = m(0, j) * in[0];
        acc += m(1, j) * in[1];
        acc += m(2, j) * in[2];
        out[j] = acc;
    }
    return out;
}

} // namespace vnx
