#include "activity/StepDetectorInterface.h"

#include <cmath>

#include "activity/ActivityClassifier.h"
#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

StepDetectorInterface::StepDetectorInterface(DetectorId id, int secondChannel, const char* secondName)
    : DetectorBase(id), secondChannel_(secondChannel)
{
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &raw_, NodeInterface::NODE_SUBNODE, "StepRawAcc");
    nodes.addNode(this, &second_, NodeInterface::NODE_SUBNODE, secondName);
}

StepDetectorInterface::~StepDetectorInterface() = default;

int StepDetectorInterface::init(const vnx_StepDetectorConfig_s* config)
{
    if (config == nullptr)
        return VNX_STATUS_INVALID_CONFIG;
    const vnx_StepDetectorConfig_s& c = *config;
    settings_.timeConstantS = fptToFloat32(c.timeConstantQ30, 30);
    settings_.rawThreshold = fptToFloat32(c.rawThresholdQ31, 31);
    settings_.toleranceS = fptToFloat32(c.toleranceQ31, 31);
    settings_.minSpacingS = fptToFloat32(c.minSpacingQ31, 31);
    settings_.velocityThreshold = fptToFloat32(c.velocityThresholdQ31, 31);
    settings_.positionThreshold = fptToFloat32(c.positionThresholdQ31, 31);
    settings_.reportFraction = fptToFloat32(c.reportFractionQ31, 31);
    settings_.keepRatio = fptToFloat32(c.keepRatioQ30, 30);
    settings_.rawSilenceS = fptToFloat32(c.rawSilenceQ28, 28);

    raw_.init(settings_.toleranceS, settings_.timeConstantS, settings_.minSpacingS, settings_.rawThreshold);
    second_.init(settings_.toleranceS, settings_.timeConstantS, settings_.minSpacingS,
                 secondThreshold(settings_));

    resetNegotiation();
    dtS_ = rateHz_ = axisAlpha_ = axisGain_ = 0;
    resetPending_ = true;
    for (int c = 0; c < kChannels; ++c) {
        channels_[c] = ChannelRecord{};
        savedTotals_[c] = 0;
    }
    current_ = kRawChannel;
    total_ = 0;
    samplesSinceReport_ = 0;
    for (std::int32_t& spacing : reportHistory_)
        spacing = 0;
    return VNX_STATUS_SUCCESS;
}

