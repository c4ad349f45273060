#include "sensorInterpretationModule/SensorInterpretation.h"

#include <cstdint>
#include <cstring>

#include "calibration/dcdAcceptance.h"
#include "calibration/scdAcceptance.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"

using vnx::Fp32;
using vnx::qdVectorFixed::Vector3;

namespace {

constexpr std::uint8_t kOutputTypes[] = {VNX_TYPE_SENSOR_INTERPRETATION};

// Axis masks of the Format: x, y and z present, or y and z only.
constexpr std::uint8_t kAllAxes = 7;
constexpr std::uint8_t kYZAxes = 6;

// The magnetometer is not part of this module's input: the still-window
// detector sees a zero field with a fixed norm.
constexpr float kNoMagnetometerNorm = 0.5f;
// Every bit set: no raw accelerometer history is kept.
constexpr std::int16_t kNoRawHistory = -1;

Vector3 limited(const Vector3& v, float limit)
{
    Vector3 out = v;
    for (int i = 0; i < 3; ++i) {
        out[i] = vnx::max(vnx::min(out[i], Fp32(limit)), Fp32(-limit));
    }
    return out;
}

// floor(period x 1000000) in whole microseconds, computed in float as the
// period is stored; at most 2^32 - 1.
std::uint32_t periodInMicroseconds(float periodS)
{
    const float us = periodS * 1000000.0f;
    constexpr float kLimit = 4294967296.0f; // 2^32
    if (!(us >= 0.0f)) {
        return 0;
    }
    return us >= kLimit ? 0xFFFFFFFFu : static_cast<std::uint32_t>(us);
}

} // namespace

SensorInterpretation::SensorInterpretation()
{
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    nodes.addNode(this, &stateManagement_, vnx::NodeInterface::NODE_SUBNODE, "StateManagement");
    nodes.addNode(this, &interpret_, vnx::NodeInterface::NODE_SUBNODE, "Interpret");
    nodes.addNode(this, &biasCorrect_, vnx::NodeInterface::NODE_SUBNODE, "BiasCorrectMin");
    nodes.addNode(this, &cal_, vnx::NodeInterface::NODE_SUBNODE, "Cal");
    nodes.addNode(this, &accCal_, vnx::NodeInterface::NODE_SUBNODE, "accCal");
    nodes.addNode(this, &zroFromStable_, vnx::NodeInterface::NODE_SUBNODE, "ZroFromStable");
}

SensorInterpretation::~SensorInterpretation()
{
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    for (const void* member :
         {static_cast<const void*>(&zroFromStable_), static_cast<const void*>(&accCal_),
          static_cast<const void*>(&cal_), static_cast<const void*>(&biasCorrect_),
          static_cast<const void*>(&interpret_), static_cast<const void*>(&stateManagement_)}) {
        nodes.removeNode(member);
    }
}

int SensorInterpretation::setModuleListener(vnx::ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int SensorInterpretation::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_NOT_FOR_ME;
}

int SensorInterpretation::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_NOT_FOR_ME;
}

int SensorInterpretation::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_NOT_FOR_ME;
}

uint8_t SensorInterpretation::getType() const
{
    return VNX_TYPE_SENSOR_INTERPRETATION;
}

int SensorInterpretation::init(const vnx_scdData_s* scd, int&, const vnx_dcdData_s* dcd, int&)
{
    // The block's own size word is all that is known of its length.
    const vnx::AcceptedScd acceptedScd = vnx::acceptScd(scd, SIZE_MAX);
    if (cal_.verifyAndInit(acceptedScd) != VNX_STATUS_SUCCESS) {
        initialised_ = false;
        return VNX_STATUS_INVALID_SCD;
    }
    initialised_ = true;
    scdCrc_ = acceptedScd.crc();
    activeRsChannels_ = vnx::kRsChannelsDefault;

    // The block's own size word is all that is known of its length.
    const vnx::AcceptedDcd accepted = vnx::acceptDcd(dcd, SIZE_MAX, scdCrc_);
    const dcdAlg4MinFixedInnards_s* innards = accepted.innards();
    const dcdAccOffsetCal_s* accPart = accepted.accelerometer(); // the 184-byte form has none

    const vnx::FixedPointCal::Output& constants = cal_.output();
    stateManagement_.init();
    interpret_.init();
    biasCorrect_.init(constants, innards, true, activeRsChannels_);
    periodS_ = constants.period;
    periodUs_ = periodInMicroseconds(periodS_);
    zroFromStable_.init(constants, innards, true);
    zroFromStable_.updatePeriods(Fp32(periodS_), Fp32(periodS_), Fp32(periodS_), Fp32(periodS_));
    accCal_.init(constants, accPart);
    stillWindow_ = vnx::ZroFromStable::Output{};
    return accepted.status();
}

int SensorInterpretation::term()
{
    return VNX_STATUS_SUCCESS;
}

int SensorInterpretation::getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const
{
    if (!initialised_) {
        return VNX_STATUS_INVALID_SCD;
    }
    // In 64 bits: an offset near INT_MAX must not wrap into "room".
    if (static_cast<long long>(dcdOffset) + VNX_DCD_ALG49AXISFIXED_SIZE > capacity) {
        return VNX_STATUS_SIZE_TOO_SMALL;
    }
    if (dcdOffset != 0 || dcd == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    dcdAlg49AxisFixed_s block;
    dcdAlg49AxisFixedStart(&block);
    biasCorrect_.getDcd(block.innards);
    accCal_.getDcd(&block.accOffsetCal);
    dcdAlg49AxisFixedSeal(&block, scdCrc_);
    std::memcpy(dcd, &block, sizeof block);
    dcdOffset = VNX_DCD_ALG49AXISFIXED_SIZE;
    return VNX_STATUS_SUCCESS;
}

int SensorInterpretation::getInputInterfaceCount() const
{
    return vnx::kRawSampleInterfaceCount;
}

int SensorInterpretation::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index < 0 || index >= vnx::kRawSampleInterfaceCount) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(vnx::rawSampleInterfaceTypes(index), capacity, typeIds, count);
}

