#pragma once

// Gyroscope zero-rate offset (ZRO) from still periods. Per sample the owner
// reports the rotation rate, the acceleration and the magnetometer, then
// calls process(). Three mechanisms feed the estimate:
//  - still windows of the 9-channel stillness detector, each weighted by how
//    well its spread matches the expected in-hand noise (the estimate blends
//    them, its weight capped at 4 and fading with temperature change);
//  - the on-table detectors: once every sensor has been on the table for
//    over 1 s, the estimate becomes the mean of the on-table window means,
//    and confirmed on-table windows teach a temperature fit of the ZRO;
//  - long stillness (over 20 s in hand): the mean rate since the last change.
// The estimate, the noise levels and the fit are kept in the gyroscope part
// of the DCD.

#include <cstddef>
#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "calibration/dcdData.h"
#include "gyroBias/ZroIsStable.h"
#include "gyroBias/ZroOnTable.h"
#include "gyroBias/ZroOnTableSensor.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"
#include "statistics/StabilityDetect.h"

namespace vnx {

class ZroFromStable
{
    VNX_LOG_DEFAULT(ZroFromStable);

  public:
    using Fp = FloatingPoint<float>;
    using Vec3 = qdVectorFixed::vector<Fp, 3>;
    using Vec9 = qdVectorFixed::vector<Fp, 9>;
    using OnTableSensor = zroFromStable::OnTableSensor;
    using OnTable = zroFromStable::OnTable;
    using IsStableSensor = zroFromStable::IsStableSensor;
    using IsStable = zroFromStable::IsStable;
    using Detector = StabilityDetect<Fp, 9, 10>;

    struct Output
    {
        Vec3 zro;                       // rad/s
        Vec3 zroVariance;               // written only when the temperature fit supplies the ZRO
        Vec3 accMean;                   // m/s^2, mean acceleration of a reported window, else 0
        Fp estimateWeight;              // written only when the still-period estimate is used
        Fp windowWeight;                // this sample's window; 4 when an override fired
        std::uint8_t motion;            // the stillness detector saw motion
        std::uint8_t onTableOverride;   // on the table for over 1 s
        std::uint8_t windowReported;    // the stillness detector reported a window
        std::uint8_t longStillOverride; // still in hand for over 20 s
    };

    ZroFromStable();

    ZroFromStable(const ZroFromStable&) = delete;
    ZroFromStable& operator=(const ZroFromStable&) = delete;

    /// Sets every constant from the calibration and restores the estimate,
    /// the noise levels and the fit from the DCD innards when given.
    /// dcdFlag: initial value of the pending-DCD flag (1 without a DCD).
    void init(const FixedPointCal::Output& cal, const dcdAlg4MinFixedInnards_s* dcd, bool dcdFlag);
    /// Sensor periods and the sample period, in s; restarts the windows.
    /// Sample periods below 1 ms are ignored.
    void updatePeriods(Fp rsPeriodS, Fp accPeriodS, Fp magPeriodS, Fp samplePeriodS);
    /// Scales the per-sample magnetometer drift allowance.
    void updateMagWorstDrift(Fp x);

    void reportRs(std::uint32_t timeUs, bool magPresent, const Vec3& rateRadPerS, Fp temperatureDegC);
    /// rawOr: OR of every raw accelerometer sample so far (-1 when unknown);
    /// its zero low bits reveal a coarser effective resolution.
    void reportAcc(std::uint32_t timeUs, bool magPresent, const Vec3& accMps2, std::int16_t rawOr);
    void reportMag(std::uint32_t timeUs, const Vec3& mag, Fp fieldNorm);
    /// useStillEstimate: answer with the still-period estimate, else with the
    /// temperature fit.
    void process(std::uint32_t timeUs, Fp temperatureDegC, bool useStillEstimate, bool magPresent,
                 Output* out);

