#pragma once

// Two cascaded first-order low-pass stages per axis of a 3-vector. The
// geomagnetic rotation vector pre-filters its accelerometer and
// magnetometer inputs with it.

#include <cstdint>

#include "numerics/qdVectorFixed.h"

namespace vnx {

class IIR_DoubleAlphaFilterClass
{
  public:
    /// A gap longer than this many periods reloads both stages.
    static constexpr std::uint32_t kReloadPeriods = 30;

    /// The next sample reloads both stages with itself.
    void reset() { reset_ = true; }

    /// One sample. alpha in (-1, 0]: each stage keeps -alpha of its state;
    /// intervalUs and periodUs decide whether the stages reload first.
    void process(std::uint32_t intervalUs, std::uint32_t periodUs, Fp32 alpha,
                 const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3& out);

    /// Coefficient of a stage with time constant tauS at a step of periodS.
    static Fp32 alphaFor(Fp32 periodS, Fp32 tauS) { return -tauS / (periodS + tauS); }

  private:
    bool reset_ = true;
    qdVectorFixed::Vector3 stage1_{};
    qdVectorFixed::Vector3 stage2_{};
};

} // namespace vnx
