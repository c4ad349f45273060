#pragma once

// Magnetic inclination learned from still periods: the cosine of the angle
// between the measured acceleration (gravity while still) and the magnetic
// field. A window as calm as a device lying on a table replaces the estimate
// outright; in-hand windows blend in by how well their spread matches the
// expected noise, against the full weight of the table value, so they barely
// move it.

#include <cstddef>
#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "calibration/dcdData.h"
#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"
#include "statistics/StabilityDetect.h"

namespace vnx {

class InclAngFromStable
{
    VNX_LOG_DEFAULT(InclAngFromStable);

  public:
    using Detector = StabilityDetect<Fp32, 9, 9>;
    using Vector9 = qdVectorFixed::vector<Fp32, 9>;

    /// Estimate before anything is learned: a typical mid-latitude dip.
    static constexpr float kDefaultCosine = -0.76f;

    struct Output
    {
        float estimate;           ///< cosine between gravity and field
        float reserved;           ///< not written
        float windowWeight;       ///< written when a window was graded
        std::uint8_t restarted;   ///< the detector window restarted
        std::uint8_t quietUpdate; ///< a table-calm window replaced the estimate
        std::uint8_t estimateUpdated;
        std::uint8_t still;
    };

    InclAngFromStable();

    /// Window length, drift allowances and noise thresholds from the sample
    /// rate and noise levels of `cal`; learned noise levels from the
    /// gyroscope part of a DCD when given. The estimate returns to the
    /// default. dcdFlag: initial value of the pending-DCD flag (1 without a
    /// DCD).
    void init(const FixedPointCal::Output& cal, const dcdAlg4MinFixedInnards_s* dcd, bool dcdFlag);
    /// Scales the per-sample magnetic drift allowance by x (the field
    /// strength).
    void updateMagWorstDrift(Fp32 x);
    /// One sample of the magnetic field and the acceleration (m/s^2).
    void process(const qdVectorFixed::Vector3& mag, const qdVectorFixed::Vector3& acc, Output* out);

    /// Minimum number of samples of a still window.
    std::uint32_t getMinStableCount() const { return windowLength_ / 4; }
    Fp32 getEstimate() const { return estimate_.value; }

    /// Learned state is kept by the zero-rate estimator: this does nothing.
    void setDcd(const dcdAlg4MinFixedInnards_s* innards);
    /// An empty gyroscope block carrying this object's noise levels; clears
    /// the pending-DCD flag.
    bool getDcd(dcdAlg4MinFixedInnards_s* innards);
    bool dcdPending() const { return dcdPending_; }

    /// Upper tail of the standard normal distribution, approximated.
    static Fp32 QFunction(Fp32 z);
    /// unit(mean acceleration) . unit(mean field) of a window.
    static Fp32 dotProductFromStat(const RunningStats<Fp32, 9, 9>& stats);

    void updateInHandNoise(Fp32 a, Fp32 m);
    void updateOnTableNoise(const RunningStats<Fp32, 9, 9>& stats);

    const Detector& detector() const { return detector_; }

  private:
    struct Estimate
    {
        Fp32 weight;
        bool empty;
        Fp32 value;

        /// Empty with no weight.
        void clear();
        /// Blends c in with weight w; the total weight stays at most 2^31.
        void blend(Fp32 c, Fp32 w);
    };

    Fp32 windowWeight(const RunningStats<Fp32, 9, 9>& stats) const;

    std::uint32_t reportInterval_ = 8; // N_w / 8, samples
    std::uint32_t windowLength_ = 64;  // N_w, samples
    std::uint32_t callCount_ = 0;
    Detector detector_;
    Estimate estimate_{};
    Fp32 temperature_ = Fp32(0.0f); // always 0: the estimate does not depend on it
    Fp32 thresholds_[9]{};
    Fp32 noiseAcc_ = Fp32(0.0f);   // m/s^2
    Fp32 noiseMag_ = Fp32(0.0f);   // field units
    Fp32 quietLimit_ = Fp32(0.0f); // acceleration range of a table-calm window
    Fp32 sigmaAcc_ = Fp32(0.0f);
    Fp32 sigmaMag_ = Fp32(0.0f);
    Fp32 driftMag_ = Fp32(0.0f); // per-sample drift allowances
    Fp32 driftAcc_ = Fp32(0.0f);
    Fp32 driftHalf_ = Fp32(0.0f);
    dcdAlg4MinFixedInnards_s dcd_{};
    bool dcdPending_ = false;
};

static_assert(sizeof(InclAngFromStable::Output) == 16);
static_assert(offsetof(InclAngFromStable::Output, estimate) == 0);
static_assert(offsetof(InclAngFromStable::Output, windowWeight) == 8);
static_assert(offsetof(InclAngFromStable::Output, restarted) == 12);
static_assert(offsetof(InclAngFromStable::Output, quietUpdate) == 13);
static_assert(offsetof(InclAngFromStable::Output, estimateUpdated) == 14);
static_assert(offsetof(InclAngFromStable::Output, still) == 15);

} // namespace vnx
