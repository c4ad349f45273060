// One sample of the nine-axis sensor front end.

#include <cmath>
#include <cstdint>

#include "common/statusCode.h"
#include "common/valueEncoding.h"
#include "moduleFactory/processArguments.h"
#include "sensorInterpretation9Axis/SensorInterpretation9Axis.h"

using vnx::Fp32;
using vnx::qdVectorFixed::Quaternion;
using vnx::qdVectorFixed::Vector3;

namespace {

// The rotation sensor's acceleration sensitivity and the offset estimator
// see the acceleration limited to 2 g.
constexpr float kAccLimitMps2 = 19.6f;
// The magnetometer calibration gathers its points by orientation; this noise
// level is only its fallback criterion.
constexpr float kMagPointNoise = 0.06f;
// Only a field calibrated to within 10 degrees helps the offset estimator
// judge stillness.
constexpr float kZroFieldAccuracyRad = 0.17453292f;
// Field norm the offset estimator normalises the field with.
constexpr float kZroFieldNorm = 0.5f;
// A heading error above 15 degrees makes the field filter follow the
// calibrated field closely again.
constexpr float kMagDelayRestartRad = 0.2617994f;
// Longest group delays (s): gravity changes slowly, the field must follow a
// turn of the device promptly.
constexpr float kAccDelayMaxS = 2.0f;
constexpr float kMagDelayMaxS = 0.1f;
// The calibrated field is in gauss; the Output carries microtesla.
constexpr float kMicroteslaPerGauss = 100.0f;

constexpr std::uint8_t kDerivedFlags =
    VNX_SENSOR_INTERPRETATION_ON_TABLE | VNX_SENSOR_INTERPRETATION_ZRO_CONVERGED;

Vector3 clampEach(const Vector3& v, float limit)
{
    Vector3 out;
    for (int i = 0; i < 3; ++i) {
        const float x = v[i].value();
        out[i] = Fp32(x > limit ? limit : (x < -limit ? -limit : x));
    }
    return out;
}

/// Each component saturated into [-2^31, 2^31] (NaN to 2^31).
Vector3 saturated(const Vector3& v)
{
    return {Fp32(v[0].value()), Fp32(v[1].value()), Fp32(v[2].value())};
}

/// Coefficient of the two filter stages for a group delay `delayS` at the
/// step `periodS`: each stage keeps -alpha of its state.
Fp32 stageCoefficient(Fp32 delayS, Fp32 periodS)
{
    const Fp32 half = delayS * Fp32(0.5f);
    return -half / (half + periodS);
}

void clearOutput(vnx_SensorInterpretation9Axis_Output_s& output)
{
    vnx_SensorInterpretation_Output_s& motion = output.interpretation;
    motion.sampleNumber = 0;
    motion.sampleDelta = 0;
    motion.flags = static_cast<std::uint8_t>(motion.flags & ~VNX_SENSOR_INTERPRETATION_ON_TABLE);
    for (int i = 0; i < 3; ++i) {
        motion.acceleration[i] = 0.0f;
        motion.angularVelocity[i] = 0.0f;
        output.magneticField[i].bits = 0;
    }
}

} // namespace

