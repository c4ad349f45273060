#pragma once

#include <cstdint>

#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"

namespace vnx {

/// Gain and quantisation of a two-axis pointer rate: rate (rad/s) times the
/// gain gives pointer counts per sample, at most +-127 per axis; the fraction
/// of a count is carried to the next sample.
class OutputConditioningMin
{
    VNX_LOG_DEFAULT(OutputConditioningMin);

  public:
    /// Flag of `process`: gain follows the nonlinear low-speed curve.
    static constexpr std::uint16_t kNonlinearGain = 0x1000;
    /// Counts per radian of device rotation at a gain parameter of 1.
    static constexpr float kCountsPerRadian = 1994.1073f;
    /// Largest count of one axis in one sample.
    static constexpr std::int16_t kMaxCount = 127;

    struct Output
    {
        std::uint16_t word;  ///< not written by `process`
        std::int16_t countX; ///< whole counts of this sample
        std::int16_t countY;
        float scaledX; ///< rate times gain, before quantisation
        float scaledY;
        float scaledSpread0; ///< spread pair times gain
        float scaledSpread1;
    };

    OutputConditioningMin() = default;

    /// Stores the pointer scale factor and clears the residuals.
    void init(Fp32 pointerScaleFactor);
    void setPointerScaleFactor(Fp32 pointerScaleFactor);

    /// gainParameter times 1994.1073 is the gain in counts per radian; with
    /// sampleCount 0 nothing moves, 1 is one sample, 2 or more count as one.
    void process(std::uint16_t flags, Fp32 gainParameter, std::uint32_t sampleCount, const Fp32 rate[2],
                 const Fp32 spread[2], Output& out);

    Fp32 pointerScaleFactor() const { return pointerScaleFactor_; }
    float residualX() const { return residualX_; }
    float residualY() const { return residualY_; }

    /// Nonlinear gain factor of a rate magnitude r (rad/s): 0 up to 0.02,
    /// a cubic blend, then 1 - 0.02 / r.
    static float nonlinearFactor(float rateSquared);

  private:
    Fp32 pointerScaleFactor_{1.0f};
    float residualX_ = 0.0f; ///< fraction of a count carried to the next sample
    float residualY_ = 0.0f;
};

} // namespace vnx
