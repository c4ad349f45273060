#include "gyroBias/TemperatureFilt.h"

#include <cmath>

namespace vnx {

namespace {

constexpr float kInitialGain = 0.01f;
constexpr float kMinGain = 0.0001f;
// Block-mean change (degC) that counts as the temperature moving.
constexpr float kChangeThreshold = 0.1f;
constexpr float kGainPerChange = 10.0f;

std::uint32_t floorToCount(float v)
{
    const float f = std::floor(v);
    if (!(f > 0.0f))
        return 0;
    return f >= 4294967295.0f ? 0xFFFFFFFFu : static_cast<std::uint32_t>(f);
}

} // namespace

void TemperatureFilt::init(const FixedPointCal::Output& cal)
{
    gapLimit_ = floorToCount(cal.rate);
    // At least one sample, so a block mean never divides by zero.
    const std::uint32_t block = floorToCount(cal.rate * 0.5f);
    blockLength_ = block > 0 ? block : 1;
    measurementVariance_ = Fp32(cal.tempNoise) * Fp32(cal.tempNoise);
    reset();
}

void TemperatureFilt::reset()
{
    smoothed_ = Fp32(0.0f);
    reference_ = Fp32(0.0f);
    startUp_ = 1;
    variance_ = measurementVariance_;
    blockSum_ = Fp32(0.0f);
    blockCount_ = 0;
    sinceUpdate_ = 0;
    gain_ = Fp32(kInitialGain);
}

void TemperatureFilt::process(Fp32 t, std::uint32_t gap, Output& out)
{
    if (gap > gapLimit_) {
        reset();
        smoothed_ = reference_ = t;
    } else if (startUp_ == 1) {
        smoothed_ = reference_ = t;
    }
    ++sinceUpdate_;

    const bool filtering = startUp_ > 2;
    if (filtering) {
        smoothed_ += (t - smoothed_) * gain_;
        const Fp32 keep = Fp32(1.0f) - gain_;
        variance_ = keep * keep * variance_ + gain_ * gain_ * measurementVariance_;
        blockSum_ += t;
        ++blockCount_;
    } else {
        smoothed_ = t;
        variance_ = measurementVariance_;
        ++startUp_;
    }
    out.valid = filtering ? 1 : 0;
    out.temperature = smoothed_;
    out.variance = variance_;

    if (blockCount_ >= blockLength_) {
        const Fp32 blockMean = blockSum_ / Fp32(static_cast<float>(blockLength_));
        blockSum_ = Fp32(0.0f);
        blockCount_ = 0;
        const Fp32 change = abs(blockMean - reference_);
        if (change >= Fp32(kChangeThreshold)) {
            const Fp32 g = Fp32(kGainPerChange) * change / Fp32(static_cast<float>(sinceUpdate_));
            gain_ = max(min(g, Fp32(0.01f)), Fp32(kMinGain));
            reference_ = smoothed_;
            sinceUpdate_ = 0;
        }
    }
}

} // namespace vnx
