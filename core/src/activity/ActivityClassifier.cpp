#include "activity/ActivityClassifier.h"

#include <limits>

#include "common/NodeManager.h"
#include "common/statusCode.h"

namespace vnx::activity {

namespace {

constexpr std::int32_t kNoLimit = std::numeric_limits<std::int32_t>::max();

constexpr std::uint32_t bit(int code)
{
    return 1u << code;
}

} // namespace

ActivityClassifier::ActivityClassifier()
{
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &vibration_, NodeInterface::NODE_SUBNODE, "InVehicleDetector");
    nodes.addNode(this, &acceleration_, NodeInterface::NODE_SUBNODE, "InVehicleAcceleration");
    nodes.addNode(this, &tilt_, NodeInterface::NODE_SUBNODE, "TiltDetector");
    nodes.addNode(this, &stairs_, NodeInterface::NODE_SUBNODE, "StairDetector");
    // A classifier is usable before init: it starts with the phone kind.
    selectLdaClassifier(true);
}

ActivityClassifier::~ActivityClassifier()
{
    destroyLda();
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

int ActivityClassifier::getSupportedClassificationFlags(std::uint32_t* flags)
{
    if (flags == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    *flags = kSupportedClasses;
    return VNX_STATUS_SUCCESS;
}

std::uint8_t ActivityClassifier::componentsFor(std::uint32_t classes)
{
    std::uint8_t c = 0;
    if (classes & (bit(kActivityWatchMotion) | bit(kActivityOnFoot) | bit(kActivityWalking) |
                   bit(kActivityRunning) | bit(kActivityOnStairs)))
        c |= kLda | kVibration;
    if (classes & bit(kActivityInVehicle))
        c |= kVehicleClassification;
    if (classes & bit(kActivityTilting))
        c |= kTilt;
    if (classes & bit(kActivityStill))
        c |= kVibration;
    if (classes & bit(kActivityOnStairs))
        c |= kStairs;
    return c;
}

std::uint32_t ActivityClassifier::producedClasses(std::uint8_t components)
{
    std::uint32_t classes = 0;
    if (components & kVehicleClassification)
        classes |= bit(kActivityInVehicle) | bit(kActivityStill);
    if (components & kLda)
        classes |= bit(kActivityWatchMotion) | bit(kActivityOnFoot) | bit(kActivityStill) |
                   bit(kActivityWalking) | bit(kActivityRunning);
    if (components & kVibration)
        classes |= bit(kActivityStill);
    if (components & kTilt)
        classes |= bit(kActivityTilting);
    if (components & kStairs)
        classes |= bit(kActivityOnStairs);
    if (classes != 0)
        classes |= bit(kActivityUnknown);
    return classes;
}

int ActivityClassifier::init(const vnx_ActivityClassifierConfig_s* config, float noiseMs2)
{
    components_ = 0;
    enabled_ = false;
    vehicleClassification_ = false;
    filter_ = ActivityFilterState{};
    lastFrameUs_ = kUnsetTime;
    if (config == nullptr)
        return VNX_STATUS_INVALID_CONFIG;
    selectLdaClassifier(config->lda.kind == 0);
    const bool refused = lda_->init(&config->lda) != VNX_STATUS_SUCCESS ||
                         vibration_.init(&config->inVehicle, noiseMs2) != VNX_STATUS_SUCCESS ||
                         acceleration_.init(&config->inVehicleAcceleration, noiseMs2) != VNX_STATUS_SUCCESS;
    if (refused)
        return VNX_STATUS_INVALID_CONFIG;
    tilt_.init(config->tilt);
    if (stairs_.init(&config->stair) != VNX_STATUS_SUCCESS)
        return VNX_STATUS_INVALID_CONFIG;
    framePeriodUs_ = config->framePeriodUs;
    samplesPerFrame_ = 0;
    sampleCounter_ = 0;
    return VNX_STATUS_SUCCESS;
}

void ActivityClassifier::selectLdaClassifier(bool phone)
{
    if (lda_ != nullptr && phone == phoneLda_)
        return;
    destroyLda();
    if (phone) {
        phone_ = new (ldaSlot_) LdaClassifierMobile();
        lda_ = phone_;
    } else {
        watch_ = new (ldaSlot_) LdaClassifierWatch();
        lda_ = watch_;
    }
    // The node stands for the object address the classifier's own
    // statistics and logger hang under.
    NodeManager::getInstance().addNode(this, static_cast<const void*>(lda_), NodeInterface::NODE_SUBNODE,
                                       phone ? "LdaClassifier" : "LdaClassifierWatch");
    phoneLda_ = phone;
}

void ActivityClassifier::destroyLda()
{
    // The classifier's destructor removes its node with its statistics.
    if (phone_ != nullptr)
        phone_->~LdaClassifierMobile();
    if (watch_ != nullptr)
        watch_->~LdaClassifierWatch();
    phone_ = nullptr;
    watch_ = nullptr;
    lda_ = nullptr;
}

int ActivityClassifier::enableOutputPeriodsAndDeriveInputPeriods(std::uint32_t* classes,
                                                                 vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                                 std::int32_t* pressurePeriod)
{
    if (classes == nullptr || periods == nullptr || pressurePeriod == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    components_ = 0;
    maxAccelerometerPeriodUs_ = kNoLimit;
    maxPressurePeriodUs_ = kNoLimit;
    *classes &= kSupportedClasses;
    components_ = componentsFor(*classes);
    enabled_ = components_ != 0;
    vehicleClassification_ = has(kVehicleClassification);

    std::int32_t& accelerometer = periods->periodUs[VNX_MOBILE_ACCELEROMETER];
    if (has(kTilt)) {
        tilt_.enableOutputPeriodsAndDeriveInputPeriods(kNoLimit, *periods);
        int limit = maxAccelerometerPeriodUs_;
        TiltDetector::applyCutoffPeriod(limit);
        maxAccelerometerPeriodUs_ = limit;
    } else {
        tilt_.enableOutputPeriodsAndDeriveInputPeriods(0, *periods);
    }
    const bool vibration = has(kVehicleClassification) || has(kVibration);
    lda_->enable(has(kLda));
    vibration_.enable(vibration, vehicleClassification_);
    acceleration_.enable(vehicleClassification_);
    stairs_.enable(has(kStairs));

    if (accelerometer < 1)
        accelerometer = kNoLimit;
    if (has(kStairs) && *pressurePeriod < 1)
        *pressurePeriod = kNoLimit;

    // The period each component wants, then the longest it still accepts.
    for (const bool maximum : {false, true}) {
        std::int32_t& acc = maximum ? maxAccelerometerPeriodUs_ : accelerometer;
        std::int32_t& pressure = maximum ? maxPressurePeriodUs_ : *pressurePeriod;
        if (has(kLda))
            lda_->applyInputPeriod(maximum, acc);
        if (vibration)
            InVehicleDetector::applyInputPeriod(maximum, vehicleClassification_, acc);
        if (has(kStairs))
            StairDetector::applyInputPeriod(maximum, phoneLda_, acc, pressure);
    }

    *classes = producedClasses(components_);
    return VNX_STATUS_SUCCESS;
}

int ActivityClassifier::setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods,
                                        std::int32_t pressurePeriod)
{
    if (!enabled_)
        return VNX_STATUS_SUCCESS;
    const std::int32_t accelerometer = periods.periodUs[VNX_MOBILE_ACCELEROMETER];
    // Negative periods are refused like 0: they would make a negative frame.
    const bool accelerometerRefused = accelerometer < 1 || accelerometer > maxAccelerometerPeriodUs_;
    const bool pressureRefused =
        has(kStairs) && (pressurePeriod < 1 || pressurePeriod > maxPressurePeriodUs_);
    if (accelerometerRefused || pressureRefused) {
        enabled_ = false;
        return VNX_STATUS_ARRAY_SIZE_MISMATCH;
    }
    accelerometerPeriodUs_ = accelerometer;
    tilt_.setInputPeriods(periods);
    lda_->changePeriod(accelerometer);
    vibration_.changePeriod(accelerometer);
    acceleration_.changePeriod(accelerometer);
    stairs_.changePeriod(pressurePeriod);

    // ceil(frame / period): a frame shorter than one sample is one sample;
    // a frame period of 0 gives 0, which no frame ever reaches.
    const std::uint64_t frame = framePeriodUs_;
    const auto period = static_cast<std::uint64_t>(accelerometer);
    const std::uint64_t samples = (frame + period - 1) / period;
    samplesPerFrame_ =
        samples > static_cast<std::uint64_t>(kNoLimit) ? kNoLimit : static_cast<std::int32_t>(samples);
    sampleCounter_ = 0;
    return VNX_STATUS_SUCCESS;
}

int ActivityClassifier::getEffectiveOutputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& /*periods*/,
                                                  int /*unused*/, std::int32_t* framePeriod,
                                                  std::uint32_t* classes) const
{
    if (framePeriod != nullptr)
        *framePeriod = static_cast<std::int32_t>(framePeriodUs_);
    if (classes != nullptr)
        *classes = producedClasses(components_);
    return VNX_STATUS_SUCCESS;
}

int ActivityClassifier::process(const vnx_Mobile_Output_s& in, const vnx_StepDetector_Output_s* step,
                                vnx_ActivityClassifier_Output_s* out, std::uint8_t* flag)
{
    if (!enabled_)
        return VNX_STATUS_ASYNC_PENDING;
    if (flag != nullptr)
        *flag = 0;
    if (in.validBits & VNX_MOBILE_BIT_ACCELEROMETER) {
        if (step != nullptr && has(kLda)) {
            lda_->reportNewMotion(&in);
            lda_->reportNewStep(step);
        }
        vibration_.reportNewAcc(in);
        acceleration_.reportNewAcc(in);
        std::uint8_t tiltFlag = 0;
        tilt_.process(in, tiltOut_, tiltFlag);
        if (lastFrameUs_ == kUnsetTime)
            lastFrameUs_ = in.timeUs;
        ++sampleCounter_;
    }
    if (samplesPerFrame_ == 0 || sampleCounter_ != samplesPerFrame_)
        return VNX_STATUS_ASYNC_PENDING;

    sampleCounter_ = 0;
    // Unsigned difference: the 32-bit microsecond clock wraps every 71 min.
    const float dtS = static_cast<float>(in.timeUs - lastFrameUs_) * 1e-6f;
    lastFrameUs_ = in.timeUs;
    const FrameEvidence evidence = collectEvidence();
    chooseMeasurementMatrix(filter_, evidence);
    updateProbability(filter_, dtS, evidence);
    ldaActivity_ = ldaActivityCode(evidence.ldaClass);
    updateExternalProbability(filter_, evidence);

    if (out != nullptr) {
        out->mostLikely = confArrIndexLookupTable_[filter_.mostLikely];
        out->ldaActivity = static_cast<std::uint8_t>(ldaActivity_);
        for (int k = 0; k < VNX_ACTIVITY_CODES; ++k)
            out->confidence[k] = filter_.confidences[k];
        out->timeUs = in.timeUs;
    }
    return VNX_STATUS_SUCCESS;
}

FrameEvidence ActivityClassifier::collectEvidence()
{
    lda_->generateOutput(&ldaOut_);
    vibration_.generateOutput(&vibrationOut_);
    acceleration_.generateOutput(&accelerationOut_);
    stairs_.generateOutput(&stairOut_);
    FrameEvidence e{};
    e.ldaClass = ldaOut_.classCode;
    e.vibrationStatus = vibrationOut_.status;
    // The acceleration component keeps its last status when it is switched
    // off; a status from an earlier request is no evidence now.
    e.accelerationStatus = vehicleClassification_ ? accelerationOut_.status : InVehicleOutput::kUndecided;
    e.tilted = tilt_.generateOutput();
    e.stairProbability = stairOut_.probability;
    return e;
}

int ActivityClassifier::reportPressure(std::int32_t pressureQ20, std::uint32_t timestampUs)
{
    stairs_.process(pressureQ20, timestampUs, static_cast<std::uint8_t>(ldaActivity_));
    return VNX_STATUS_SUCCESS;
}

std::uint8_t ActivityClassifier::ldaActivityCode(std::uint8_t ldaClass)
{
    switch (ldaClass) {
    case 1:
        return kActivityWalking;
    case 0:
        return kActivityRunning;
    case 2:
        return kActivityStill;
    default:
        return kActivityUnknown;
    }
}

} // namespace vnx::activity
