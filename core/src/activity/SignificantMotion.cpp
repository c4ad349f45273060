#include "activity/SignificantMotion.h"

#include <cmath>

#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr int kMotionLevelQ = 24;
constexpr float kDefaultMotionLevel = 10.0f;
constexpr std::uint32_t kDefaultSteps = 5;
constexpr float kWarmUpS = 0.5f;
constexpr float kFilterTimeConstantS = 0.09f;
constexpr float kTwoPow31 = 2147483648.0f;
constexpr float kAccumulatorMemory = 0.000244140625f; // 2^-12

} // namespace

void SignificantMotion::getDefaults(Config& config)
{
    config.motionLevelQ24 = fptToFixed32(kDefaultMotionLevel, kMotionLevelQ, true, true);
    config.steps = kDefaultSteps;
}

void SignificantMotion::init(const Config& config)
{
    motionLevel_ = fptToFloat32(config.motionLevelQ24, kMotionLevelQ);
    stepsSetting_ = static_cast<std::uint8_t>(config.steps & 0xFFu);
    state_ = State::Disabled;
    dtS_ = alpha_ = gain_ = 0;
    warmUpS_ = previousNorm_ = highPass_ = accumulator_ = 0;
    armedStepTotal_ = stepTotal_ = 0;
}

void SignificantMotion::onEnabled(bool /*wasEnabled*/)
{
    // Every enable call arms afresh, also one on an armed detector.
    state_ = State::WarmingUp;
    warmUpS_ = 0;
}

void SignificantMotion::onInputPeriod(std::int32_t periodUs, std::int32_t /*previousPeriodUs*/)
{
    dtS_ = static_cast<float>(periodUs) * 1e-6f;
    alpha_ = kFilterTimeConstantS / (dtS_ + kFilterTimeConstantS);
    gain_ = (alpha_ + 1.0f) * 0.5f;
}

int SignificantMotion::process(const vnx_Mobile_Output_s& in, const vnx_StepDetector_Output_s& steps,
                               vnx_Detector_Output_s& out, std::uint8_t& flag)
{
    stepTotal_ = steps.totalSteps;
    return EventDetector::process(in, out, flag);
}

int SignificantMotion::processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out)
{
    const float* a = in.accelerometer;
    const float norm = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    if (state_ != State::Armed) {
        warmUpS_ += dtS_;
        if (warmUpS_ > kWarmUpS) {
            previousNorm_ = norm;
            highPass_ = accumulator_ = 0;
            armedStepTotal_ = stepTotal_;
            state_ = State::Armed;
        }
        return VNX_STATUS_ASYNC_PENDING;
    }

    highPass_ = alpha_ * highPass_ + (norm - previousNorm_) * gain_;
    const float clamped =
        highPass_ > kTwoPow31 ? kTwoPow31 : (highPass_ < -kTwoPow31 ? -kTwoPow31 : highPass_);
    accumulator_ = clamped + accumulator_ * kAccumulatorMemory;
    previousNorm_ = norm;

    // Unsigned difference: a step total that wraps still counts.
    const std::uint32_t newSteps = stepTotal_ - armedStepTotal_;
    if (newSteps < stepsSetting_ && accumulator_ < motionLevel_)
        return VNX_STATUS_ASYNC_PENDING;
    warmUpS_ = 0;
    out.event = kEvent;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::activity
