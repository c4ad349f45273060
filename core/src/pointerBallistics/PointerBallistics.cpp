#include "pointerBallistics/PointerBallistics.h"

#include <cmath>

#include "numerics/saturatingCast.h"

namespace vnx {

namespace {

// Screen heights are relative to a 720-pixel screen.
constexpr float kPerPixelOf720 = 0.0013888889f;

float carriedResidual(float residual)
{
    const bool usable = residual <= 1.0f && residual >= -1.0f; // false for NaN
    return usable ? residual : 0.0f;
}

} // namespace

void PointerBallistics::init()
{
    baselineGain_ = 1.0f;
    updateGain();
    screenSizeGain_ = 1.0f;
    updateGain();
    setPointerScaleFactor(Fp32(1.0f));
    residualX_ = 0.0f;
    residualY_ = 0.0f;
}

void PointerBallistics::setPointerScaleFactor(Fp32 factor)
{
    pointerScaleFactor_ = factor;
    updateGain();
}

void PointerBallistics::setBaselineGain(float gain)
{
    baselineGain_ = gain;
    updateGain();
}

void PointerBallistics::setScreenHeight(int heightPixels)
{
    screenSizeGain_ = static_cast<float>(heightPixels) * kPerPixelOf720;
    updateGain();
}

void PointerBallistics::updateGain()
{
    gain_ = screenSizeGain_ * baselineGain_ * pointerScaleFactor_.value();
}

float PointerBallistics::computeSpeed(const Fp32* v)
{
    const float x = v[0].value();
    const float y = v[1].value();
    return std::sqrt(x * x + y * y);
}

void PointerBallistics::quantizeWithGain(const float* v, int* out)
{
    const float wx = v[0] * gain_ + residualX_;
    const float wy = v[1] * gain_ + residualY_;
    out[0] = truncateToInt32(wx);
    out[1] = truncateToInt32(wy);
    residualX_ = carriedResidual(wx - static_cast<float>(out[0]));
    residualY_ = carriedResidual(wy - static_cast<float>(out[1]));
}

int PointerBallistics::process(Fp32, unsigned sampleStep, const Fp32* delta, const Fp32*, int* out, float*)
{
    const float k = sampleStep <= 1 ? static_cast<float>(sampleStep) : 1.0f;
    const float motion[2] = {delta[0].value() * k, delta[1].value() * k};
    quantizeWithGain(motion, out);
    return 0;
}

} // namespace vnx
