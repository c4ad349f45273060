#include "gyroBias/ZroOnTableSensor.h"

#include <limits>

namespace vnx::zroFromStable {

namespace {

using Fp = OnTableSensor::Fp;

constexpr std::uint32_t kWindowUs = 250000;
// Variances at or below single-precision resolution carry no noise information.
constexpr float kMinVariance = 1.1920929e-7f;
constexpr float kUnknown = 2147483648.0f;

std::uint32_t addSaturating(std::uint32_t a, std::uint32_t b)
{
    const std::uint32_t room = std::numeric_limits<std::uint32_t>::max() - a;
    return b < room ? a + b : std::numeric_limits<std::uint32_t>::max();
}

bool isUnknown(Fp v)
{
    return v == Fp(kUnknown) || v == Fp(-kUnknown);
}

} // namespace

OnTableSensor::OnTableSensor(float wideFactor, float narrowFactor)
    : wideFactor_(wideFactor), narrowFactor_(narrowFactor), window_("vnx_core_ZroFromStable")
{
}

void OnTableSensor::init(Fp sigma0)
{
    sigma0_ = sigma0;
    for (int i = 0; i < 3; ++i) {
        minVariance_[i] = sigma0 * sigma0;
        setBands(i, sigma0);
    }
    first_ = true;
}

void OnTableSensor::restart()
{
    window_.reset();
    init(sigma0_);
    sinceNoiseUpdateUs_ = 0;
}

void OnTableSensor::setBands(int axis, Fp sigma)
{
    wide_[axis] = wideFactor_ * sigma;
    narrow_[axis] = narrowFactor_ * sigma;
}

void OnTableSensor::setMinNoise(Fp s)
{
    const Fp floor = s * s;
    for (int i = 0; i < 3; ++i) {
        if (minVariance_[i] < floor) {
            minVariance_[i] = floor;
            setBands(i, s);
        }
    }
}

void OnTableSensor::advanceNoiseClock(bool running, std::uint32_t dtUs)
{
    if (running)
        sinceNoiseUpdateUs_ = addSaturating(sinceNoiseUpdateUs_, dtUs);
}

void OnTableSensor::restartWindow(std::uint32_t timeUs, Output_s* out)
{
    startUs_ = timeUs;
    for (int i = 0; i < 3; ++i)
        reference_[i] = window_.mean[i];
    window_.reset();
    out->state = kStateRestarted;
    onTableTimeUs_ = 0;
}

void OnTableSensor::updateNoise()
{
    // The bands narrow at once to a quieter window; they widen only halfway
    // towards a noisier one, and only after a quarter second of confirmed
    // table time since the last change.
    bool changed = false;
    for (int i = 0; i < 3; ++i) {
        const Fp v = window_.variance(i);
        if (!(v > Fp(kMinVariance)))
            continue;
        if (v < minVariance_[i]) {
            minVariance_[i] = v;
            setBands(i, sqrt(v));
            changed = true;
        } else if (sinceNoiseUpdateUs_ >= kWindowUs) {
            const Fp sigma = Fp(0.5f) * sqrt(minVariance_[i]) + Fp(0.5f) * sqrt(v);
            minVariance_[i] = sigma * sigma;
            setBands(i, sigma);
            changed = true;
        }
    }
    if (changed)
        sinceNoiseUpdateUs_ = 0;
}

void OnTableSensor::reportSample(std::uint32_t timeUs, const Vec3& x, bool noiseClockRunning, Output_s* out)
{
    const std::uint32_t dtUs = timeUs - lastTimeUs_;
    lastTimeUs_ = timeUs;
    out->state = kStateNothing;
    if (window_.count == 0) {
        startUs_ = timeUs;
        reference_ = x;
    } else if (first_) {
        for (int i = 0; i < 3; ++i)
            reference_[i] = window_.mean[i];
    }

    bool outside = false;
    for (int i = 0; i < 3; ++i)
        if (isUnknown(x[i]) || abs(x[i] - reference_[i]) > wide_[i])
            outside = true;
    if (outside)
        restartWindow(timeUs, out);

    if (timeUs - startUs_ < kWindowUs) {
        window_.addSample(x);
        if (out->state != kStateNothing)
            first_ = false;
        advanceNoiseClock(noiseClockRunning, dtUs);
        return;
    }

    if (window_.count >= 2)
        updateNoise();

    bool onTable = true;
    for (int i = 0; i < 3; ++i)
        if (abs(window_.mean[i] - reference_[i]) > narrow_[i])
            onTable = false;
    if (onTable) {
        out->state = kStateWindowComplete;
        for (int i = 0; i < 3; ++i) {
            out->mean[i] = window_.mean[i];
            out->variance[i] = window_.variance(i);
        }
        out->count = window_.count;
        onTableTimeUs_ = addSaturating(onTableTimeUs_, timeUs - startUs_);
        startUs_ = timeUs;
    } else {
        restartWindow(timeUs, out);
    }

    window_.restart(x);
    if (out->state != kStateNothing)
        first_ = false;
    advanceNoiseClock(noiseClockRunning, dtUs);
}

} // namespace vnx::zroFromStable
