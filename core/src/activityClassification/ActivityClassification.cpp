#include "activityClassification/ActivityClassification.h"

#include <algorithm>
#include <cstring>

#include "calibration/scdAcceptance.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/moduleListenerInterface.h"
#include "moduleFactory/processArguments.h"
#include "numerics/fixedPoint.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"

namespace {

constexpr uint8_t kInputTypes[] = {VNX_TYPE_SENSOR_INTERPRETATION};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_ACTIVITY_CLASSIFICATION};

constexpr uint8_t kFloatCode = 127;
constexpr uint8_t kAbsentCode = 129;
/// The detector's threshold is this multiple of the Config's base value.
constexpr float kThresholdFactor = 5.0f;
/// Reports are at least this far apart, in microseconds of samples.
constexpr uint32_t kReportIntervalUs = 250000;
/// Highest command code the module accepts (all do nothing).
constexpr uint32_t kLastCommandCode = 2;
constexpr float kMicrosecondsPerSecond = 1000000.0f;
/// Bit of the interpreted motion's flag byte that is passed on.
constexpr uint8_t kInterpretationFlag = 1;

/// One angular-rate value of the interpreted motion as a float. With both
/// groups in float bits the value is taken as stored; otherwise the rate
/// group's code decides: absent reads 0, float bits are saturated into the
/// range of FloatingPoint (NaN reads as its upper bound), any other code is
/// a fixed-point number with that many fractional bits.
float angularRate(float stored, uint8_t accelerationCode, uint8_t rateCode)
{
    if (accelerationCode == kFloatCode && rateCode == kFloatCode) {
        return stored;
    }
    if (rateCode == kAbsentCode) {
        return 0.0f;
    }
    if (rateCode == kFloatCode) {
        return vnx::Fp32(stored).value();
    }
    int32_t fixed;
    std::memcpy(&fixed, &stored, sizeof(fixed));
    return vnx::fptToFloat32(fixed, static_cast<int8_t>(rateCode));
}

int16_t isMoving(float rate, float threshold)
{
    return rate > threshold || rate < -threshold ? 1 : 0;
}

} // namespace

ActivityClassification::ActivityClassification() : config_{}
{
    vnx_ActivityClassification_initConfig(&config_);
    vnx::NodeManager::getInstance().addNode(this, &isStable_, vnx::NodeInterface::NODE_SUBNODE, "IsStable");
}

ActivityClassification::~ActivityClassification()
{
    vnx::NodeManager::getInstance().removeNode(&isStable_);
}

int ActivityClassification::setModuleListener(vnx::ModuleListenerInterface* listener)
{
    listener_ = listener;
    return VNX_STATUS_SUCCESS;
}

int ActivityClassification::getConfig(vnx_StructConfig_s* config) const
{
    auto* own = vnx_ActivityClassification_dynamicDownCastConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    *own = config_;
    return VNX_STATUS_SUCCESS;
}

int ActivityClassification::setConfig(const vnx_StructConfig_s* config)
{
    const auto* own = vnx_ActivityClassification_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    if (own->stillTimeS != config_.stillTimeS) {
        isStable_.init(sampleRateHz_, own->stillTimeS);
    }
    if (own->motionThresholdBase != config_.motionThresholdBase) {
        motionThresholdRadPerS_ = kThresholdFactor * own->motionThresholdBase;
    }
    config_ = *own;
    return VNX_STATUS_SUCCESS;
}

int ActivityClassification::sendCommand(const vnx_StructCommand_s* command)
{
    const auto* own = vnx_ActivityClassification_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    return own->code <= kLastCommandCode ? VNX_STATUS_SUCCESS : VNX_STATUS_INVALID_COMMAND;
}

uint8_t ActivityClassification::getType() const
{
    return VNX_TYPE_ACTIVITY_CLASSIFICATION;
}

int ActivityClassification::init(const vnx_scdData_s* scd, int&, const vnx_dcdData_s*, int&)
{
    muteCounter_ = 0;
    // The block's own size word is all that is known of its length.
    const vnx::AcceptedScd accepted = vnx::acceptScd(scd, SIZE_MAX);
    if (!accepted.valid()) {
        return VNX_STATUS_INVALID_SCD;
    }
    // From the period in whole microseconds, the unit of every sample Format:
    // 8000 us gives exactly 125 Hz and a minute of 7500 samples, where the
    // inverse of the float period (0.008f is slightly above 0.008) falls just
    // short of 125 and would make the minute one sample short.
    const int32_t periodUs = std::max<int32_t>(accepted.periodUs(), 1);
    sampleRateHz_ = vnx::Fp32(kMicrosecondsPerSecond / static_cast<float>(periodUs));
    motionThresholdRadPerS_ = kThresholdFactor * config_.motionThresholdBase;
    isStable_.init(sampleRateHz_, config_.stillTimeS);
    vnx_ActivityClassification_initConfig(&config_);
    return VNX_STATUS_SUCCESS;
}

