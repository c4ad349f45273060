#pragma once

// Per-channel scalar Kalman filter of the gyroscope zero-rate offset. The
// bias corrector runs three of them side by side ("Main", "Check",
// "Check2"); each has a role, a phase (start, restored, running), a
// convergence confidence and per channel an offset estimate x (rad/s) with
// its variance P ((rad/s)^2). Vectors are indexed by rate channel.

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "calibration/dcdData.h"
#include "gyroBias/CalcPeak2Peak.h"
#include "gyroBias/EvaluateRsZroConvergeConfidence.h"
#include "gyroBias/KfRole.h"
#include "gyroBias/RsMoveAverage.h"
#include "gyroBias/rsChannels.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

class ZroKfMin
{
    VNX_LOG_DEFAULT(ZroKfMin);

  public:
    using Vector3 = qdVectorFixed::Vector3;

    enum KfPhase_e : std::int32_t
    {
        KF_PHASE_START = 1,    ///< learning from scratch, gains held up
        KF_PHASE_RESTORED = 2, ///< started from a stored state
        KF_PHASE_RUNNING = 3   ///< converged at least once
    };

    /// Constants drawn once from the calibration, shared by the three
    /// filters. Per-channel words are indexed by rate channel.
    struct StaticCalConstants_t
    {
        Fp32 rFloor[3];           ///< smallest measurement variance, (rad/s)^2
        Fp32 pOnTable[3];         ///< variance of an offset measured on a table
        Fp32 zroStep;             ///< rad/s
        Fp32 gainFloor;           ///< smallest running gain
        Fp32 tempRateFloor;       ///< degC/s
        std::int32_t gapSamples;  ///< samples x step after which a pause counts as a gap
        std::uint32_t agingLimit; ///< gap (us) beyond which aging is unknown
        Fp32 consistencyLimit;    ///< rad/s, largest table-offset disagreement
        Fp32 pScale;              ///< 1 / samples in 0.16 s
        std::int32_t rateSamples; ///< samples per second
        Fp32 sqrtTwoPeriod;
        Fp32 period1; ///< s
        Fp32 period2; ///< 2 periods, s
        Fp32 qNominal;
        Fp32 pFloorPhase1;
        Fp32 weightFloor;
        Fp32 driftPerPeriod8;
        Fp32 nominalSq4;
        Fp32 nominalLevelA;
        Fp32 nominalLevelB;
        /// Active rate channels the words were computed for (2 or 3).
        std::uint8_t rsChannels = kRsChannelsDefault;

        void init(const FixedPointCal::Output& cal, std::uint8_t rsChannels = kRsChannelsDefault);
    };

    /// The static constants plus the words that follow the temperature and
    /// aging situation, rebuilt for every sample.
    struct TimeVaryingConstants_t : StaticCalConstants_t
    {
        Fp32 qPerSample; ///< process noise of a sample
        Fp32 zroSpan;    ///< rad/s the offset may have moved since the reference
        Fp32 invZroSpan;
        Fp32 qPhase2;      ///< extra process noise while restored
        Fp32 outlierLimit; ///< rad/s; a restored estimate this far off is not trusted
        Fp32 gainCapPhase3;
        Fp32 pCapPhase3;

        /// tempChange: degC since the reference (-256 unknown); tempRate:
        /// degC/s; aging: rad/s. The last argument is not used.
        TimeVaryingConstants_t(const FixedPointCal::Output& cal, const StaticCalConstants_t& constants,
                               Fp32 tempChange, Fp32 tempRate, Fp32 aging, std::uint32_t unused);
    };

    explicit ZroKfMin(KfRole_e role);
    ~ZroKfMin();
    /// Copies phase, confidence state, x and P; role and logger stay.
    ZroKfMin& operator=(const ZroKfMin& other);

    void setRole(KfRole_e role) { role_ = role; }

    /// Phase 1; x = 0, P = rFloor; fresh confidence.
    void init(const FixedPointCal::Output& cal, const StaticCalConstants_t& constants);
    /// P += v on every channel, in phase 1 only.
    void addPDueToPowerGap(Fp32 v);
    /// Restores from a stored state according to the role.
    void setDcd(const FixedPointCal::Output& cal, const StaticCalConstants_t& constants,
                const dcdAlg4MinFixedInnards_s& innards);
    /// Writes this filter's share of a stored state; other bytes stay.
    void getDcd(dcdAlg4MinFixedInnards_s& innards) const;

    /// One filter step. r: rate; d: acceleration variances x, y, z (the
    /// disturbance); w: update weights; stats: the short-window statistics.
    void processNormal(const TimeVaryingConstants_t& tv, const Vector3& xRef, const Vector3& r,
                       const Vector3& d, const Vector3& w, const CalcPeak2Peak::Output& stats);
    /// Start-up step while the short-window statistics are not valid: the
    /// running mean of r becomes x, its spread sets P (or, when the spread
    /// exceeds 2 sqrt(varianceLimit), x falls back to xRef with P = the limit).
    /// moved: the caller knows the device turned, so the running mean is no
    /// offset on any channel.
    void processBeforeBuffersAreFull(const TimeVaryingConstants_t& tv, const Vector3& xRef, const Vector3& r,
                                     const Vector3& w, Fp32 varianceLimit, RsMoveAverage& average,
                                     bool moved = false);
    /// m: offset measured on a table; consistent: m agrees with x.
    void processDeviceOnTable(const TimeVaryingConstants_t& tv, bool consistent, const Vector3& m);
    /// A sample whose window may not move the offset: x and P stay, but the
    /// convergence evaluation still sees how far the rate is from x.
    void processRefused(const Vector3& r);
    /// Start phase only: x = xRef and P = variance per channel, for an
    /// estimate gathered from samples that turned out to be no offset.
    void discardStart(const Vector3& xRef, Fp32 variance);
    /// Per channel |m - x|; consistent when none exceeds consistencyLimit.
    /// Entries of inactive channels are 0.
    void isZroConsistent(const TimeVaryingConstants_t& tv, const Vector3& m, bool& consistent,
                         Vector3& difference) const;

    /// Measurement variance R and skip flag per channel.
    void calcRsVar(const TimeVaryingConstants_t& tv, const Vector3& r, const Vector3& d,
                   const CalcPeak2Peak::Output& stats, Vector3& rVar, bool* skip) const;
    void updateWithConstraint(const TimeVaryingConstants_t& tv, const Vector3& r, const Vector3& w,
                              const Vector3& rVar, const bool* skip);
    /// P / (P + R), at most 1 - 2^-23.
    static Fp32 computeKalmanGain(Fp32 p, Fp32 rVar);
    /// Phase 3 once the confidence is not 0; returns the confidence.
    std::uint8_t updatePhase();
    void saturateZro(const TimeVaryingConstants_t& tv, Vector3& offset) const;

    KfRole_e role() const { return role_; }
    KfPhase_e phase() const { return phase_; }
    std::uint8_t confidenceLevel() const { return confidence_.get(); }
    const EvaluateRsZroConvergeConfidence& confidence() const { return confidence_; }
    const Vector3& x() const { return x_; }
    const Vector3& p() const { return p_; }

  private:
    void restoreFrom(const dcdAlg4MinFixedInnards_s& innards);
    void restart(const StaticCalConstants_t& constants);

    KfRole_e role_;
    KfPhase_e phase_ = KF_PHASE_START;
    EvaluateRsZroConvergeConfidence confidence_;
    Vector3 x_{};
    Vector3 p_{};
    std::uint8_t rsChannels_ = kRsChannelsDefault;
};

} // namespace vnx
