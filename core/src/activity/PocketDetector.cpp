#include "activity/PocketDetector.h"

#include <cmath>

#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr float kEpsilon = 1.1920929e-7f;
constexpr float kGravityMs2 = 9.8f;
/// Light or distance must last this long to take a pocketed device out.
constexpr float kUncoverTimeS = 0.2f;
constexpr float kLightScale = 1.0f / 256.0f;   // the light word has 8 fractional bits
constexpr float kDistanceScale = 1.0f / 16.0f; // the distance word has 4

float dot3(const float* a, const float* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

} // namespace

void PocketDetector::getDefaults(Config& config)
{
    for (std::int16_t& word : config.reorientationQ14)
        word = 0;
    config.fastTimeConstantQ20 = fptToFixed32(0.125f, 20, true, true);
    config.slowTimeConstantQ20 = fptToFixed32(5.0f, 20, true, true);
    config.proximityThreshold = 3;
    config.lightThreshold = 10;
    config.flatLimitQ29 = fptToFixed32(0.9659258f, 29, true, true);      // cos 15 deg
    config.uprightLimitQ29 = fptToFixed32(-0.17364818f, 29, true, true); // -sin 10 deg
    config.sidewaysLimitQ29 = fptToFixed32(0.17364818f, 29, true, true); // sin 10 deg
    config.joltLevelQ26 = fptToFixed32(2.0f, 26, true, true);
    config.poseChangeLevelQ28 = fptToFixed32(0.5f, 28, true, true);
    config.motionHoldTimeQ20 = fptToFixed32(1.0f, 20, true, true);
    config.coveredTimeQ20 = fptToFixed32(1.0f, 20, true, true);
}

void PocketDetector::init(const Config& config)
{
    settings_.fastTimeConstantS = fptToFloat32(config.fastTimeConstantQ20, 20);
    settings_.slowTimeConstantS = fptToFloat32(config.slowTimeConstantQ20, 20);
    settings_.proximityThreshold = static_cast<float>(config.proximityThreshold);
    settings_.lightThreshold = static_cast<float>(config.lightThreshold);
    settings_.flatLimit = fptToFloat32(config.flatLimitQ29, 29);
    settings_.uprightLimit = -fptToFloat32(config.uprightLimitQ29, 29);
    settings_.sidewaysLimit = fptToFloat32(config.sidewaysLimitQ29, 29);
    settings_.joltLevelMs2 = fptToFloat32(config.joltLevelQ26, 26);
    settings_.poseChangeLevel = fptToFloat32(config.poseChangeLevelQ28, 28);
    settings_.motionHoldTimeS = fptToFloat32(config.motionHoldTimeQ20, 20);
    settings_.coveredTimeS = fptToFloat32(config.coveredTimeQ20, 20);
    reorientation_.set(config.reorientationQ14);
    dtS_ = fastAlpha_ = slowAlpha_ = 0;
    for (int k = 0; k < 3; ++k)
        fast_[k] = slow_[k] = 0;
    performDisableAndCleanup();
}

void PocketDetector::performDisableAndCleanup()
{
    dark_ = near_ = kUnknown;
    in_ = false;
    reseed_ = true;
    motionTimerS_ = coveredS_ = uncoveredS_ = 0;
}

int PocketDetector::enableOutputPeriodsAndDeriveInputPeriods(std::int32_t outputPeriod,
                                                             vnx_Mobile_VirtualSensorPeriods_s& periods,
                                                             std::int32_t& lightPeriodUs,
                                                             std::int32_t& proximityPeriodUs)
{
    const int status = EventDetector::enableOutputPeriodsAndDeriveInputPeriods(outputPeriod, periods);
    if (outputPeriod >= 1) {
        lightPeriodUs = askedPeriod(lightPeriodUs);
        proximityPeriodUs = askedPeriod(proximityPeriodUs);
    }
    return status;
}