int SensorInterpretation9Axis::process(int inputInterface, size_t inputCount,
                                       const vnx_StructOutput_s** inputs,
                                       const vnx_StructFormat_s** inputFormats, int outputInterface,
                                       size_t outputCount, vnx_StructOutput_s** outputs,
                                       vnx_StructFormat_s** outputFormats)
{
    if (!initialised_) {
        return VNX_STATUS_INVALID_SCD;
    }
    if (outputInterface != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    vnx::RawNineAxisSample raw;
    const int read = vnx::readNineAxisSample(inputInterface, inputCount, inputs, inputFormats, raw);
    if (read != VNX_STATUS_SUCCESS) {
        return read;
    }
    auto* output =
        vnx::processRecord(outputCount, outputs, 0, vnx_SensorInterpretation9Axis_dynamicDownCastOutput);
    auto* format = vnx::processRecord(outputCount, outputFormats, 0,
                                      vnx_SensorInterpretation9Axis_dynamicDownCastFormat);
    if (output == nullptr || format == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    clearOutput(*output);
    std::uint32_t sampleDelta = 0;
    stateManagement_.calcDSample(raw.sampleNumber, sampleDelta);
    output->interpretation.sampleDelta = sampleDelta;
    if (!raw.hasAcc || !raw.hasRs) {
        return VNX_STATUS_INVALID_CONFIG;
    }

    Interpreted result;
    interpretSample(raw, sampleDelta, result);
    writeFormat(result.accNoiseMps2, *format);

    vnx_SensorInterpretation_Output_s& motion = output->interpretation;
    motion.sampleNumber = raw.sampleNumber;
    for (int i = 0; i < 3; ++i) {
        motion.acceleration[i] = result.accMps2[i].value();
        motion.angularVelocity[i] = result.rateRadPerS[i].value();
        vnx_setFloat32((result.magField[i] * Fp32(kMicroteslaPerGauss)).value(), VNX_QPOINT_FLOAT,
                       &output->magneticField[i]);
    }
    // Neither a table detector nor an offset convergence measure runs here.
    motion.flags = static_cast<std::uint8_t>(motion.flags & ~kDerivedFlags);
    return VNX_STATUS_SUCCESS;
}

void SensorInterpretation9Axis::interpretSample(const vnx::RawNineAxisSample& raw, std::uint32_t sampleDelta,
                                                Interpreted& result)
{
    const vnx::FixedPointCal::Output& cal = cal_.output();
    const Fp32 periodS(cal.period);
    std::uint8_t rangeFlags = 0; // the range ends show up as unknown values downstream

    Vector3 acc;
    interpret_.accInterpret(cal, raw.acc, acc, rangeFlags);
    const Vector3 accLimited = clampEach(acc, kAccLimitMps2);
    Vector3 rate;
    interpret_.rsInterpret(cal, raw.rs, accLimited, rate, rangeFlags);
    Fp32 temperature;
    interpret_.tempInterpret(cal, raw.temperature, temperature);
    interpret_.rsGlitchSuppress(raw.sampleFlags, rate);

    vnx::MagnetometerAmplitudeCal::Output mag{};
    calibrateMagnetometer(raw, rate, mag);
    const Vector3 stillnessField =
        mag.externalAccuracy < Fp32(kZroFieldAccuracyRad) ? mag.calibratedField : Vector3::zeros();

    // Time stamps count whole sample periods; they wrap with the 32 bits.
    const std::uint32_t timeUs = periodUs_ * raw.sampleNumber;
    zroFromStable_.reportRs(timeUs, true, rate, temperature);
    zroFromStable_.reportAcc(timeUs, true, accLimited, -1);
    zroFromStable_.reportMag(timeUs, stillnessField, Fp32(kZroFieldNorm));
    vnx::ZroFromStable::Output zro{};
    zroFromStable_.process(timeUs, temperature, true, true, &zro);
    result.rateRadPerS = rate - zro.zro;

    updateGroupDelays(sampleDelta, mag.externalAccuracy);
    const Fp32 accAlpha = stageCoefficient(accDelayS_, periodS);
    const Fp32 magAlpha = stageCoefficient(magDelayS_, periodS);

    const std::uint32_t intervalUs = periodUs_ * sampleDelta;
    integrator_.process(intervalUs, result.rateRadPerS);
    const Quaternion& q = integrator_.quaternion();
    Vector3 accFiltered;
    Fp32 residual;
    accFilter_.process(intervalUs, periodUs_, accAlpha, acc, q, accFiltered, result.accNoiseMps2, residual);
    result.accMps2 = saturated(accFiltered);
    Fp32 magNoise;
    magFilter_.process(intervalUs, periodUs_, magAlpha, mag.calibratedField, q, result.magField, magNoise,
                       residual);
}

void SensorInterpretation9Axis::calibrateMagnetometer(const vnx::RawNineAxisSample& raw,
                                                      const Vector3& rateRadPerS,
                                                      vnx::MagnetometerAmplitudeCal::Output& out)
{
    if (!raw.hasMag) {
        return;
    }
    const vnx::FixedPointCal::Output& cal = cal_.output();
    std::uint8_t rangeFlags = 0;
    Vector3 field;
    interpret_.magInterpret(cal, raw.mag, field, rangeFlags);
    // No orientation and no gravity reference go with the sample: points
    // are only gathered once an orientation is known.
    const Quaternion noOrientation{};
    magCal_.process(Fp32(cal.period), true, Fp32(kMagPointNoise), field, rateRadPerS, noOrientation,
                    Vector3::zeros(), false, &out);
    magCal_.backgroundProcess(1, true);
}

void SensorInterpretation9Axis::updateGroupDelays(std::uint32_t sampleDelta, Fp32 magExternalAccuracyRad)
{
    const Fp32 periodS(cal_.output().period);
    // After about a second of lost samples the old state says nothing about
    // the new one.
    if (static_cast<double>(sampleDelta) > std::floor(static_cast<double>(cal_.output().rate))) {
        accDelayS_ = Fp32(0.0f);
        magDelayS_ = Fp32(0.0f);
    }
    if (magExternalAccuracyRad > Fp32(kMagDelayRestartRad)) {
        magDelayS_ = Fp32(0.0f);
    }
    accDelayS_ = min(accDelayS_ + periodS, Fp32(kAccDelayMaxS));
    magDelayS_ = min(magDelayS_ + periodS, Fp32(kMagDelayMaxS));
}

void SensorInterpretation9Axis::writeFormat(Fp32 accNoiseMps2,
                                            vnx_SensorInterpretation9Axis_Format_s& format) const
{
    vnx_SensorInterpretation_Format_s& motion = format.interpretation;
    motion.periodUs = periodUs_;
    motion.accValueFormat = VNX_SENSOR_INTERPRETATION_VALUE_FLOAT;
    motion.rateValueFormat = VNX_SENSOR_INTERPRETATION_VALUE_FLOAT;
    const float accNoise = Fp32(accNoiseMps2.value()).value();
    const Vector3& rsNoise = cal_.output().rsNoise;
    for (int i = 0; i < 3; ++i) {
        motion.accNoise[i] = accNoise;
        const Fp32 variance = rsNoise[i] * rsNoise[i];
        motion.rateVariance[i] = variance > Fp32(0.0f) ? variance.value() : 0.0f;
    }
    format.magValueFormat = VNX_QPOINT_FLOAT;
}
