#include "activity/ActivityTracker.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "calibration/FixedPointCal.h"
#include "calibration/scdAcceptance.h"
#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

/// The classifier and the channels need at least 25 Hz.
constexpr std::int32_t kLongestAskedPeriodUs = 40000;
/// setInputPeriods refuses this and longer (below 22.5 Hz).
constexpr std::int32_t kRefusedPeriodUs = 44445;
/// Activity code 0 cannot be asked for: it comes with any other.
constexpr std::uint32_t kRequestableClasses = 510;
/// Walking and running: the step detector needs to know when the user is on foot.
constexpr std::uint32_t kOnFootClasses = (1u << kActivityWalking) | (1u << kActivityRunning);

void initChannel(StepDetectorInterface::StepDetectorInstance& channel,
                 const vnx_ActivityTracker_Channel_Config_s& c)
{
    channel.init(fptToFloat32(c.toleranceQ31, 31), fptToFloat32(c.timeConstantQ30, 30),
                 fptToFloat32(c.minSpacingQ31, 31), fptToFloat32(c.thresholdQ31, 31));
}

} // namespace

ActivityTracker::ActivityTracker()
{
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &stepChannel_, NodeInterface::NODE_SUBNODE, "stepDetector");
    nodes.addNode(this, &vibrationChannel_, NodeInterface::NODE_SUBNODE, "vibrationDetector");
    nodes.addNode(this, &classifier_, NodeInterface::NODE_SUBNODE, "activityClassifier");
    nodes.addNode(this, &phoneSteps_, NodeInterface::NODE_SUBNODE, "StepCounterMobile");
    nodes.addNode(this, &watchSteps_, NodeInterface::NODE_SUBNODE, "stepCounterWatchWAAR");
}

ActivityTracker::~ActivityTracker()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

int ActivityTracker::readCalibration(const std::uint8_t* scd, std::size_t scdLength)
{
    if (scd == nullptr || scdLength < 4)
        return VNX_STATUS_INVALID_SCD;
    FixedPointCal cal;
    if (cal.verifyAndInit(acceptScd(scd, scdLength)) != VNX_STATUS_SUCCESS)
        return VNX_STATUS_INVALID_SCD;
    const auto& noise = cal.output().accNoise;
    noiseMs2_ =
        std::max({std::fabs(noise[0].value()), std::fabs(noise[1].value()), std::fabs(noise[2].value())});
    return VNX_STATUS_SUCCESS;
}

int ActivityTracker::init(const vnx_ActivityTracker_atConfigMemory_s* config, const std::uint8_t* scd,
                          std::size_t scdLength)
{
    disable();
    lastActivity_ = kActivityUnknown;
    if (readCalibration(scd, scdLength) != VNX_STATUS_SUCCESS)
        return VNX_STATUS_INVALID_SCD;
    if (config == nullptr || config->size != VNX_ACTIVITY_TRACKER_CONFIG_SIZE ||
        config->version != VNX_ACTIVITY_TRACKER_CONFIG_VERSION)
        return VNX_STATUS_INVALID_CONFIG;
    const vnx_ActivityTrackerConfigInnards_s& c = config->innards;
    initChannel(stepChannel_, c.stepChannel);
    initChannel(vibrationChannel_, c.vibrationChannel);
    phone_ = c.deviceKind == VNX_ACTIVITY_TRACKER_PHONE;
    chosen_ = phone_ ? static_cast<StepDetectorInterface*>(&phoneSteps_) : &watchSteps_;
    if (chosen_->init(&c.stepDetector) != VNX_STATUS_SUCCESS)
        return VNX_STATUS_INVALID_CONFIG;
    if (classifier_.init(&c.classifier, noiseMs2_) != VNX_STATUS_SUCCESS)
        return VNX_STATUS_INVALID_CONFIG;
    return VNX_STATUS_SUCCESS;
}

int ActivityTracker::enableOutputPeriodsAndDeriveInputPeriods(
    vnx_ActivityTracker_OutputCategoriesPeriods_s& categories, std::int32_t outputPeriod,
    vnx_Mobile_VirtualSensorPeriods_s& periods, std::int32_t& pressurePeriod)
{
    disable();
    if (chosen_ == nullptr)
        return VNX_STATUS_SUCCESS; // never initialised: stays disabled
    std::int32_t& stepPeriod = categories.stepPeriodUs;
    if (outputPeriod != 0 && (stepPeriod == 0 || outputPeriod < stepPeriod))
        stepPeriod = outputPeriod;
    categories.classes &= kRequestableClasses;
    if (categories.classes == 0 && stepPeriod <= 0)
        return VNX_STATUS_SUCCESS;

    state_ = kClassifying;
    if (stepPeriod > 0) {
        state_ |= kCountingSteps;
        categories.classes |= kOnFootClasses;
    }
    std::int32_t& accelerometer = periods.periodUs[VNX_MOBILE_ACCELEROMETER];
    if (accelerometer == 0 || accelerometer > kLongestAskedPeriodUs)
        accelerometer = kLongestAskedPeriodUs;
    classifier_.enableOutputPeriodsAndDeriveInputPeriods(&categories.classes, &periods, &pressurePeriod);
    if (state_ & kCountingSteps)
        chosen_->enableOutputPeriodsAndDeriveInputPeriods(stepPeriod, &periods);
    return VNX_STATUS_SUCCESS;
}