int ActivityClassification::term()
{
    return VNX_STATUS_SUCCESS;
}

int ActivityClassification::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int ActivityClassification::getInputInterfaceCount() const
{
    return 1;
}

int ActivityClassification::getInputInterface(int index, size_t capacity, uint8_t* typeIds,
                                              size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kInputTypes, capacity, typeIds, count);
}

int ActivityClassification::getOutputInterfaceCount() const
{
    return 1;
}

int ActivityClassification::getOutputInterface(int index, size_t capacity, uint8_t* typeIds,
                                               size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputTypes, capacity, typeIds, count);
}

int ActivityClassification::process(int, size_t inputCount, const vnx_StructOutput_s** inputs,
                                    const vnx_StructFormat_s** inputFormats, int, size_t outputCount,
                                    vnx_StructOutput_s** outputs, vnx_StructFormat_s**)
{
    const auto* motion =
        vnx::processRecord(inputCount, inputs, 0, vnx_SensorInterpretation_dynamicDownCastConstOutput);
    const auto* format =
        vnx::processRecord(inputCount, inputFormats, 0, vnx_SensorInterpretation_dynamicDownCastConstFormat);
    auto* out = vnx::processRecord(outputCount, outputs, 0, vnx_ActivityClassification_dynamicDownCastOutput);
    if (motion == nullptr || format == nullptr || out == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    const float rateY =
        angularRate(motion->angularVelocity[1], format->accValueFormat, format->rateValueFormat);
    const float rateZ =
        angularRate(motion->angularVelocity[2], format->accValueFormat, format->rateValueFormat);

    uint8_t flags = out->flags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_USER_BITS;
    if ((motion->flags & kInterpretationFlag) != 0) {
        flags |= VNX_ACTIVITY_CLASSIFICATION_OUTPUT_INTERPRETATION_FLAG;
    }
    // Each sample that directly follows its predecessor counts once.
    bool still = false;
    isStable_.process(motion->sampleDelta, 1, isMoving(rateY, motionThresholdRadPerS_),
                      isMoving(rateZ, motionThresholdRadPerS_), &still);
    if (still) {
        flags |= VNX_ACTIVITY_CLASSIFICATION_OUTPUT_STILL;
    }
    out->flags = flags;

    if (muteCounter_ > 0) {
        --muteCounter_;
        if (muteCounter_ > 0) {
            return VNX_STATUS_SUCCESS;
        }
    }
    if (listener_ == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    const bool reportStill = (flags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_STILL) != 0 &&
                             (config_.statusEnable & VNX_ACTIVITY_CLASSIFICATION_REPORT_STILL) != 0;
    const bool reportFlag =
        (flags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_INTERPRETATION_FLAG) != 0 &&
        (config_.statusEnable & VNX_ACTIVITY_CLASSIFICATION_REPORT_INTERPRETATION_FLAG) != 0;
    if (!reportStill && !reportFlag) {
        return VNX_STATUS_SUCCESS;
    }
    // A period of 0 would give no interval to mute: report again next sample
    // rather than divide by zero.
    muteCounter_ = format->periodUs == 0 ? 0 : static_cast<int32_t>(kReportIntervalUs / format->periodUs);
    report(flags);
    return VNX_STATUS_SUCCESS;
}

void ActivityClassification::report(uint8_t outputFlags)
{
    vnx_ActivityClassification_Status_s status;
    vnx_ActivityClassification_initStatus(&status);
    status.statusType = VNX_ACTIVITY_CLASSIFICATION_STATUS_ACTIVITY;
    if ((outputFlags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_STILL) != 0) {
        status.flags |= VNX_ACTIVITY_CLASSIFICATION_STATUS_STILL;
    }
    if ((outputFlags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_INTERPRETATION_FLAG) != 0) {
        status.flags |= VNX_ACTIVITY_CLASSIFICATION_STATUS_INTERPRETATION_FLAG;
    }
    listener_->statusCallback(this, vnx_ActivityClassification_upCastStatus(&status));
}
