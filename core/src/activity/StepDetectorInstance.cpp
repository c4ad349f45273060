#include <cmath>

#include "activity/StepDetectorInterface.h"
#include "common/NodeManager.h"

namespace vnx::activity {

namespace {

constexpr float kTwoPow31 = 2147483648.0f;
constexpr float kWindowS = 1.5f;
/// A valley re-arms the peak picker when it is below this share of the
/// last window's minimum, taken with the opposite sign.
constexpr float kValleyShare = 0.1f;

float clampTwoPow31(float v)
{
    return v > kTwoPow31 ? kTwoPow31 : (v < -kTwoPow31 ? -kTwoPow31 : v);
}

} // namespace

using Instance = StepDetectorInterface::StepDetectorInstance;

Instance::StepDetectorInstance()
{
    NodeManager::getInstance().addNode(this, &counter_, NodeInterface::NODE_SUBNODE, "StepCounter");
}

Instance::~StepDetectorInstance()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

void Instance::init(float toleranceS, float timeConstantS, float minSpacingS, float threshold)
{
    threshold_ = threshold;
    timeConstantS_ = timeConstantS;
    minSpacingS_ = minSpacingS;
    alpha_ = gain_ = dtS_ = 0;
    refractorySamples_ = windowSamples_ = 0;
    highPass_ = previousInput_ = velocity_ = position_ = p1_ = p2_ = 0;
    runningMinimum_ = kTwoPow31;
    lastMinimum_ = -kTwoPow31;
    samplesSincePeak_ = windowCount_ = samplesSinceCountedStep_ = 0;
    armed_ = true;
    counter_.init({toleranceS, minSpacingS});
}

void Instance::setInputPeriod(std::int32_t periodUs)
{
    dtS_ = static_cast<float>(periodUs) * 1e-6f;
    windowSamples_ = static_cast<std::int32_t>(kWindowS * 1e6f) / periodUs;
    alpha_ = timeConstantS_ / (timeConstantS_ + dtS_);
    gain_ = (alpha_ + 1.0f) * 0.5f;
    refractorySamples_ = static_cast<std::int32_t>(std::floor(minSpacingS_ / dtS_));
    counter_.setSamplePeriod(dtS_);
}

void Instance::process(float x, ChannelRecord& record)
{
    highPass_ = alpha_ * highPass_ + (x - previousInput_) * gain_;
    const float velocity = clampTwoPow31(alpha_ * velocity_ + gain_ * dtS_ * highPass_);
    const float position = alpha_ * position_ + gain_ * (dtS_ * velocity_ + 0.5f * dtS_ * (dtS_ * highPass_));
    velocity_ = velocity;
    p2_ = p1_;
    p1_ = position_;
    position_ = position;

    if (position < runningMinimum_)
        runningMinimum_ = position;
    if (++windowCount_ >= windowSamples_) {
        lastMinimum_ = runningMinimum_;
        runningMinimum_ = kTwoPow31;
        windowCount_ = 0;
    }

    ++samplesSincePeak_;
    ++samplesSinceCountedStep_;
    std::uint8_t stepFlag = 0;
    record.peakMarker = 0;
    if (samplesSincePeak_ > refractorySamples_ && position > threshold_ && position > p1_ && armed_) {
        stepFlag = 1;
        if (counter_.process(samplesSincePeak_) != 0) {
            record.intervalSamples = static_cast<std::uint16_t>(samplesSincePeak_);
            samplesSinceCountedStep_ = 0;
        }
        record.peakMarker = kPeakMarker;
        armed_ = false;
        samplesSincePeak_ = 0;
    }
    // p1 is a valley deep enough for the next peak.
    if (!armed_ && -kValleyShare * lastMinimum_ > p1_ && position > p1_ && p2_ > p1_)
        armed_ = true;

    previousInput_ = x;
    record.stepFlag = stepFlag;
    record.total = static_cast<std::uint32_t>(counter_.total());
    record.stepFlagWord = stepFlag;
    record.position = position;
}

} // namespace vnx::activity