int ActivityTracker::setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods,
                                     std::int32_t pressurePeriod)
{
    if (state_ == 0)
        return VNX_STATUS_SUCCESS;
    const std::int32_t accelerometer = periods.periodUs[VNX_MOBILE_ACCELEROMETER];
    // A negative period is refused like 0: the channels divide by it.
    if (accelerometer < 1 || accelerometer >= kRefusedPeriodUs) {
        disable();
        return VNX_STATUS_ARRAY_SIZE_MISMATCH;
    }
    stepChannel_.setInputPeriod(accelerometer);
    vibrationChannel_.setInputPeriod(accelerometer);
    int status = classifier_.setInputPeriods(periods, pressurePeriod);
    if (status == VNX_STATUS_SUCCESS && (state_ & kCountingSteps))
        status = chosen_->setInputPeriods(&periods);
    if (status != VNX_STATUS_SUCCESS) {
        disable();
        return status;
    }
    running_ = true;
    return VNX_STATUS_SUCCESS;
}

int ActivityTracker::getEffectiveOutputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods,
                                               vnx_ActivityTracker_OutputCategoriesPeriods_s& effective,
                                               std::int32_t& classificationPeriod,
                                               std::int32_t& accelerometerPeriod) const
{
    classificationPeriod = 0;
    effective = {};
    accelerometerPeriod = 0;
    if (state_ == 0)
        return VNX_STATUS_SUCCESS;
    classifier_.getEffectiveOutputPeriods(periods, 0, &classificationPeriod, &effective.classes);
    if (state_ & kCountingSteps)
        chosen_->getEffectiveOutputPeriods(&periods, &effective.stepPeriodUs);
    accelerometerPeriod = periods.periodUs[VNX_MOBILE_ACCELEROMETER];
    return VNX_STATUS_SUCCESS;
}

int ActivityTracker::process(const vnx_Mobile_Output_s& in, vnx_ActivityTracker_Output_s& out,
                             std::uint8_t& flag)
{
    out.valid = 0;
    if (state_ == 0 || !running_ || (in.validBits & VNX_MOBILE_BIT_ACCELEROMETER) == 0)
        return VNX_STATUS_ASYNC_PENDING;

    const float* a = in.accelerometer;
    const float norm = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    StepDetectorInterface::ChannelRecord steps{}, vibration{};
    stepChannel_.process(norm, steps);
    vibrationChannel_.process(norm, vibration);
    // The step channel's record as the classifier reads it; its byte 13
    // carries the vibration channel's step flag for the wrist classifier.
    vnx_StepDetector_Output_s stepRecord;
    static_assert(sizeof stepRecord == sizeof steps);
    std::memcpy(&stepRecord, &steps, sizeof stepRecord);
    reinterpret_cast<std::uint8_t*>(&stepRecord)[13] = vibration.stepFlag;

    std::uint8_t classifierFlag = 0;
    const bool classified =
        classifier_.process(in, &stepRecord, &out.classification, &classifierFlag) == VNX_STATUS_SUCCESS;
    if (classified)
        out.valid |= VNX_ACTIVITY_TRACKER_NEW_CLASSIFICATION;

    if (state_ & kCountingSteps) {
        if (classified)
            lastActivity_ = phone_ ? out.classification.mostLikely : out.classification.ldaActivity;
        std::uint8_t stepFlag = 0;
        if (chosen_->process(&in, lastActivity_, &out.steps, &stepFlag) == VNX_STATUS_SUCCESS)
            out.valid |= VNX_ACTIVITY_TRACKER_NEW_STEPS;
    }
    out.timeUs = in.timeUs;
    flag = 0;
    return VNX_STATUS_SUCCESS;
}

int ActivityTracker::reportPressure(std::int32_t pressureQ20, std::uint32_t timestampUs)
{
    if (state_ & kClassifying)
        classifier_.reportPressure(pressureQ20, timestampUs);
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::activity
