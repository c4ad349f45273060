#include "activity/SleepDetector.h"

#include <algorithm>
#include <cmath>

#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr int kDeadBandQ = 29;
constexpr int kScoreScaleQ = 29;
constexpr float kDefaultDeadBandMs2 = 0.035f;
constexpr std::int32_t kDefaultEpochLengthS = 10;
constexpr std::int32_t kDefaultEpochsPerWindow = 6;
constexpr float kDefaultScoreScale = 0.45f;

/// A window with this many crossings is active without scoring.
constexpr std::int32_t kActiveCrossings = 7;
/// Windows to see before a quiet one is scored (the history then holds six
/// earlier windows besides the new one).
constexpr std::int32_t kFilledHistory = 6;
/// Weights of the window sums, newest first.
constexpr float kWeights[SleepDetector::kHistory] = {0.01f, 0.015f, 0.085f, 0.031f, 0.028f, 0.015f, 0.01f};
/// Asleep for long: this much wear counted, and this long since the last
/// window that was not asleep (s).
constexpr double kLongWearS = 1800.0;
constexpr double kLongAsleepS = 1200.0;
constexpr float kWeightedSumLimit = 2147483648.0f; // 2^31

} // namespace

void SleepDetector::getDefaults(Config& config)
{
    config.deadBandQ29 = fptToFixed32(kDefaultDeadBandMs2, kDeadBandQ, true, true);
    config.epochLengthS = kDefaultEpochLengthS;
    config.epochsPerWindow = kDefaultEpochsPerWindow;
    config.scoreScaleQ29 = fptToFixed32(kDefaultScoreScale, kScoreScaleQ, true, true);
}

void SleepDetector::init(const Config& config)
{
    settings_.deadBandMs2 = fptToFloat32(config.deadBandQ29, kDeadBandQ);
    settings_.epochLengthS = config.epochLengthS;
    settings_.epochsPerWindow = config.epochsPerWindow;
    settings_.scoreScale = fptToFloat32(config.scoreScaleQ29, kScoreScaleQ);
    dtS_ = 0;
    state_ = State{};
}

void SleepDetector::onInputPeriod(std::int32_t periodUs, std::int32_t /*previousPeriodUs*/)
{
    dtS_ = periodUs * 1e-6;
}

bool SleepDetector::crossed(const float* c) const
{
    for (int k = 0; k < 3; ++k) {
        const float p = state_.previous[k];
        if (c[k] * p < 0.0f || ((c[k] == 0.0f) != (p == 0.0f)))
            return true;
    }
    return false;
}

int SleepDetector::processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out)
{
    float c[3];
    for (int k = 0; k < 3; ++k)
        c[k] = std::fabs(in.accelerometer[k]) < settings_.deadBandMs2 ? 0.0f : in.accelerometer[k];
    if (crossed(c))
        ++state_.crossingsInEpoch;

    state_.wearS += dtS_;
    state_.sinceNotAsleepS += dtS_;
    ++state_.samplesInEpoch;
    if (state_.samplesInEpoch * dtS_ >= settings_.epochLengthS) {
        state_.windowSum += state_.crossingsInEpoch;
        ++state_.epochsInWindow;
        state_.samplesInEpoch = 0;
        state_.crossingsInEpoch = 0;
    }

    int status = VNX_STATUS_ASYNC_PENDING;
    if (state_.epochsInWindow >= settings_.epochsPerWindow) {
        out.event = endWindow();
        status = VNX_STATUS_SUCCESS;
        // An asleep window ends the call before the sample is kept, so the
        // next sample is compared with the one before this.
        if (out.event == kAsleep || out.event == kAsleepLong)
            return status;
    }
    std::copy(c, c + 3, state_.previous);
    return status;
}

std::uint32_t SleepDetector::endWindow()
{
    std::copy_backward(state_.history, state_.history + kHistory - 1, state_.history + kHistory);
    state_.history[0] = state_.windowSum;

    std::uint32_t code = kAwake;
    if (state_.windowSum >= kActiveCrossings) {
        code = kActive;
    } else if (state_.historyFill >= kFilledHistory) {
        float weighted = 0.0f;
        for (int i = 0; i < kHistory; ++i)
            weighted += kWeights[i] * static_cast<float>(state_.history[i]);
        weighted = std::clamp(weighted, -kWeightedSumLimit, kWeightedSumLimit);
        state_.lastScore = settings_.scoreScale * weighted;
        if (state_.lastScore < 1.0f) {
            // Asleep: the window restarts, but the wear time is kept whole
            // and the time since the last waking window keeps running.
            const bool longAsleep = state_.wearS > kLongWearS && state_.sinceNotAsleepS > kLongAsleepS;
            state_.windowSum = 0;
            state_.epochsInWindow = 0;
            return longAsleep ? kAsleepLong : kAsleep;
        }
    }
    // Not asleep (active, awake, or not yet enough windows to score).
    state_.sinceNotAsleepS = 0;
    // Saturates, so the history can never count as unfilled again.
    state_.historyFill = std::min(state_.historyFill + 1, kFilledHistory);
    state_.windowSum = 0;
    state_.epochsInWindow = 0;
    state_.wearS -= settings_.epochsPerWindow;
    return code;
}

} // namespace vnx::activity
