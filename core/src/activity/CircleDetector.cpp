#include "activity/CircleDetector.h"

#include <algorithm>
#include <cmath>

#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr int kDeviationQ = 24;
constexpr int kAxisCosQ = 30;
constexpr int kAngleQ = 25;
constexpr float kDefaultMinDeviationMs2 = 4.0f;
constexpr float kDefaultMinAxisCos = 0.0f;
constexpr float kDefaultTotalAngleRad = 9.424778f; // 3 pi, one and a half turns

constexpr float kGravityMs2 = 9.8f;
/// Still: the sample within this of its low-pass, and both within this of 1 g.
constexpr float kStillDeviationMs2 = 0.5f;
constexpr float kGravityToleranceMs2 = 0.98f;
/// Time constant of the gravity low-pass (s).
constexpr float kGravityTimeConstantS = 0.04f;
/// A gesture waits this many 100 ms for its next step.
constexpr std::int32_t kStepWaitTenthsS = 8;
/// A deviation below the start level divided by this ends a gesture.
constexpr float kFadeDivisor = 4.0f;

float norm3(const float* v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}
float dot3(const float* a, const float* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

} // namespace

void CircleDetector::getDefaults(Config& config)
{
    config.minDeviationQ24 = fptToFixed32(kDefaultMinDeviationMs2, kDeviationQ, true, true);
    config.minAxisCosQ30 = fptToFixed32(kDefaultMinAxisCos, kAxisCosQ, true, true);
    config.totalAngleQ25 = fptToFixed32(kDefaultTotalAngleRad, kAngleQ, true, true);
}

void CircleDetector::init(const Config& config)
{
    settings_.minDeviationMs2 = fptToFloat32(config.minDeviationQ24, kDeviationQ);
    settings_.minAxisCos = fptToFloat32(config.minAxisCosQ30, kAxisCosQ);
    settings_.totalAngleRad = fptToFloat32(config.totalAngleQ25, kAngleQ);
    settings_.stepCos = std::cos(settings_.totalAngleRad / static_cast<float>(kMaxSteps));
    derived_ = Derived{};
    state_ = State{};
}

void CircleDetector::restart()
{
    state_.phase = Phase::Idle;
    state_.samplesSinceStep = 0;
    state_.sweptRad = 0;
    state_.axisCount = 0;
    state_.previousStill = false;
}

void CircleDetector::onDisabled()
{
    restart();
}

void CircleDetector::onPeriodRejected()
{
    restart();
}

void CircleDetector::onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs)
{
    restart();
    if (periodUs == previousPeriodUs)
        return; // the coefficients are those of this period already
    derived_.samplesPer100Ms = static_cast<std::int32_t>(std::floor(100000.0 / periodUs + 0.5));
    derived_.alpha = kGravityTimeConstantS / (static_cast<float>(periodUs) * 1e-6f + kGravityTimeConstantS);
    derived_.oneMinusAlpha = 1.0f - derived_.alpha;
    std::fill(state_.lowPass, state_.lowPass + 3, 0.0f);
}

bool CircleDetector::closesCircle() const
{
    float mean[3] = {0, 0, 0};
    for (int i = 0; i < state_.axisCount; ++i)
        for (int k = 0; k < 3; ++k)
            mean[k] += state_.axes[i][k];
    const float n = norm3(mean);
    if (!(n > 0.0f))
        return false;
    for (float& m : mean)
        m /= n;
    for (int i = 0; i < state_.axisCount; ++i)
        if (dot3(state_.axes[i], mean) < settings_.minAxisCos)
            return false;
    return true;
}

bool CircleDetector::followGesture(const float* a, bool still)
{
    if (still && state_.previousStill) {
        // At rest again: the reference follows, and this sample is still
        // judged as part of the gesture against it.
        state_.phase = Phase::AtRest;
        std::copy(state_.lowPass, state_.lowPass + 3, state_.reference);
    }
    ++state_.samplesSinceStep;
    const float d[3] = {a[0] - state_.reference[0], a[1] - state_.reference[1], a[2] - state_.reference[2]};
    const float magnitude = norm3(d);
    if (magnitude < settings_.minDeviationMs2 / kFadeDivisor || !(magnitude > 0.0f) ||
        state_.samplesSinceStep >= kStepWaitTenthsS * derived_.samplesPer100Ms) {
        state_.phase = Phase::Idle;
        return false;
    }
    const float v[3] = {d[0] / magnitude, d[1] / magnitude, d[2] / magnitude};
    const float* u = state_.direction;
    const float c = dot3(v, u);
    if (c >= settings_.stepCos)
        return false; // not turned far enough for a step yet

    state_.samplesSinceStep = 0;
    float axis[3] = {v[1] * u[2] - v[2] * u[1], v[2] * u[0] - v[0] * u[2], v[0] * u[1] - v[1] * u[0]};
    const float axisNorm = norm3(axis);
    if (!(axisNorm > 0.0f))
        return false; // an exact about-turn has no axis
    for (float& x : axis)
        x /= axisNorm;
    if (state_.axisCount > 0 && dot3(axis, state_.axes[state_.axisCount - 1]) < 0.0f) {
        // Turning the other way: the sweep starts over from this step.
        state_.axisCount = 0;
        state_.sweptRad = 0;
    } else {
        state_.sweptRad += std::acos(std::clamp(c, -1.0f, 1.0f));
    }
    std::copy(axis, axis + 3, state_.axes[state_.axisCount]);
    ++state_.axisCount;
    std::copy(v, v + 3, state_.direction);

    if (state_.axisCount < kMinSteps)
        return false;
    if (state_.sweptRad >= settings_.totalAngleRad) {
        state_.phase = Phase::Idle;
        return closesCircle();
    }
    if (state_.axisCount == kMaxSteps)
        state_.phase = Phase::Idle;
    return false;
}

int CircleDetector::processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out)
{
    const float* a = in.accelerometer;
    for (int k = 0; k < 3; ++k)
        state_.lowPass[k] = derived_.alpha * state_.lowPass[k] + derived_.oneMinusAlpha * a[k];
    const float fromLowPass[3] = {a[0] - state_.lowPass[0], a[1] - state_.lowPass[1],
                                  a[2] - state_.lowPass[2]};
    const bool still = norm3(fromLowPass) <= kStillDeviationMs2 &&
                       std::fabs(norm3(state_.lowPass) - kGravityMs2) <= kGravityToleranceMs2 &&
                       std::fabs(norm3(a) - kGravityMs2) <= kGravityToleranceMs2;

    switch (state_.phase) {
    case Phase::Idle:
        if (still) {
            state_.phase = Phase::AtRest;
            std::copy(state_.lowPass, state_.lowPass + 3, state_.reference);
        }
        break;
    case Phase::AtRest: {
        if (still)
            std::copy(state_.lowPass, state_.lowPass + 3, state_.reference);
        const float d[3] = {a[0] - state_.reference[0], a[1] - state_.reference[1],
                            a[2] - state_.reference[2]};
        const float magnitude = norm3(d);
        if (magnitude >= settings_.minDeviationMs2 && magnitude > 0.0f) {
            state_.phase = Phase::Moving;
            state_.samplesSinceStep = 0;
            state_.axisCount = 0;
            state_.sweptRad = 0;
            for (int k = 0; k < 3; ++k)
                state_.direction[k] = d[k] / magnitude;
        }
        break;
    }
    case Phase::Moving:
        if (followGesture(a, still))
            out.event = kCircle;
        break;
    }
    state_.previousStill = still;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::activity