    /// Restores the estimate temperature and, when the stored estimate is
    /// not all zero, blends it in with weight 4.
    void setDcd(const dcdAlg4MinFixedInnards_s& innards);
    /// Writes the whole gyroscope part of an empty innards block.
    bool getDcd(dcdAlg4MinFixedInnards_s* innards);
    /// Writes only the estimate temperature, the noise levels and the fit
    /// (bytes 36-39 and 44-171), leaving the rest to other algorithms.
    bool getPartialDcd(dcdAlg4MinFixedInnards_s* innards);

    /// Set by init, cleared when a DCD is written.
    bool dcdPending() const { return dcdPending_; }
    std::uint32_t windowLength() const { return windowLength_; }
    /// Magnetometer noise level (normalised field) learned from still windows.
    Fp magNoiseLevel() const { return noiseM_; }
    const Detector& detector() const { return detector_; }
    const OnTable& onTable() const { return onTable_; }

  private:
    struct Estimate
    {
        Fp weight{}; // W, at most kMaxEstimateWeight
        bool empty = false;
        Vec3 value{};     // e, rad/s
        Fp temperature{}; // T_e, degC

        void reset(Fp temperatureDegC);
        /// Blends m in with weight w; the total weight stays at most 4.
        void blend(const Vec3& m, Fp w);
    };

    void setPeriodConstants(float periodS, float rateHz);
    void updateInHandNoise(Fp g, Fp a, Fp m);
    void updateOnTableNoise();
    void overrideEstimate(const Vec3& m, Fp temperatureDegC, Output* out);
    /// Weight of a reported still window of count samples (0 to 1).
    Fp windowWeight(std::uint32_t count) const;
    void writeLearnedFields(dcdAlg4MinFixedInnards_s* innards) const;

    std::uint32_t minCount_ = 8;      // samples a window needs to count
    std::uint32_t windowLength_ = 64; // N_w, samples
    Vec9 sample_{};                   // rate (rad/s), acceleration (m/s^2), magnetometer
    Detector detector_;
    Estimate estimate_;
    Fp thresholds_[9]{};
    Fp sigmaG_{};
    Fp sigmaA_{};
    Fp sigmaM_{};
    Fp driftAcc_{}; // per-sample drift allowance, m/s^2
    Fp driftMag_{};
    Fp driftHalf_{};
    Fp noiseG_{}; // rad/s
    Fp noiseA_{}; // m/s^2
    Fp noiseM_{}; // normalised field
    Fp quietGyroLimit_{};
    Fp accStepG_{}; // one accelerometer count, g
    OnTable onTable_;
    IsStable isStable_;
    Fp magNorm_{1.0f};
    Fp magNormReciprocal_{1.0f};
    Vec3 magReference_{};
    dcdAlg4MinFixedInnards_s dcd_{};
    bool dcdPending_ = false;
};

// The gyroscope part of the DCD as this estimator reads and writes it.
static_assert(sizeof(dcdAlg4MinFixedInnards_s) == 172);
static_assert(offsetof(dcdAlg4MinFixedInnards_s, zro) == 0);          // estimate e
static_assert(offsetof(dcdAlg4MinFixedInnards_s, temperature) == 36); // T_e
static_assert(offsetof(dcdAlg4MinFixedInnards_s, state) == 40);       // 1
static_assert(offsetof(dcdAlg4MinFixedInnards_s, algSpecific) == 44); // n_g, n_a (48), n_m (52)
static_assert(sizeof(dcdAlg4MinFixedInnards_s::algSpecific) == 12);
static_assert(offsetof(dcdAlg4MinFixedInnards_s, zroTemperatureFit) == 56);
static_assert(sizeof(dcdAlg4MinFixedInnards_s::zroTemperatureFit) == sizeof(dcdZroTemperatureFit_s));
static_assert(offsetof(dcdAlg4MinFixedInnards_s, zroTemperatureFit) +
                  offsetof(dcdZroTemperatureFit_s, blockVariance) ==
              156);

} // namespace vnx
