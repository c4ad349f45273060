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
    for (int i = 0; i < 3; ++i)
        dcd.offset[i] = offset[i];
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
        if (last != nullptr)
            *last = s;
    }
    return out;
}

inline bool isFinite(const Vec3& v)
{
    return std::isfinite(v[0].value()) && std::isfinite(v[1].value()) && std::isfinite(v[2].value());
}

inline bool isFinite(const Cal::Output& out)
{
    return isFinite(out.calibratedField) && isFinite(out.offset) &&
           std::isfinite(out.fieldStrength.value()) && std::isfinite(out.externalAccuracy.value()) &&
           std::isfinite(out.internalAccuracy.value());
}

} // namespace vnx::test

namespace vnx::test {

/// Feeds exact points of an ellipsoid, one sample per point: every sample
/// comes at an orientation 10 degrees from the previous one, so each closes
/// the point before it and the solver sees the readings themselves.
class ExactPointFeeder
{
  public:
    /// shape: the (I + D) to be found, row-major; rawOffset: centre of the
    /// readings.
    ExactPointFeeder(const double (&shape)[9], const Dvec3& rawOffset) : sim_(shape, 1.0, rawOffset) {}

    /// Directions on the unit sphere, well spread, visited in a scrambled
    /// order; `accept` picks the ones to use (e.g. a band or a cap).
    template <typename Accept>
    void feed(Cal& cal, int count, Accept accept, unsigned char stages = 1, float periodS = kPeriodS)
    {
        const int total = 997; // prime: stepping by 389 visits every index once
        for (int fed = 0; fed < count;) {
            const int i = static_cast<int>((next_ * 389) % total);
            ++next_;
            const double z = 1.0 - 2.0 * (i + 0.5) / total;
            const double r = std::sqrt(1.0 - z * z);
            const double phi = i * 2.399963229728653; // golden angle
            const Dvec3 u{r * std::cos(phi), r * std::sin(phi), z};
            if (!accept(u))
                continue;
            sample(cal, u, periodS);
            cal.backgroundProcess(stages, true);
            ++fed;
        }
    }

    void feed(Cal& cal, int count)
    {
        feed(cal, count, [](const Dvec3&) { return true; });
    }

    /// One reading of direction u; returns the output.
    Cal::Output sample(Cal& cal, const Dvec3& u, float periodS = kPeriodS)
    {
        sim_.setFieldDirection(u);
        MagFieldSimulator::Sample s = sim_.at(0.0);
        flip_ = !flip_;
        const Quat q = toQuat(axisAngle({0, 0, 1}, flip_ ? 0.0 : 0.17));
        Cal::Output out{};
        cal.process(Fp(periodS), true, Fp(0.01f), s.raw, Vec3{}, q, Vec3{}, false, &out);
        return out;
    }

  private:
    MagFieldSimulator sim_;
    long next_ = 0;
    bool flip_ = false;
};

} // namespace vnx::test
