#include "activity/StairDetector.h"

#include "activity/ActivityClassifier.h"
#include "common/statusCode.h"
#include "numerics/fixedPoint.h"
#include "numerics/matrixSolversLdl.h"

namespace vnx::activity {

namespace {

/// Pressure calls closer together than this are not new samples.
constexpr float kMinimumSpacingS = 0.033f;
constexpr float kStay = 0.99f;
constexpr float kSwitch = 0.01f;
constexpr float kSteepOnStairs = 0.9f;
constexpr float kSteepElsewhere = 0.03f;
constexpr float kFlatOnStairs = 0.100000024f; // 1 - 0.9 in single precision
constexpr float kFlatElsewhere = 0.97f;

} // namespace

int StairDetector::init(const vnx_ActivityClassifier_Stair_Config_s* config)
{
    if (config == nullptr)
        return VNX_STATUS_INVALID_CONFIG;
    slopeThreshold_ = fptToFloat32(config->slopeThresholdQ16, 16);
    for (int k = 0; k < 4; ++k)
        reserved_[k] = fptToFloat32(config->reservedQ16[k], 16);
    clearWindow();
    return VNX_STATUS_SUCCESS;
}

void StairDetector::applyInputPeriod(bool maximum, bool phoneLda, std::int32_t& accelerometerPeriodUs,
                                     std::int32_t& pressurePeriodUs)
{
    const std::int32_t pressureLimit = maximum ? 111111 : 100000;
    const std::int32_t accelerometerLimit = maximum ? (phoneLda ? 44444 : 42105) : 40000;
    if (pressurePeriodUs > pressureLimit)
        pressurePeriodUs = pressureLimit;
    if (accelerometerPeriodUs > accelerometerLimit)
        accelerometerPeriodUs = accelerometerLimit;
}

void StairDetector::changePeriod(std::int32_t /*pressurePeriodUs*/)
{
    if (enabled_)
        clearWindow();
}

void StairDetector::clearWindow()
{
    count_ = 0;
    sumN_ = sumI_ = sumI2_ = sumP_ = sumIP_ = 0;
}

void StairDetector::closeWindow(std::uint8_t activity)
{
    // Least-squares line p = c + b i through the window: the normal equations.
    const float A[4] = {sumN_, sumI_, sumI_, sumI2_};
    const float r[2] = {sumP_, sumIP_};
    float x[2] = {0, 0};
    Matrix_2x2_2x1_ldl(A, r, x, nullptr);
    const float slope = x[1];
    const bool evidence =
        ActivityClassifier::isOnFoot(activity) && (slope > slopeThreshold_ || slope < -slopeThreshold_);

    const float p = probability_;
    const float q = kStay * p + kSwitch * (1.0f - p);
    if (evidence)
        probability_ = kSteepOnStairs * q / (kSteepOnStairs * q + kSteepElsewhere * (1.0f - q));
    else
        probability_ = kFlatOnStairs * q / (kFlatOnStairs * q + kFlatElsewhere * (1.0f - q));
    lastSlope_ = slope;
    lastEvidence_ = evidence;
    clearWindow();
}

void StairDetector::process(std::int32_t pressureQ20, std::uint32_t timestampUs, std::uint8_t activity)
{
    if (!enabled_)
        return;
    const float t = static_cast<float>(timestampUs) * 1e-6f;
    const float p = fptToFloat32(pressureQ20, 20);
    if (count_ == 0)
        windowStartS_ = t;
    if (count_ == kWindowSamples) {
        // The call that finds the window full closes it; its own sample is
        // dropped and its time is not taken as the previous call's.
        closeWindow(activity);
        return;
    }
    const float sinceLastS = t - previousCallS_;
    previousCallS_ = t;
    if (sinceLastS < kMinimumSpacingS)
        return;
    buffer_[count_] = p;
    const int k = ++count_;
    const auto i = static_cast<float>(k);
    sumN_ = i;
    sumI_ += i;
    sumI2_ += i * i;
    sumP_ += p;
    sumIP_ += i * p;
}

void StairDetector::generateOutput(Output_s* out) const
{
    out->samples = static_cast<std::uint32_t>(count_);
    out->slope = lastSlope_;
    out->evidence = lastEvidence_ ? 1u : 0u;
    out->probability = enabled_ ? probability_ : 0.0f;
}

} // namespace vnx::activity