int PocketDetector::setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods,
                                    std::int32_t lightPeriodUs, std::int32_t proximityPeriodUs)
{
    if (!isEnabled())
        return VNX_STATUS_SUCCESS;
    if (!acceptsPeriod(lightPeriodUs) || !acceptsPeriod(proximityPeriodUs))
        return rejectPeriod();
    return EventDetector::setInputPeriods(periods);
}

void PocketDetector::onInputPeriod(std::int32_t periodUs, std::int32_t /*previousPeriodUs*/)
{
    dtS_ = static_cast<float>(periodUs) * 1e-6f;
    fastAlpha_ = settings_.fastTimeConstantS / (dtS_ + settings_.fastTimeConstantS);
    slowAlpha_ = settings_.slowTimeConstantS / (dtS_ + settings_.slowTimeConstantS);
    reseed_ = true;
}

void PocketDetector::reportLight(std::int32_t lightQ8)
{
    dark_ = settings_.lightThreshold > static_cast<float>(lightQ8) * kLightScale ? 1 : 0;
}

void PocketDetector::reportProximity(std::int16_t distanceQ4)
{
    near_ = settings_.proximityThreshold > static_cast<float>(distanceQ4) * kDistanceScale ? 1 : 0;
}

void PocketDetector::filterPose(const float* a, float norm)
{
    // Free fall reads zero: the sample has no direction, and dividing by
    // its norm would leave NaN in both filters for good.
    if (!(norm > 0.0f) || !std::isfinite(norm))
        return;
    float u[3] = {a[0] / norm, a[1] / norm, a[2] / norm};
    reorientation_.rotate(u, u);
    if (reseed_) {
        for (int k = 0; k < 3; ++k)
            fast_[k] = u[k];
    }
    for (int k = 0; k < 3; ++k)
        fast_[k] = fastAlpha_ * fast_[k] + (1.0f - fastAlpha_) * u[k];
    if (reseed_) {
        for (int k = 0; k < 3; ++k)
            slow_[k] = fast_[k];
        reseed_ = false;
    }
    for (int k = 0; k < 3; ++k)
        slow_[k] = slowAlpha_ * slow_[k] + (1.0f - slowAlpha_) * u[k];
}

void PocketDetector::trackMotion(float norm)
{
    const float recentS = settings_.motionHoldTimeS + settings_.coveredTimeS;
    if (dot3(fast_, slow_) < settings_.poseChangeLevel) {
        // The pose moved away from where it rested: follow it.
        for (int k = 0; k < 3; ++k)
            slow_[k] = fast_[k];
        motionTimerS_ = recentS;
    } else if (norm - kGravityMs2 > settings_.joltLevelMs2) {
        motionTimerS_ = recentS;
    } else if (motionTimerS_ > kEpsilon) {
        motionTimerS_ -= dtS_;
    }
}

int PocketDetector::processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out)
{
    const float* a = in.accelerometer;
    const float norm = std::sqrt(dot3(a, a));
    filterPose(a, norm);
    const bool flat = std::fabs(fast_[2]) > settings_.flatLimit;
    trackMotion(norm);

    if (dark_ == kUnknown || near_ == kUnknown)
        return VNX_STATUS_ASYNC_PENDING;
    bool justUncovered = false;
    if (dark_ == 1 && near_ == 1) {
        coveredS_ += dtS_;
        uncoveredS_ = 0;
    } else {
        coveredS_ = 0;
        uncoveredS_ += dtS_;
        justUncovered = uncoveredS_ - kUncoverTimeS > kEpsilon;
    }

    bool candidate = false;
    if (coveredS_ - settings_.coveredTimeS > kEpsilon && !flat) {
        const bool pocketPose =
            settings_.uprightLimit >= fast_[1] || settings_.sidewaysLimit > std::fabs(fast_[0]);
        candidate = pocketPose && motionTimerS_ > kEpsilon;
    }
    if (in_)
        candidate = !justUncovered;
    if (candidate == in_)
        return VNX_STATUS_ASYNC_PENDING;
    in_ = candidate;
    out.event = in_ ? kEntered : kLeft;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::activity
