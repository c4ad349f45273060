#include "activity/TiltDetector.h"

#include <algorithm>
#include <cmath>

#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr int kWindowQ = 27;
constexpr int kCosQ = 30;
constexpr float kDefaultWindowS = 2.0f;
constexpr float kDefaultCosThreshold = 0.81915206f; // cos 35 degrees
/// A reference whose components are all this small is no reference (single-precision epsilon).
constexpr float kNoReference = 1.1920929e-7f;

/// v / |v| into `unit`; false (and `unit` untouched) for a zero vector,
/// which has no direction.
bool normalised(const float* v, float* unit)
{
    const float norm = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(norm > 0.0f))
        return false;
    for (int k = 0; k < 3; ++k)
        unit[k] = v[k] / norm;
    return true;
}

} // namespace

void TiltDetector::getDefaults(Config& config)
{
    config.windowQ27 = fptToFixed32(kDefaultWindowS, kWindowQ, true, true);
    config.cosThresholdQ30 = fptToFixed32(kDefaultCosThreshold, kCosQ, true, true);
}

void TiltDetector::init(const Config& config)
{
    settings_.windowS = fptToFloat32(config.windowQ27, kWindowQ);
    settings_.cosThreshold = fptToFloat32(config.cosThresholdQ30, kCosQ);
    derived_ = Derived{};
    state_ = State{};
}

int TiltDetector::setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods)
{
    clearWindow();
    return DetectorBase::setInputPeriods(periods);
}

bool TiltDetector::generateOutput()
{
    if (!isEnabled())
        return false;
    const bool tilted = state_.pending;
    state_.pending = false;
    return tilted;
}

void TiltDetector::applyCutoffPeriod(int& periodUs)
{
    periodUs = std::min(periodUs, static_cast<int>(detectorMember(kId).acceptedMaxUs));
}

void TiltDetector::onDisabled()
{
    std::fill(state_.reference, state_.reference + 3, 0.0f);
}

void TiltDetector::onPeriodRejected()
{
    std::fill(state_.reference, state_.reference + 3, 0.0f);
}

void TiltDetector::onInputPeriod(std::int32_t periodUs, std::int32_t /*previousPeriodUs*/)
{
    derived_.samplesPerSecond = 1000000 / periodUs;
    derived_.samplesPerWindow = static_cast<std::int32_t>(std::floor(settings_.windowS * 1e6 / periodUs));
}

void TiltDetector::clearWindow()
{
    state_.count = 0;
    std::fill(state_.sums, state_.sums + 3, 0.0f);
}

bool TiltDetector::hasReference() const
{
    return !std::all_of(state_.reference, state_.reference + 3,
                        [](float v) { return std::fabs(v) <= kNoReference; });
}

int TiltDetector::processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out)
{
    for (int k = 0; k < 3; ++k)
        state_.sums[k] += in.accelerometer[k];
    ++state_.count;

    if (state_.count == derived_.samplesPerSecond) {
        // One second into the window: a detector without a reference takes
        // the average so far, which then stands for those samples in the
        // window's sums. A zero average has no direction and sets nothing.
        if (!hasReference()) {
            for (float& sum : state_.sums)
                sum /= static_cast<float>(state_.count);
            normalised(state_.sums, state_.reference);
        }
        return VNX_STATUS_SUCCESS;
    }
    if (state_.count == derived_.samplesPerWindow) {
        float average[3];
        for (int k = 0; k < 3; ++k)
            average[k] = state_.sums[k] / static_cast<float>(state_.count);
        float direction[3];
        if (normalised(average, direction)) {
            const float cosTurn = direction[0] * state_.reference[0] + direction[1] * state_.reference[1] +
                                  direction[2] * state_.reference[2];
            if (cosTurn < settings_.cosThreshold) {
                std::copy(direction, direction + 3, state_.reference);
                out.event = kTilted;
                state_.pending = true;
            }
        }
        clearWindow();
    }
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::activity
