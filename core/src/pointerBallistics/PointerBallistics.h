#pragma once

#include <cstdint>

#include "numerics/FloatingPoint.h"

namespace vnx {

/// Base of the pointer ballistics: composes the overall gain from the screen
/// size, a baseline and the user's pointer scale, and turns a scaled motion
/// into whole counts, carrying the fraction of a count to the next sample.
class PointerBallistics
{
  public:
    PointerBallistics() = default;
    virtual ~PointerBallistics() = default;
    PointerBallistics(const PointerBallistics&) = delete;
    PointerBallistics& operator=(const PointerBallistics&) = delete;

    /// Baseline and screen gain to 1, pointer scale to 1, residuals cleared.
    virtual void init();
    virtual void setPointerScaleFactor(Fp32 factor);
    /// dt: sample period in seconds; sampleStep: samples since the previous
    /// call (0 moves nothing); delta: this sample's motion; reference: not
    /// read here; out: whole counts; gainOut: the gain applied (not written
    /// by the base). Returns 0.
    virtual int process(Fp32 dt, unsigned sampleStep, const Fp32* delta, const Fp32* reference, int* out,
                        float* gainOut);
    /// gain := screen size gain * baseline gain * pointer scale factor.
    virtual void updateGain();

    void setBaselineGain(float gain);
    /// Screen size gain := height / 720.
    void setScreenHeight(int heightPixels);

    Fp32 getPointerScaleFactor() const { return pointerScaleFactor_; }
    float getScreenSizeGain() const { return screenSizeGain_; }
    float getBaselineGain() const { return baselineGain_; }
    float getGain() const { return gain_; }
    float residualX() const { return residualX_; }
    float residualY() const { return residualY_; }

    /// Length of the pair v.
    static float computeSpeed(const Fp32* v);

    /// out := v * gain + residual truncated toward zero (saturating); the
    /// fraction left becomes the residual, cleared when it is not within
    /// [-1, 1] or not finite.
    void quantizeWithGain(const float* v, int* out);

  private:
    Fp32 pointerScaleFactor_{1.0f};
    float screenSizeGain_ = 1.0f;
    float baselineGain_ = 1.0f;
    float residualX_ = 0.0f;
    float residualY_ = 0.0f;
    float gain_ = 1.0f;
};

} // namespace vnx
