// One sample through the fusion engine: record checks, reports, drain and
// the output records.

#include <cstring>

#include "common/statusCode.h"
#include "common/valueEncoding.h"
#include "moduleFactory/processArguments.h"
#include "sensorFusionPerDevice/SensorFusionPerDevice.h"

namespace {

/// A gyroscope reading of 32767 on every axis, and the temperature that goes
/// with it: the sample carries no rate.
constexpr std::int16_t kNoRate = 32767;

/// Interpreted-motion flags written here: bit 0 the engine's stationary flag,
/// bit 1 set (the rate has its offset removed); bits 2 to 7 belong to the record.
constexpr std::uint8_t kStationaryFlag = 0x1;
constexpr std::uint8_t kOffsetRemovedFlag = 0x2;
constexpr std::uint8_t kKeptFlags = 0xFC;
constexpr std::uint8_t kAllAxes = 7;

/// An engine vector in the motion record's axes: (y, x, -z), as float bits.
void assignOutputXYZ(const float (&in)[3], vnx_Number32_u (&out)[3], int8_t& code)
{
    out[0].real = in[1];
    out[1].real = in[0];
    out[2].real = -in[2];
    code = VNX_QPOINT_FLOAT;
}

/// An engine quaternion (x, y, z, w) in the motion record's axes and order
/// (w, x, y, z) = (w, -y, -x, z), as float bits.
void assignOutputQtn(const float (&in)[4], vnx_Number32_u (&out)[4], int8_t& code)
{
    out[0].real = in[3];
    out[1].real = -in[1];
    out[2].real = -in[0];
    out[3].real = in[2];
    code = VNX_QPOINT_FLOAT;
}

/// The same three axes as plain floats (interpreted motion).
void assignOutputXYZ(const float (&in)[3], float (&out)[3])
{
    out[0] = in[1];
    out[1] = in[0];
    out[2] = -in[2];
}

bool isNoRate(const std::int16_t (&rate)[3])
{
    return rate[0] == kNoRate && rate[1] == kNoRate && rate[2] == kNoRate;
}

} // namespace

bool SensorFusionPerDevice::resolveOutputs(int outputInterface, size_t outputCount,
                                           vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats,
                                           Outputs& out)
{
    out.motion = vnx::processRecord(outputCount, outputs, 0, vnx_SensorFusion_dynamicDownCastOutput);
    out.motionFormat =
        vnx::processRecord(outputCount, outputFormats, 0, vnx_SensorFusion_dynamicDownCastFormat);
    out.interpreted = nullptr;
    out.interpretedFormat = nullptr;
    if (out.motion == nullptr || out.motionFormat == nullptr) {
        return false;
    }
    if (outputInterface == 0) {
        return true;
    }
    if (outputInterface != 1) {
        return false;
    }
    out.interpreted =
        vnx::processRecord(outputCount, outputs, 1, vnx_SensorInterpretation_dynamicDownCastOutput);
    out.interpretedFormat =
        vnx::processRecord(outputCount, outputFormats, 1, vnx_SensorInterpretation_dynamicDownCastFormat);
    return out.interpreted != nullptr && out.interpretedFormat != nullptr;
}

bool SensorFusionPerDevice::resolveInputs(int inputInterface, size_t inputCount,
                                          const vnx_StructOutput_s** inputs,
                                          const vnx_StructFormat_s** inputFormats, Inputs& in)
{
    in = {};
    switch (inputInterface) {
    case 0:
        in.nineAxis = vnx::processRecord(inputCount, inputs, 0,
                                         vnx_SensorInterpretation9Axis_dynamicDownCastConstOutput);
        in.nineAxisFormat = vnx::processRecord(inputCount, inputFormats, 0,
                                               vnx_SensorInterpretation9Axis_dynamicDownCastConstFormat);
        return in.nineAxis != nullptr && in.nineAxisFormat != nullptr;
    case 1:
        // Up to three samples, each of which may be absent; a present one
        // must be a DeviceSupport Output. The first Format is required.
        if (inputs == nullptr || inputCount == 0) {
            return false;
        }
        for (size_t i = 0; i < 3 && i < inputCount; ++i) {
            if (inputs[i] != nullptr) {
                in.sensors[i] = vnx_DeviceSupport_dynamicDownCastConstOutput(inputs[i]);
                if (in.sensors[i] == nullptr) {
                    return false;
                }
            }
        }
        in.sensorFormat =
            vnx::processRecord(inputCount, inputFormats, 0, vnx_DeviceSupport_dynamicDownCastConstFormat);
        return in.sensorFormat != nullptr;
    case 2:
        in.sensors[0] =
            vnx::processRecord(inputCount, inputs, 0, vnx_DeviceSupport_dynamicDownCastConstOutput);
        in.sensorFormat =
            vnx::processRecord(inputCount, inputFormats, 0, vnx_DeviceSupport_dynamicDownCastConstFormat);
        return in.sensors[0] != nullptr && in.sensorFormat != nullptr;
    case 3:
        in.sample6AG =
            vnx::processRecord(inputCount, inputs, 0, vnx_DeviceSupport6AG_dynamicDownCastConstOutput);
        return in.sample6AG != nullptr;
    case 4:
        in.sample9AGM =
            vnx::processRecord(inputCount, inputs, 0, vnx_DeviceSupport9AGM_dynamicDownCastConstOutput);
        return in.sample9AGM != nullptr;
    default:
        return true; // unknown interface: answered after the sample number is cleared
    }
}