int StepDetectorInterface::enableOutputPeriodsAndDeriveInputPeriods(
    std::int32_t outputPeriod, vnx_Mobile_VirtualSensorPeriods_s* periods)
{
    if (periods == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return DetectorBase::enableOutputPeriodsAndDeriveInputPeriods(outputPeriod, *periods);
}

int StepDetectorInterface::setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s* periods)
{
    if (periods == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return DetectorBase::setInputPeriods(*periods);
}

int StepDetectorInterface::getEffectiveOutputPeriods(const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                     std::int32_t* outputPeriod)
{
    if (periods == nullptr || outputPeriod == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return DetectorBase::getEffectiveOutputPeriods(*periods, *outputPeriod);
}

void StepDetectorInterface::onEnabled(bool wasEnabled)
{
    if (!wasEnabled)
        resetPending_ = true;
}

void StepDetectorInterface::onInputPeriod(std::int32_t periodUs, std::int32_t /*previousPeriodUs*/)
{
    dtS_ = static_cast<float>(periodUs) * 1e-6f;
    rateHz_ = 1.0f / dtS_;
    const float axisTimeConstantS = 4.0f * settings_.timeConstantS;
    axisAlpha_ = axisTimeConstantS / (axisTimeConstantS + dtS_);
    axisGain_ = (axisAlpha_ + 1.0f) * 0.5f;
    raw_.setInputPeriod(periodUs);
    second_.setInputPeriod(periodUs);
}

int StepDetectorInterface::process(const vnx_Mobile_Output_s* in, std::uint8_t activity,
                                   vnx_StepDetector_Output_s* out, std::uint8_t* flag)
{
    if (in == nullptr || out == nullptr || flag == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    *flag = 0;
    out->timeUs = in->timeUs;
    if (!isEnabled() || (in->validBits & VNX_MOBILE_BIT_ACCELEROMETER) == 0) {
        out->changed = 0;
        out->totalSteps = total_;
        return VNX_STATUS_ASYNC_PENDING;
    }
    const float* a = in->accelerometer;
    const bool restart = resetPending_;
    if (restart) {
        restartFilters(a);
        resetPending_ = false;
    }
    for (int c = 0; c < kChannels; ++c)
        savedTotals_[c] = channels_[c].total;
    const float norm = accelerationNorm(a);
    const float second = secondChannelSample(a);
    // The channels' own filters see the first sample after a restart as no
    // change: a step from nothing to gravity is no step of the user.
    if (restart) {
        raw_.restart(norm);
        second_.restart(second);
    }
    raw_.process(norm, channels_[kRawChannel]);
    second_.process(second, channels_[secondChannel_]);

    const std::uint32_t previous = total_;
    getProcessedStepCount(activity);
    const ChannelRecord& current = channels_[current_];
    const ChannelRecord& raw = channels_[kRawChannel];
    out->changed = total_ != previous ? 1 : 0;
    out->peakMarker = current.peakMarker;
    out->intervalSamples = current.intervalSamples;
    out->totalSteps = total_;
    out->rawStepFlags = raw.stepFlagWord;
    out->rawPosition = raw.position;
    return VNX_STATUS_SUCCESS;
}

void StepDetectorInterface::reportStep()
{
    total_ += 1;
    for (int k = 0; k + 1 < StepCounter::kHistory; ++k)
        reportHistory_[k] = reportHistory_[k + 1];
    reportHistory_[StepCounter::kHistory - 1] = samplesSinceReport_;
    samplesSinceReport_ = 0;
}

std::uint32_t StepDetectorInterface::getProcessedStepCount(std::uint8_t activity)
{
    ++samplesSinceReport_;
    bool anyChanged = false;
    for (int c = 0; c < kChannels; ++c)
        anyChanged = anyChanged || changed(c);
    if (!anyChanged || !ActivityClassifier::isOnFoot(activity))
        return total_;

    // Rank and average period of each channel; 0 for those no instance feeds.
    int rank[kChannels] = {};
    float period[kChannels] = {};
    rank[kRawChannel] = raw_.getChannelRank();
    period[kRawChannel] = raw_.getAverageChannelPeriod();
    rank[secondChannel_] = second_.getChannelRank();
    period[secondChannel_] = second_.getAverageChannelPeriod();

    const int s = secondChannel_;
    int chosen = 0;
    unsigned eligible = 0xFu;
    if (rank[kRawChannel] > rank[s]) {
        chosen = kRawChannel;
        eligible = 1u << kRawChannel;
    } else if (rank[s] > rank[kRawChannel]) {
        chosen = s;
        eligible = 1u << s;
    } else if (rank[s] != 0) {
        chosen = period[kRawChannel] < period[s] ? kRawChannel : s;
        eligible = (1u << s) | (1u << kRawChannel);
    }
    const float bestPeriod = period[chosen];

    const auto minimumSpacing = static_cast<std::int32_t>(std::floor(settings_.minSpacingS * rateHz_));
    const auto periodSpacing = static_cast<std::int32_t>(std::floor(bestPeriod * settings_.reportFraction));
    const std::int32_t spacing = minimumSpacing > periodSpacing ? minimumSpacing : periodSpacing;
    const float rawSilenceS = static_cast<float>(raw_.getSampleSinceLastStep()) * dtS_;
    const bool rawActive = rawSilenceS < settings_.rawSilenceS;

    bool eligibleChanged = false;
    std::uint32_t eligibleLargest = 0;
    for (int c = 0; c < kChannels; ++c) {
        if ((eligible & (1u << c)) == 0)
            continue;
        eligibleChanged = eligibleChanged || changed(c);
        if (channels_[c].total > eligibleLargest)
            eligibleLargest = channels_[c].total;
    }

    // A best period of 0 fails the keep test (the ratio is not finite).
    const bool keep = rank[current_] == 3 && period[current_] / bestPeriod < settings_.keepRatio;
    if (!keep)
        current_ = chosen;
    if (reportHistory_[StepCounter::kHistory - 1] == 0) {
        // Nothing reported yet: take over what the channels have confirmed,
        // whichever channel stays current, so the steps taken before the
        // user was known to be on foot are not lost.
        total_ = eligibleLargest;
        reportHistory_[StepCounter::kHistory - 1] = samplesSinceReport_;
        samplesSinceReport_ = 0;
    }
    if (keep) {
        if (samplesSinceReport_ > spacing && eligibleChanged && rawActive)
            reportStep();
        return total_;
    }
    if (changed(chosen) && samplesSinceReport_ > spacing && rawActive)
        reportStep();
    return total_;
}

} // namespace vnx::activity
