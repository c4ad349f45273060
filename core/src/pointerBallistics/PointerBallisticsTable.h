#pragma once

#include "log/DefaultLogger.h"
#include "pointerBallistics/PointerBallistics.h"
#include "pointerBallistics/PointerBallisticsCurve.h"

namespace vnx {

/// Pointer ballistics driven by a speed-to-gain curve (Approved at first).
class PointerBallisticsTable : public PointerBallistics
{
    VNX_LOG_DEFAULT(PointerBallisticsTable);

  public:
    PointerBallisticsTable() = default;
    ~PointerBallisticsTable() override = default;

    void setToCurve(PointerBallisticsCurve::Curve_t curve) { curve_.setToCurve(curve); }
    bool load(const char* path) { return curve_.load(path); }
    bool save(const char* path) const { return curve_.save(path); }
    const PointerBallisticsCurve& curve() const { return curve_; }
    PointerBallisticsCurve& curve() { return curve_; }

    /// Gain g from the curve at the speed of `delta` (times dt), scaled by
    /// sampleStep when it is 0 or 1; out := quantised delta * g * gain;
    /// *gainOut := gain * g. Returns 0.
    int process(Fp32 dt, unsigned sampleStep, const Fp32* delta, const Fp32* reference, int* out,
                float* gainOut) override;

  private:
    PointerBallisticsCurve curve_;
};

} // namespace vnx
