#pragma once

// A simulated device feeding ZroFromStable the way the sensor interpretation
// modules do: per sample reportRs, reportAcc, reportMag, then process, with
// time stamps period x sample number.

#include <cstdint>

#include "gyroBias/ZroFromStable.h"
#include "support/ScdBuilder.h"

namespace vnx::testsupport {

using Fp = FloatingPoint<float>;
using Vec3 = qdVectorFixed::vector<Fp, 3>;

inline Vec3 v3(float x, float y, float z)
{
    return {Fp(x), Fp(y), Fp(z)};
}

/// A presenter-like device: gyro noise 0.002 rad/s, accelerometer noise
/// 0.0024 m/s^2, magnetometer noise levels 0.003 (the default).
inline FixedPointCal::Output presenterCal(double periodS)
{
    return ScdBuilder()
        .period(periodS)
        .accelMatrix(19.6133f * I)
        .gyroMatrix(0.001f * I)
        .gyroNoise(2, 2, 2)
        .accelNoise(4, 4, 4)
        .calibration();
}

/// Uniform noise in [-amplitude, amplitude], reproducible.
class Noise
{
  public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    float operator()(float amplitude)
    {
        state_ = state_ * 1664525u + 1013904223u;
        return amplitude * (static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f);
    }
    Vec3 vec(float amplitude) { return v3((*this)(amplitude), (*this)(amplitude), (*this)(amplitude)); }

  private:
    std::uint32_t state_;
};

class ZroRig
{
  public:
    explicit ZroRig(double periodS = 0.01, const dcdAlg4MinFixedInnards_s* dcd = nullptr)
        : cal(presenterCal(periodS)), periodUs_(static_cast<std::uint32_t>(periodS * 1e6 + 0.5))
    {
        zro.init(cal, dcd, true);
        const Fp p(static_cast<float>(periodS));
        zro.updatePeriods(p, p, p, p);
    }

    /// One sample; the output persists between samples as an owner keeps it.
    const ZroFromStable::Output& step(const Vec3& rate, const Vec3& acc)
    {
        const std::uint32_t t = periodUs_ * sample_++;
        zro.reportRs(t, magPresent, rate, Fp(temperature));
        zro.reportAcc(t, magPresent, acc, rawOr);
        zro.reportMag(t, mag, Fp(fieldNorm));
        zro.process(t, Fp(temperature), useStillEstimate, magPresent, &out);
        return out;
    }

    std::uint32_t sample() const { return sample_; }
    double timeS() const { return sample_ * periodUs_ * 1e-6; }

    FixedPointCal::Output cal;
    ZroFromStable zro;
    ZroFromStable::Output out{};
    float temperature = 25.0f;
    bool useStillEstimate = true;
    bool magPresent = false;
    Vec3 mag = v3(0.0f, 0.0f, 0.0f);
    float fieldNorm = 0.5f;
    std::int16_t rawOr = -1;

  private:
    std::uint32_t periodUs_;
    std::uint32_t sample_ = 0;
};

} // namespace vnx::testsupport
