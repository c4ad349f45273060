#pragma once

// A simulated device feeding BiasCorrectMin the way the sensor
// interpretation module does: raw counts through an SCD and Interpret, the
// sample delta from StateManagement, sample step 1.

#include <cstdint>
#include <random>

#include "gyroBias/BiasCorrectMin.h"
#include "sensorInterpretation/Interpret.h"
#include "sensorInterpretation/StateManagement.h"
#include "support/ScdBuilder.h"

namespace vnx::biastest {

using qdVectorFixed::Vector3;
using testsupport::I;
using testsupport::ScdBuilder;

inline Vector3 v3(float x, float y, float z)
{
    return {Fp32(x), Fp32(y), Fp32(z)};
}

/// Gyroscope scale of the simulated device: one count is 0.001 rad/s.
inline constexpr float kRadPerCount = 0.001f;
/// One g on the accelerometer (full scale +-2 g).
inline constexpr std::int16_t kOneGCounts = 16384;

/// A presenter-like device at 125 Hz: gyroscope noise 2 counts
/// (0.002 rad/s), accelerometer noise 4 counts, unit-calibrated zero-rate
/// offset terms of 0.005 rad/s, temperature in 1/16 degC counts.
inline ScdBuilder presenterScd()
{
    return ScdBuilder()
        .period(0.008)
        .accelMatrix(19.6133f * I)
        .gyroMatrix(kRadPerCount * I)
        .gyroNoise(2, 2, 2)
        .accelNoise(4, 4, 4)
        .zroTerms(0.005f, 0.005f)
        .zroTempCoef(0.0003f, 0.0003f, 0.0003f)
        .tempScale(0.0625f)
        .tempNoise(0.05f)
        .zroAging(0.01f);
}

/// Turns raw counts into interpreted samples and runs them through a
/// BiasCorrectMin, as the sensor interpretation module does.
class BiasRig
{
  public:
    explicit BiasRig(const ScdBuilder& scd, const dcdAlg4MinFixedInnards_s* dcd = nullptr,
                     std::uint32_t seed = 7, std::uint8_t rsChannels = 3)
        : cal(scd.calibration()), random_(seed)
    {
        states_.init();
        bias.init(cal, dcd, true, rsChannels);
    }

    /// `samples` samples of a still device with the given rate (counts).
    void run(int samples, const float rateCounts[3], float gyroNoiseCounts = 2.0f)
    {
        for (int i = 0; i < samples; ++i)
            step(rateCounts, gyroNoiseCounts);
    }

    /// The learned state as getDcd gives it.
    dcdAlg4MinFixedInnards_s dcd()
    {
        dcdAlg4MinFixedInnards_s d;
        bias.getDcd(d);
        return d;
    }

    /// One sample with the rate (counts), gravity along z and the
    /// temperature count; gaussian noise of the given counts is added.
    const BiasCorrectMin::Output& step(const float rateCounts[3], float gyroNoiseCounts = 2.0f,
                                       float accNoiseCounts = 4.0f)
    {
        std::normal_distribution<float> gauss(0.0f, 1.0f);
        RawTriple rs{};
        RawTriple acc{};
        for (int i = 0; i < 3; ++i) {
            rs[i] = toCount(rateCounts[i] + gyroNoiseCounts * gauss(random_));
            acc[i] = toCount((i == 2 ? kOneGCounts : 0) + accNoiseCounts * gauss(random_));
        }
        return stepRaw(rs, acc);
    }

    const BiasCorrectMin::Output& stepRaw(const RawTriple& rs, const RawTriple& acc)
    {
        std::uint32_t delta = 0;
        states_.calcDSample(sampleNumber_++, delta);
        interpret_.accInterpret(cal, acc, sample.acc, sample.flags);
        interpret_.rsInterpret(cal, rs, sample.acc, sample.rs, sample.flags);
        interpret_.tempInterpret(cal, temperatureCount, sample.temperature);
        bias.process(delta, 1, sample, out);
        return out;
    }

    /// Leaves out `samples` sample numbers, as lost reports do.
    void skip(std::uint32_t samples) { sampleNumber_ += samples; }
    double timeS() const { return sampleNumber_ * static_cast<double>(cal.period); }

    FixedPointCal::Output cal;
    BiasCorrectMin bias;
    Interpret::Output sample{};
    BiasCorrectMin::Output out{};
    std::int16_t temperatureCount = 400; // 25 degC

  private:
    static std::int16_t toCount(float v)
    {
        const float r = v < 0.0f ? v - 0.5f : v + 0.5f;
        if (r >= 32767.0f)
            return 32767;
        if (r <= -32768.0f)
            return -32768;
        return static_cast<std::int16_t>(r);
    }

    Interpret interpret_;
    StateManagement states_;
    std::mt19937 random_;
    std::uint32_t sampleNumber_ = 100;
};

} // namespace vnx::biastest
