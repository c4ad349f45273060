#pragma once

#include <cstdint>

#include "cursorBlocks/OutputConditioningMin.h"
#include "log/DefaultLogger.h"
#include "pointerBallistics/PointerBallistics.h"
#include "pointerBallistics/classicBallistics.h"

namespace vnx {

/// Pointer ballistics of the classic kind: output conditioning with the
/// nonlinear low-speed gain, then the integer multiplier table with the
/// overall gain as its post-gain.
class PointerBallisticsOrig : public PointerBallistics
{
    VNX_LOG_DEFAULT_BLOCK("vnx_core_OutputConditioningMin");

  public:
    PointerBallisticsOrig();
    ~PointerBallisticsOrig() override;

    /// Base init, conditioning with scale 1, accumulators 64, post-gain 128.
    void init() override;
    /// Conditions delta (gain parameter dt, count sampleStep, spread
    /// reference) and applies the classic ballistics to its counts;
    /// *gainOut := 1. Returns 0.
    int process(Fp32 dt, unsigned sampleStep, const Fp32* delta, const Fp32* reference, int* out,
                float* gainOut) override;
    /// Base gain, then post-gain := gain * 128 rounded, within its limits.
    void updateGain() override;

    const zephraAlg_ballisticsState_s& ballisticsState() const { return state_; }

  private:
    OutputConditioningMin conditioning_; ///< node "OutputConditioning"
    zephraAlg_ballisticsState_s state_{};
    /// Every conditioning flag set, so the nonlinear low-speed gain applies.
    std::uint16_t conditioningWord_ = 0xFFFF;
};

} // namespace vnx