int SensorFusionPerDevice::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                                   const vnx_StructFormat_s** inputFormats, int outputInterface,
                                   size_t outputCount, vnx_StructOutput_s** outputs,
                                   vnx_StructFormat_s** outputFormats)
{
    Outputs out;
    Inputs in;
    if (!resolveOutputs(outputInterface, outputCount, outputs, outputFormats, out) ||
        !resolveInputs(inputInterface, inputCount, inputs, inputFormats, in)) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    out.motion->sampleNumber = 0;
    if (engine_ == nullptr) {
        return VNX_STATUS_INVALID_SCD;
    }

    Reported reported;
    switch (inputInterface) {
    case 0:
        writeNineAxis(in, out);
        return VNX_STATUS_SUCCESS;
    case 1:
        reportDeviceSupportSet(in, *out.motion, reported);
        break;
    case 2:
        reportDeviceSupportSample(in, *out.motion, reported);
        break;
    case 3:
        report6AG(*in.sample6AG, *out.motion, reported);
        break;
    case 4:
        report9AGM(*in.sample9AGM, *out.motion, reported);
        break;
    default:
        return VNX_STATUS_INVALID_INTERFACE;
    }

    // Drain. The valid bits of every step are gathered: the last step, which
    // finds nothing left to do, clears them, yet the values written by the
    // earlier steps of this sample stand in the record.
    int result;
    bool stationary = false;
    std::uint32_t validBits = 0;
    do {
        std::uint8_t flag;
        result = engine_->process(&engineOutput_, &flag);
        validBits |= engineOutput_.validBits;
        stationary = stationary || (engineOutput_.stabilityFlags & VNX_MOBILE_STABILITY_STATIONARY) != 0;
    } while (result == VNX_STATUS_SUCCESS);

    if (result != VNX_STATUS_WARNING_WAITING_FOR_FUSION) {
        return result;
    }
    if (!reported.gyroscopeSample) {
        return VNX_STATUS_WARNING_WAITING_FOR_FUSION;
    }
    writeMotion(out);
    if (out.interpreted != nullptr) {
        // Only the DeviceSupport set carries the engine's stationary flag on.
        writeInterpreted(out, reported, inputInterface == 1 && stationary, validBits);
    }
    return VNX_STATUS_SUCCESS;
}