int SensorInterpretation::getOutputInterfaceCount() const
{
    return 1;
}

int SensorInterpretation::getOutputInterface(int index, size_t capacity, uint8_t* typeIds,
                                             size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputTypes, capacity, typeIds, count);
}

int SensorInterpretation::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                                  const vnx_StructFormat_s** inputFormats, int outputInterface,
                                  size_t outputCount, vnx_StructOutput_s** outputs,
                                  vnx_StructFormat_s** outputFormats)
{
    if (outputInterface != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    auto* output =
        vnx::processRecord(outputCount, outputs, 0, vnx_SensorInterpretation_dynamicDownCastOutput);
    auto* format =
        vnx::processRecord(outputCount, outputFormats, 0, vnx_SensorInterpretation_dynamicDownCastFormat);
    vnx::RawSensorSample raw;
    const int read = vnx::readRawSample(inputInterface, inputCount, inputs, inputFormats, raw);
    if (read == VNX_STATUS_INVALID_INTERFACE) {
        return read;
    }
    if (output == nullptr || format == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (read != VNX_STATUS_SUCCESS) {
        return read;
    }
    if (!initialised_) {
        return VNX_STATUS_INVALID_SCD;
    }
    interpretSample(raw, *output, *format);
    return VNX_STATUS_SUCCESS;
}

void SensorInterpretation::interpretSample(const vnx::RawSensorSample& raw,
                                           vnx_SensorInterpretation_Output_s& output,
                                           vnx_SensorInterpretation_Format_s& format)
{
    const vnx::FixedPointCal::Output& constants = cal_.output();
    std::uint32_t delta = 0;
    stateManagement_.calcDSample(raw.sampleNumber, delta);
    output.sampleDelta = delta;

    vnx::Interpret::Output sample{};
    Vector3 acc{};
    interpret_.accInterpret(constants, raw.acc, acc, sample.flags);
    const Vector3 accLimited = limited(acc, kAccLimit);
    interpret_.rsInterpret(constants, raw.rs, accLimited, sample.rs, sample.flags);
    interpret_.tempInterpret(constants, raw.temperature, sample.temperature);
    interpret_.rsGlitchSuppress(raw.sampleFlags, sample.rs);

    // Time stamps wrap with the sample number, as the estimators expect.
    const std::uint32_t timeUs = periodUs_ * raw.sampleNumber;
    sample.acc = calibrateAcceleration(timeUs, acc, accLimited, sample);

    vnx::BiasCorrectMin::Output bias{};
    biasCorrect_.process(delta, 1, sample, bias);

    getFormat(bias, format);
    output.sampleNumber = raw.sampleNumber;
    for (int i = 0; i < 3; ++i) {
        output.acceleration[i] = sample.acc[i].value();
        output.angularVelocity[i] = bias.rate[i].value();
    }
    auto flags = static_cast<std::uint8_t>(
        output.flags & ~(VNX_SENSOR_INTERPRETATION_ON_TABLE | VNX_SENSOR_INTERPRETATION_ZRO_CONVERGED));
    if (bias.onTable != 0) {
        flags |= VNX_SENSOR_INTERPRETATION_ON_TABLE;
    }
    if (bias.converged != 0) {
        flags |= VNX_SENSOR_INTERPRETATION_ZRO_CONVERGED;
    }
    output.flags = flags;
}

Vector3 SensorInterpretation::calibrateAcceleration(std::uint32_t timeUs, const Vector3& acc,
                                                    const Vector3& accLimited,
                                                    const vnx::Interpret::Output& sample)
{
    zroFromStable_.reportRs(timeUs, false, sample.rs, sample.temperature);
    zroFromStable_.reportAcc(timeUs, false, accLimited, kNoRawHistory);
    zroFromStable_.reportMag(timeUs, Vector3{}, Fp32(kNoMagnetometerNorm));
    zroFromStable_.process(timeUs, sample.temperature, true, false, &stillWindow_);

    // A still window (in hand or on a table) gives the acceleration of one
    // orientation at rest: a new point for the accelerometer offset fit.
    const Vector3 atRest = stillWindow_.accMean;
    const bool stillWindow = stillWindow_.onTableOverride != 0 || stillWindow_.windowReported != 0;
    const bool newOrientation = stillWindow && !(atRest == Vector3{});
    stillWindow_.accMean = Vector3{};

    accCal_.process(Fp32(periodS_), newOrientation, acc, atRest);
    Vector3 calibrated{};
    accCal_.applyCal(acc, &calibrated);
    return limited(calibrated, kAccLimit);
}

void SensorInterpretation::getFormat(const vnx::BiasCorrectMin::Output& bias,
                                     vnx_SensorInterpretation_Format_s& format) const
{
    const vnx::FixedPointCal::Output& constants = cal_.output();
    format.periodUs = periodUs_;
    format.accValueFormat = VNX_SENSOR_INTERPRETATION_VALUE_FLOAT;
    format.rateValueFormat = VNX_SENSOR_INTERPRETATION_VALUE_FLOAT;
    format.accAxes = kAllAxes;
    format.rateAxes = activeRsChannels_ == 2 ? kYZAxes : kAllAxes;
    for (int i = 0; i < 3; ++i) {
        format.accNoise[i] = constants.accNoise[i].value();
        const Fp32 noiseVariance = constants.rsNoise[i] * constants.rsNoise[i];
        format.rateVariance[i] = vnx::max(noiseVariance, bias.variance[i]).value();
    }
}
