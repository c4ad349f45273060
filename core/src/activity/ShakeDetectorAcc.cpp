#include "activity/ShakeDetectorAcc.h"

#include <cmath>
#include <cstdlib>

#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr int kThresholdQ = 26;
constexpr std::uint32_t kDefaultMinHalfPeriodUs = 50000;
constexpr std::uint32_t kDefaultMaxHalfPeriodUs = 400000;
constexpr float kDefaultThresholdMs2 = 8.0f;
constexpr std::uint32_t kDefaultReversals = 3;
constexpr std::uint32_t kDefaultAxisMask = 7;

/// The threshold is a change per block of this length.
constexpr float kBlockUs = 10000.0f;

int signOf(float v)
{
    return (v > 0.0f) - (v < 0.0f);
}

} // namespace

void ShakeDetectorAcc::getDefaults(Config& config)
{
    config.minHalfPeriodUs = kDefaultMinHalfPeriodUs;
    config.maxHalfPeriodUs = kDefaultMaxHalfPeriodUs;
    config.thresholdQ26 = fptToFixed32(kDefaultThresholdMs2, kThresholdQ, true, true);
    config.reversals = kDefaultReversals;
    config.axisMask = kDefaultAxisMask;
}

void ShakeDetectorAcc::init(const Config& config)
{
    settings_.minHalfPeriodUs = config.minHalfPeriodUs;
    settings_.maxHalfPeriodUs = config.maxHalfPeriodUs;
    settings_.thresholdMs2 = fptToFloat32(config.thresholdQ26, kThresholdQ);
    settings_.reversals = static_cast<std::uint8_t>(config.reversals);
    settings_.axisMask = static_cast<std::uint8_t>(config.axisMask);
    derived_ = Derived{};
    state_ = State{};
}

void ShakeDetectorAcc::onInputPeriod(std::int32_t periodUs, std::int32_t /*previousPeriodUs*/)
{
    // Blocks of about 10 ms: one sample per block at 10 ms and slower, else
    // the nearest whole number of samples. The threshold, a change per 10 ms,
    // is scaled to what one block spans.
    float blocksPer10Ms = kBlockUs / static_cast<float>(periodUs);
    std::int32_t samples = 1;
    if (blocksPer10Ms > 1.5f) {
        samples = static_cast<std::int32_t>(std::floor(blocksPer10Ms + 0.5f));
        blocksPer10Ms /= static_cast<float>(samples);
    }
    derived_.blockSamples = samples;
    derived_.blockThresholdMs2 = settings_.thresholdMs2 / blocksPer10Ms;
    derived_.stepUs = static_cast<std::int64_t>(samples) * periodUs;
}

bool ShakeDetectorAcc::trackAxis(Axis& axis, float diff) const
{
    bool shake = false;
    if (std::fabs(diff) > derived_.blockThresholdMs2) {
        if (axis.direction == 0) {
            axis.direction = static_cast<std::int8_t>(signOf(diff));
        } else if (std::llabs(axis.elapsedUs) > settings_.maxHalfPeriodUs) {
            axis = Axis{};
        } else if (std::llabs(axis.elapsedUs) >= settings_.minHalfPeriodUs &&
                   signOf(diff) != axis.direction) {
            ++axis.count;
            axis.direction = static_cast<std::int8_t>(-axis.direction);
            axis.elapsedUs = 0;
            if (axis.count == settings_.reversals) {
                shake = true;
                axis = Axis{};
            }
        }
        // A reversal sooner than the minimum half-period keeps the direction
        // and the time, so a fast wave can still count its later reversals.
    }
    axis.elapsedUs += axis.direction * derived_.stepUs;
    if (std::llabs(axis.elapsedUs) > settings_.maxHalfPeriodUs)
        axis = Axis{};
    return shake;
}

int ShakeDetectorAcc::processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out)
{
    for (int k = 0; k < 3; ++k)
        state_.sums[k] += in.accelerometer[k];
    if (++state_.samplesInBlock < derived_.blockSamples)
        return VNX_STATUS_SUCCESS;

    std::uint32_t event = 0;
    for (int k = 0; k < 3; ++k) {
        state_.previousAverage[k] = state_.average[k];
        state_.average[k] = state_.sums[k] / static_cast<float>(derived_.blockSamples);
        // A masked-out axis keeps its averages current but never moves.
        if ((settings_.axisMask & (1u << k)) == 0)
            continue;
        if (trackAxis(state_.axes[k], state_.average[k] - state_.previousAverage[k]))
            event |= 1u << k;
    }
    for (float& sum : state_.sums)
        sum = 0.0f;
    state_.samplesInBlock = 0;
    out.event = event;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::activity
