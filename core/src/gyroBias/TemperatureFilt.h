#pragma once

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"

namespace vnx {

/// Smooths the device temperature with a first-order filter whose gain
/// follows how fast the temperature moves: every half second of samples the
/// block mean is compared with the reference, and a change of 0.1 degC or
/// more sets the gain to 10 x change / samples (0.0001 to 0.01).
class TemperatureFilt
{
    VNX_LOG_DEFAULT(TemperatureFilt);

  public:
    struct Output
    {
        std::uint8_t valid = 0; ///< the filter ran (from the third sample after a restart)
        Fp32 temperature;       ///< smoothed, degC
        Fp32 variance;          ///< of the smoothed value, degC^2
    };

    TemperatureFilt() = default;

    /// Gap limit (one second of samples), block length (half a second),
    /// measurement variance; then reset.
    void init(const FixedPointCal::Output& cal);
    void reset();
    /// gap: samples since the previous call; above one second the filter
    /// restarts at T.
    void process(Fp32 temperatureDegC, std::uint32_t gap, Output& out);

    Fp32 gain() const { return gain_; }
    Fp32 reference() const { return reference_; }

  private:
    Fp32 reference_;                ///< T_r, degC at the last gain update
    std::uint32_t sinceUpdate_ = 0; ///< n, calls since the last gain update
    Fp32 gain_;                     ///< g
    Fp32 smoothed_;                 ///< T_f
    Fp32 variance_;                 ///< V
    Fp32 blockSum_;                 ///< S
    std::uint32_t startUp_ = 0;     ///< u: 1 after a restart, filtering from 3 on
    std::uint32_t blockCount_ = 0;  ///< k
    Fp32 measurementVariance_;      ///< R_T
    std::uint32_t gapLimit_ = 0;
    std::uint32_t blockLength_ = 1;
};

} // namespace vnx
