#include "activity/FlipDetector.h"

#include <cmath>

#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr int kTimeConstantQ = 20;
constexpr int kAngleQ = 29;
constexpr float kDefaultTimeConstantS = 0.4f;
constexpr float kDefaultAngleRad = 0.7853982f;        // 45 degrees
constexpr float kDefaultHysteresisRad = 0.034906585f; // 2 degrees

} // namespace

void FlipDetector::getDefaults(Config& config)
{
    config.timeConstantQ20 = fptToFixed32(kDefaultTimeConstantS, kTimeConstantQ, true, true);
    config.angleQ29 = fptToFixed32(kDefaultAngleRad, kAngleQ, true, true);
    config.hysteresisQ29 = fptToFixed32(kDefaultHysteresisRad, kAngleQ, true, true);
}

void FlipDetector::init(const Config& config)
{
    const float angle = fptToFloat32(config.angleQ29, kAngleQ);
    const float width = fptToFloat32(config.hysteresisQ29, kAngleQ);
    settings_.timeConstantS = fptToFloat32(config.timeConstantQ20, kTimeConstantQ);
    settings_.cosEnter = std::cos(angle - 0.5f * width);
    settings_.cosLeave = std::cos(angle + 0.5f * width);
    derived_ = Derived{};
    state_ = State{};
}

void FlipDetector::onInputPeriod(std::int32_t periodUs, std::int32_t /*previousPeriodUs*/)
{
    const float tau = settings_.timeConstantS;
    derived_.alpha = tau / (static_cast<float>(periodUs) * 1e-6f + tau);
    derived_.oneMinusAlpha = 1.0f - derived_.alpha;
    state_.reseed = true;
}

int FlipDetector::processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out)
{
    const float* a = in.accelerometer;
    float* g = state_.gravity;
    if (state_.reseed) {
        for (int k = 0; k < 3; ++k)
            g[k] = a[k];
        state_.reseed = false;
    }
    for (int k = 0; k < 3; ++k)
        g[k] = derived_.alpha * g[k] + derived_.oneMinusAlpha * a[k];

    const float norm = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
    // A zero filtered vector (free fall from rest, an all-zero input) has no
    // direction: no decision for this sample.
    if (!(norm > 0.0f))
        return VNX_STATUS_SUCCESS;
    const float cosFaceDown = -g[2] / norm;
    bool faceDown = state_.faceDown;
    if (cosFaceDown < settings_.cosLeave)
        faceDown = false;
    else if (cosFaceDown > settings_.cosEnter)
        faceDown = true;
    if (faceDown && !state_.faceDown)
        out.event = kTurnedFaceDown;
    state_.faceDown = faceDown;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::activity
