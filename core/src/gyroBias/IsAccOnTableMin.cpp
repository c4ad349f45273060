#include "gyroBias/IsAccOnTableMin.h"

#include "gyroBias/windowRounding.h"

namespace vnx {

namespace {

constexpr float kWindowS = 0.16f;
// Spread limits: a gyroscope channel may never be judged finer than this
// (rad/s); above it the gyroscope is too noisy and acceleration is watched.
constexpr float kRateLimitFloor = 0.017f;
constexpr float kAccLimitFloor = 0.0096f; // m/s^2
// Limit of an unwatched accelerometer's window spread, in watched limits:
// far above noise, far below what a turn of a few degrees per second about a
// tilted axis moves gravity by within one window.
constexpr float kUnwatchedAccLimitScale = 4.0f;
// An accelerometer reading beyond 1.5 g is no device at rest.
constexpr float kAccRange = 14.7f; // m/s^2
// Samples from the start of a still run until the first answer.
constexpr std::uint32_t kConfirmCount = 50;

} // namespace

void IsAccOnTableMin::init(const FixedPointCal::Output& cal, std::uint8_t rsChannels)
{
    rsChannels_ = clampRsChannels(rsChannels);
    const std::int32_t w = roundWindowLength(cal.rate * kWindowS);
    window_ = w > 0 ? static_cast<std::uint32_t>(w) : 0u;
    counter_ = 0;
    accWatched_ = 0;
    const Fp32 minTermLimit = Fp32(1.2f) * Fp32(cal.zroMinTerm);
    for (int c = 0; c < rsChannels_; ++c) {
        const Fp32 noiseLimit = Fp32(5.0f) * abs(cal.rsNoise[rsAxisOfChannel(c, rsChannels_)]);
        limit_[c] = max(max(minTermLimit, noiseLimit), Fp32(kRateLimitFloor));
        if (limit_[c] > Fp32(kRateLimitFloor))
            accWatched_ = 1;
    }
    for (int j = 0; j < 3; ++j)
        limit_[rsChannels_ + j] = max(Fp32(5.0f) * abs(cal.accNoise[j]), Fp32(kAccLimitFloor));
}

bool IsAccOnTableMin::process(const CalcPeak2Peak::Output& stats, const Fp32* input)
{
    bool still = stats.valid != 0;
    for (int c = 0; still && c < rsChannels_; ++c)
        still = !(stats.spread[c] > limit_[c]);
    // The acceleration of every window is checked, also when a quiet
    // gyroscope makes the rates the watched channels: a steady turn keeps the
    // rate spread small, and without this check its rate would be taken for
    // the zero-rate offset of a device lying still. Gravity turning with the
    // device moves the reading far more than noise does, so the unwatched
    // accelerometer gets a looser limit than a watched one.
    const Fp32 accLimitScale(accWatched_ ? 1.0f : kUnwatchedAccLimitScale);
    for (int j = rsChannels_; still && j < rsChannels_ + 3; ++j)
        still = !(stats.spread[j] > accLimitScale * limit_[j]) && input[j] >= Fp32(-kAccRange) &&
                input[j] <= Fp32(kAccRange);
    if (!still) {
        counter_ = 0;
        return false;
    }

    const int first = watchedFirst();
    const int n = watchedCount();
    if (counter_ == 0) {
        counter_ = window_;
        for (int i = 0; i < n; ++i) {
            runMin_[i] = stats.min[first + i];
            runMax_[i] = stats.max[first + i];
        }
        return false;
    }

    ++counter_;
    if (counter_ < kConfirmCount) {
        if (counter_ == 2 * window_)
            evaAndUpdateBuffer(stats.min + first, stats.max + first, n);
        return false;
    }
    evaAndUpdateBuffer(stats.min + first, stats.max + first, n);
    for (int i = 0; i < n; ++i) {
        if (runMax_[i] - runMin_[i] > limit_[first + i]) {
            counter_ = 0;
            return false;
        }
    }
    counter_ = window_;
    return true;
}

void IsAccOnTableMin::evaAndUpdateBuffer(const Fp32* smallest, const Fp32* largest, int n)
{
    for (int i = 0; i < n && i < 3; ++i) {
        runMin_[i] = min(runMin_[i], smallest[i]);
        runMax_[i] = max(runMax_[i], largest[i]);
    }
}

} // namespace vnx