void SensorFusionPerDevice::reportDeviceSupportSet(const Inputs& in, vnx_SensorFusion_Output_s& motion,
                                                   Reported& reported)
{
    const std::uint32_t sampleNumber = in.sensorFormat->sampleNumber;
    motion.sampleNumber = sampleNumber;
    counters_[0].calcDSample(sampleNumber, reported.sampleDelta);
    const std::uint32_t t = stamp(sampleNumber);

    // A later sample of a sensor replaces an earlier one.
    const vnx_DeviceSupport_Output_s* bySensor[4] = {};
    for (const vnx_DeviceSupport_Output_s* sample : in.sensors) {
        if (sample != nullptr && sample->sensor >= VNX_DEVICE_SUPPORT_ACCELEROMETER &&
            sample->sensor <= VNX_DEVICE_SUPPORT_MAGNETOMETER) {
            bySensor[sample->sensor] = sample;
        }
    }
    const vnx_DeviceSupport_Output_s* acc = bySensor[VNX_DEVICE_SUPPORT_ACCELEROMETER];
    const vnx_DeviceSupport_Output_s* gyro = bySensor[VNX_DEVICE_SUPPORT_GYROSCOPE];
    const vnx_DeviceSupport_Output_s* mag = bySensor[VNX_DEVICE_SUPPORT_MAGNETOMETER];

    if (acc != nullptr && periods_.accelerometerUs > 0) {
        engine_->reportAcc(t, acc->x, acc->y, acc->z);
    }
    if (mag != nullptr && periods_.magnetometerUs > 0) {
        engine_->reportMag(t, mag->x, mag->y, mag->z);
    } else {
        engine_->reportMag(t, 0, 0, 0);
    }
    if (gyro != nullptr) {
        if (periods_.gyroscopeUs > 0) {
            engine_->reportGyro(t, gyro->x, gyro->y, gyro->z, in.sensorFormat->temperature);
        } else {
            engine_->reportGyro(t, kNoRate, kNoRate, kNoRate, kNoRate);
        }
    }
    if (periods_.fusionUs > 0) {
        engine_->reportFusionTick(t);
    }
}

void SensorFusionPerDevice::reportDeviceSupportSample(const Inputs& in, vnx_SensorFusion_Output_s& motion,
                                                      Reported& reported)
{
    const vnx_DeviceSupport_Output_s& sample = *in.sensors[0];
    const std::uint32_t sampleNumber = in.sensorFormat->sampleNumber;
    motion.sampleNumber = sampleNumber;
    const std::uint8_t sensor = sample.sensor;
    std::uint32_t t = 0;
    if (sensor >= 1 && sensor <= 4) {
        counters_[sensor - 1].calcDSample(sampleNumber, reported.sampleDelta);
        t = stamp(sampleNumber);
    }
    reported.gyroscopeSample = sensor == VNX_DEVICE_SUPPORT_GYROSCOPE;
    switch (sensor) {
    case VNX_DEVICE_SUPPORT_MAGNETOMETER:
        engine_->reportMag(t, sample.x, sample.y, sample.z);
        break;
    case VNX_DEVICE_SUPPORT_ACCELEROMETER:
        engine_->reportAcc(t, sample.x, sample.y, sample.z);
        break;
    case VNX_DEVICE_SUPPORT_GYROSCOPE: {
        const std::int16_t rate[3] = {sample.x, sample.y, sample.z};
        reportGyro(t, rate, kNoRate);
        engine_->reportFusionTick(t);
        break;
    }
    default:
        break;
    }
}

void SensorFusionPerDevice::report6AG(const vnx_DeviceSupport6AG_Output_s& sample,
                                      vnx_SensorFusion_Output_s& motion, Reported& reported)
{
    const auto sampleNumber = static_cast<std::uint32_t>(sample.sampleNumber);
    motion.sampleNumber = sampleNumber;
    counters_[0].calcDSample(sampleNumber, reported.sampleDelta);
    const std::uint32_t t = stamp(sampleNumber);
    engine_->reportAcc(t, sample.accelerometer[0], sample.accelerometer[1], sample.accelerometer[2]);
    engine_->reportMag(t, 0, 0, 0);
    reportGyro(t, sample.gyroscope, sample.temperature);
    engine_->reportFusionTick(t);
}

void SensorFusionPerDevice::report9AGM(const vnx_DeviceSupport9AGM_Output_s& sample,
                                       vnx_SensorFusion_Output_s& motion, Reported& reported)
{
    const auto sampleNumber = static_cast<std::uint32_t>(sample.sampleNumber);
    motion.sampleNumber = sampleNumber;
    counters_[0].calcDSample(sampleNumber, reported.sampleDelta);
    const std::uint32_t t = stamp(sampleNumber);
    engine_->reportAcc(t, sample.accelerometer[0], sample.accelerometer[1], sample.accelerometer[2]);
    engine_->reportMag(t, sample.magnetometer[0], sample.magnetometer[1], sample.magnetometer[2]);
    reportGyro(t, sample.gyroscope, sample.temperature);
    engine_->reportFusionTick(t);
}

