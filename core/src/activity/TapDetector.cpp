#include "activity/TapDetector.h"

#include <cmath>

#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr int kThresholdQ = 24;
constexpr float kDefaultThresholdMs2 = 8.0f;
constexpr std::int32_t kDefaultPeakTimeUs = 30000;
constexpr std::int32_t kDefaultSettleTimeUs = 45000;
constexpr std::int32_t kDefaultDoubleTapWindowUs = 250000;
constexpr std::int32_t kDefaultDoubleTapMinGapUs = 120000;
constexpr std::int32_t kSettleSlackUs = 6000;
/// A previous sample this close to zero is no sample at all (single-precision epsilon).
constexpr float kNoPreviousNorm = 1.1920929e-7f;

} // namespace

void TapDetector::getDefaults(Config& config)
{
    config.thresholdQ24 = fptToFixed32(kDefaultThresholdMs2, kThresholdQ, true, true);
    config.peakTimeUs = kDefaultPeakTimeUs;
    config.settleTimeUs = kDefaultSettleTimeUs;
    config.doubleTapWindowUs = kDefaultDoubleTapWindowUs;
    config.doubleTapMinGapUs = kDefaultDoubleTapMinGapUs;
}

void TapDetector::init(const Config& config)
{
    settings_.thresholdMs2 = fptToFloat32(config.thresholdQ24, kThresholdQ);
    settings_.peakTimeUs = config.peakTimeUs;
    settings_.settleTimeUs = config.settleTimeUs;
    settings_.doubleTapWindowUs = config.doubleTapWindowUs;
    settings_.doubleTapMinGapUs = config.doubleTapMinGapUs;
    settings_.doubleTapEnabled = config.doubleTapWindowUs != 0;
    derived_ = Derived{};
    state_ = State{};
}

void TapDetector::onInputPeriod(std::int32_t periodUs, std::int32_t /*previousPeriodUs*/)
{
    derived_.peakSamples = settings_.peakTimeUs / periodUs;
    derived_.settleSamples = settings_.settleTimeUs / periodUs;
    derived_.windowSamples = settings_.doubleTapWindowUs / periodUs;
    // In 64 bits: the difference of two words may leave the int32 range.
    derived_.latestRemaining = static_cast<std::int32_t>(
        (static_cast<std::int64_t>(settings_.doubleTapWindowUs) - settings_.doubleTapMinGapUs) / periodUs);
    derived_.slackSamples = kSettleSlackUs / periodUs;
}

int TapDetector::processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out)
{
    const float* a = in.accelerometer;
    const float* p = state_.previousMs2;
    float d[3] = {0, 0, 0};
    if (std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]) > kNoPreviousNorm) {
        for (int k = 0; k < 3; ++k)
            d[k] = a[k] - p[k];
    }

    std::uint32_t event = out.event;
    const bool tapped = trackAxes(d);
    int axis = 0;
    if (tapped) {
        axis = chooseAxis();
        const int shift = 2 * axis;
        event |= kTapBit << shift;
        if (state_.axes[axis].sign > 0)
            event |= kPositiveBit << shift;
        for (Axis& each : state_.axes)
            each = Axis{};
    }
    if (settings_.doubleTapEnabled)
        trackDoubleTap(tapped, axis, event);

    for (int k = 0; k < 3; ++k)
        state_.previousMs2[k] = a[k];
    out.event = event;
    return VNX_STATUS_SUCCESS;
}

bool TapDetector::trackAxes(const float* d)
{
    bool tapped = false;
    for (int k = 0; k < 3; ++k) {
        Axis& axis = state_.axes[k];
        const float m = std::fabs(d[k]);
        switch (axis.state) {
        case AxisState::Idle:
            if (m >= settings_.thresholdMs2) {
                axis.state = AxisState::Peak;
                axis.largestMs2 = m;
                axis.sign = d[k] >= 0.0f ? 1 : -1;
                axis.peakCountdown = derived_.peakSamples;
            }
            break;
        case AxisState::Peak: {
            const std::int32_t had = axis.peakCountdown--;
            if (m > axis.largestMs2)
                axis.largestMs2 = m;
            // "At most 1" rather than "exactly 1": a peak time shorter than
            // one sample would otherwise hold the axis in its peak for good.
            if (had <= 1) {
                axis.state = AxisState::Settle;
                axis.settleCountdown = derived_.settleSamples;
            }
            break;
        }
        case AxisState::Settle:
            --axis.settleCountdown;
            if (m >= 0.5f * settings_.thresholdMs2) {
                // Not a tap: the device goes on moving. The axis starts
                // afresh, so this knock cannot win a later axis choice.
                axis = Axis{};
            } else if (axis.settleCountdown <= 0) {
                tapped = true;
            }
            break;
        }
    }
    return tapped;
}

int TapDetector::chooseAxis() const
{
    int chosen = 0;
    float largest = state_.axes[0].largestMs2;
    for (int k = 1; k < 3; ++k) {
        const Axis& axis = state_.axes[k];
        const bool finishing =
            axis.state == AxisState::Settle && axis.sign != 0 && axis.settleCountdown < derived_.slackSamples;
        if (finishing && axis.largestMs2 > largest) {
            chosen = k;
            largest = axis.largestMs2;
        }
    }
    return chosen;
}

void TapDetector::trackDoubleTap(bool tapped, int axis, std::uint32_t& event)
{
    bool completed = false;
    if (state_.pending) {
        const std::int32_t had = state_.pendingCountdown--;
        if (had < 2) {
            state_.pending = false;
        } else if (tapped && state_.pendingCountdown <= derived_.latestRemaining &&
                   axis == state_.pendingAxis) {
            event |= kDoubleTapBit;
            state_.pending = false;
            completed = true;
        }
    }
    // The second tap of a double tap does not start another one; a tap in
    // the sample where the first expired does.
    if (tapped && !state_.pending && !completed) {
        state_.pending = true;
        state_.pendingCountdown = derived_.windowSamples;
        state_.pendingAxis = axis;
    }
}

} // namespace vnx::activity
