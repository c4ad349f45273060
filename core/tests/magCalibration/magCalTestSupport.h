#pragma once

// Helpers shared by the magnetometer calibration tests.

#include <cmath>

#include "calibration/FixedPointCal.h"
#include "calibration/dcdData.h"
#include "magCalibration/MagnetometerAmplitudeCal.h"
#include "magFieldSimulator.h"

namespace vnx::test {

using Cal = MagnetometerAmplitudeCal;
using Fp = Cal::Fp;
using Vec3 = Cal::Vec3;
using Quat = Cal::Quat;

constexpr float kPeriodS = 0.01f;

/// A stored calibration: identity matrix, the given offset (unit-sphere
/// scale), field strength, dip and accuracy.
inline dcdMagAmpCal_s storedCalibration(float accuracy, const float (&offset)[3] = {0.1f, -0.2f, 0.3f},
                                        float fieldStrength = 0.5f, float dip = 0.6f)
{
    dcdMagAmpCal_s dcd{};
    for (int i = 0; i < 3; ++i) dcd.offset[i] = offset[i];
    dcd.iPlusD[0] = dcd.iPlusD[4] = dcd.iPlusD[8] = 1.0f;
    dcd.fieldStrength = fieldStrength;
    dcd.dipAngle = dip;
    dcd.accuracy = accuracy;
    return dcd;
}

/// Runs `seconds` of the simulator through the calibration, one
/// backgroundProcess(stages, true) after every sample. Returns the last
/// output; `last` (when given) receives the last sample.
inline Cal::Output runTrace(Cal& cal, MagFieldSimulator& sim, double seconds, unsigned char stages,
                            bool referenceValid, MagFieldSimulator::Sample* last = nullptr)
{
    Cal::Output out{};
    const int samples = static_cast<int>(seconds / kPeriodS);
    for (int k = 0; k < samples; ++k) {
        const MagFieldSimulator::Sample s = sim.at(k * static_cast<double>(kPeriodS));
        cal.process(Fp(kPeriodS), true, Fp(0.01f), s.raw, Vec3{}, s.q, s.gravity, referenceValid, &out);
        cal.backgroundProcess(stages, true);
        if (last != nullptr) *last = s;
    }
    return out;
}

inline bool isFinite(const Vec3& v)
{
    return std::isfinite(v[0].value()) && std::isfinite(v[1].value()) && std::isfinite(v[2].value());
}

inline bool isFinite(const Cal::Output& out)
{
    return isFinite(out.calibratedField) && isFinite(out.offset) && std::isfinite(out.fieldStrength.value()) &&
           std::isfinite(out.externalAccuracy.value()) && std::isfinite(out.internalAccuracy.value());
}

}  // namespace vnx::test
