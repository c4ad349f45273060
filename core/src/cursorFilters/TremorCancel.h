#pragma once

#include <cstdint>

#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"

namespace vnx {

/// Removes hand tremor from the two angular rates (rad/s) that steer the
/// pointer. Each axis runs an extended Kalman filter whose model is the sum
/// of the voluntary motion (a random walk whose noise follows the recent
/// signal energy) and a damped oscillation near 9 Hz whose two coefficients
/// adapt; the output is the voluntary motion.
class TremorCancel
{
    VNX_LOG_DEFAULT(TremorCancel);

  public:
    /// Filter of one axis.
    struct State
    {
        float x[5];  ///< voluntary motion, tremor now, tremor before, two coefficient corrections
        float P[25]; ///< covariance, row-major
        float Q[25]; ///< process noise, row-major; only the diagonal is used
    };

    /// Coefficients derived from the sample period.
    struct Constants
    {
        float c[40];

        /// Fills the record for period T (seconds).
        void update(Fp32 period);
    };

    /// Scratch of one filter step.
    struct AR2BTempSpace
    {
        float predicted[5];
        float gain[5];
        float covarianceColumn[5]; ///< P' H^T
        float FP[25];              ///< F P
    };

    TremorCancel();

    /// Stores the period (seconds), sets the gap limit to the samples in 50 ms
    /// and restarts both filters.
    void init(Fp32 period);
    /// Restarts both filters; the period stays.
    void reset();
    /// One step of both axes. A sampleStep above the gap limit restarts the
    /// filters first.
    void process(const Fp32 in[2], std::uint32_t sampleStep, Fp32 out[2]);
    /// Updates the two motion variances from the rates and writes them to out.
    void estVarB(const Constants& constants, const Fp32 in[2], bool unused, float out[2]);

    std::int32_t gapLimit() const { return gapLimit_; }
    float period() const { return period_; }
    float motionVarianceX() const { return motionVarianceX_; }
    float motionVarianceY() const { return motionVarianceY_; }
    const State& stateX() const { return stateX_; }
    const State& stateY() const { return stateY_; }

  private:
    float motionVarianceX_ = 0.0f;
    float motionVarianceY_ = 0.0f;
    State stateX_{};
    State stateY_{};
    std::int32_t gapLimit_ = 0;
    float period_ = 0.0f;
    Constants constants_{}; ///< recomputed on every process call
    AR2BTempSpace scratch_{};
};

} // namespace vnx

/// One filter step of one axis: out := the voluntary-motion estimate for
/// measured rate z with motion variance q.
extern "C" void AR2B(vnx::TremorCancel::State* state, vnx::Fp32* out, vnx::Fp32 z, float q,
                     const vnx::TremorCancel::Constants* constants,
                     vnx::TremorCancel::AR2BTempSpace* scratch);