void SensorFusionPerDevice::reportGyro(std::uint32_t timeUs, const std::int16_t (&rate)[3],
                                       std::int16_t temperature)
{
    if (isNoRate(rate) || periods_.gyroscopeUs < 0) {
        engine_->reportGyro(timeUs, kNoRate, kNoRate, kNoRate, kNoRate);
    } else {
        engine_->reportGyro(timeUs, rate[0], rate[1], rate[2], temperature);
    }
}

void SensorFusionPerDevice::writeMotion(const Outputs& out) const
{
    vnx_SensorFusion_Output_s& motion = *out.motion;
    vnx_SensorFusion_Format_s& format = *out.motionFormat;
    format.periodUs = effectivePeriodUs_;
    assignOutputXYZ(engineOutput_.accelerometer, motion.acceleration, format.accelerationQ);
    assignOutputXYZ(engineOutput_.linearAcceleration, motion.linearAcceleration, format.linearAccelerationQ);
    assignOutputXYZ(engineOutput_.rotationRate, motion.angularVelocity, format.angularVelocityQ);
    assignOutputXYZ(engineOutput_.magnetometer, motion.magneticField, format.magneticFieldQ);
    assignOutputQtn(engineOutput_.rotationVector, motion.quaternion, format.quaternionQ);
}

void SensorFusionPerDevice::writeInterpreted(const Outputs& out, const Reported& reported, bool stationary,
                                             std::uint32_t validBits) const
{
    vnx_SensorInterpretation_Output_s& motion = *out.interpreted;
    motion.sampleNumber = out.motion->sampleNumber;
    motion.sampleDelta = reported.sampleDelta;
    motion.flags = static_cast<std::uint8_t>((motion.flags & kKeptFlags) |
                                             (stationary ? kStationaryFlag : 0) | kOffsetRemovedFlag);
    assignOutputXYZ(engineOutput_.linearAcceleration, motion.acceleration);
    assignOutputXYZ(engineOutput_.rotationRate, motion.angularVelocity);

    vnx_SensorInterpretation_Format_s& format = *out.interpretedFormat;
    format.periodUs = effectivePeriodUs_;
    format.accValueFormat = VNX_SENSOR_INTERPRETATION_VALUE_FLOAT;
    format.rateValueFormat = VNX_SENSOR_INTERPRETATION_VALUE_FLOAT;
    format.accAxes = (validBits & VNX_MOBILE_BIT_ACCELEROMETER) != 0 ? kAllAxes : 0;
    format.rateAxes = (validBits & VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE) != 0 ? kAllAxes : 0;
    for (int i = 0; i < 3; ++i) {
        format.accNoise[i] = 0.0f;
        format.rateVariance[i] = 0.0f;
    }
}

void SensorFusionPerDevice::writeNineAxis(const Inputs& in, const Outputs& out)
{
    // What the interpreted sample carries goes over word for word with its
    // number codes; the orientation and the linear acceleration, which only
    // the engine produces, are marked absent.
    const vnx_SensorInterpretation_Output_s& sample = in.nineAxis->interpretation;
    const vnx_SensorInterpretation_Format_s& sampleFormat = in.nineAxisFormat->interpretation;
    vnx_SensorFusion_Output_s& motion = *out.motion;
    vnx_SensorFusion_Format_s& format = *out.motionFormat;
    motion.sampleNumber = sample.sampleNumber;
    std::memcpy(motion.acceleration, sample.acceleration, sizeof motion.acceleration);
    std::memcpy(motion.angularVelocity, sample.angularVelocity, sizeof motion.angularVelocity);
    std::memcpy(motion.magneticField, in.nineAxis->magneticField, sizeof motion.magneticField);
    std::memset(motion.linearAcceleration, 0, sizeof motion.linearAcceleration);
    std::memset(motion.quaternion, 0, sizeof motion.quaternion);
    format.periodUs = sampleFormat.periodUs;
    format.accelerationQ = static_cast<int8_t>(sampleFormat.accValueFormat);
    format.angularVelocityQ = static_cast<int8_t>(sampleFormat.rateValueFormat);
    format.magneticFieldQ = static_cast<int8_t>(in.nineAxisFormat->magValueFormat);
    format.linearAccelerationQ = VNX_QPOINT_INVALID;
    format.quaternionQ = VNX_QPOINT_INVALID;
    if (out.interpreted != nullptr) {
        *out.interpreted = sample;
        *out.interpretedFormat = sampleFormat;
    }
}
