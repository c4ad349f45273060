#pragma once

// Removes the gyroscope zero-rate offset from the angular velocity of every
// interpreted sample and learns that offset while the device is used. Three
// offset filters run side by side: "Main", "Check" (a second opinion,
// restarted when "Main" first converges) and "Check2" (which counts only
// full convergence). Their convergence levels grade the learning state
// (0-28, higher is better) and pick the filter whose estimate goes out. The
// best state seen is kept, so a stored calibration is never replaced by a
// worse one. Pauses between samples (the offset may have drifted with age and
// temperature), a device lying on a table and saturated rotation each have
// their own handling. No allocation after construction.

#include <cstddef>
#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "calibration/dcdData.h"
#include "gyroBias/CalcPeak2Peak.h"
#include "gyroBias/IsAccOnTableMin.h"
#include "gyroBias/IsRsSaturate.h"
#include "gyroBias/OffsetWindowCheck.h"
#include "gyroBias/RsMoveAverage.h"
#include "gyroBias/TemperatureFilt.h"
#include "gyroBias/ZroKfMin.h"
#include "gyroBias/ZroPreFilter.h"
#include "gyroBias/rsChannels.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"
#include "sensorInterpretation/Interpret.h"

namespace vnx {

/// Learning state 0-28 (see BiasCorrectMin::getState); higher is better.
enum BiasCorrectMinState_e : std::uint32_t
{
    BCM_STATE_NONE = 0,     ///< a combination of phases no learning path produces
    BCM_STATE_EMPTY = 1,    ///< nothing learned
    BCM_STATE_PER_UNIT = 5, ///< seeded from the per-unit calibration
    BCM_STATE_LEARNED = 11, ///< from here on two states are never worse than each other
    BCM_STATE_BEST = 28     ///< all three filters fully converged
};

class BiasCorrectMin
{
    VNX_LOG_DEFAULT(BiasCorrectMin);

  public:
    using Vector3 = qdVectorFixed::Vector3;

    struct Output
    {
        Vector3 rate;               ///< corrected angular velocity, rad/s
        Vector3 variance;           ///< offset variance, (rad/s)^2
        std::uint8_t converged = 0; ///< the largest variance is below 0.01
        std::uint8_t onTable = 0;   ///< the device lies still and the offset agrees with the table
    };

    BiasCorrectMin();
    ~BiasCorrectMin();
    BiasCorrectMin(const BiasCorrectMin&) = delete;
    BiasCorrectMin& operator=(const BiasCorrectMin&) = delete;

    /// innards: learned state to restore, or null. written: whether that
    /// state counts as stored already (without innards it always does).
    /// rsChannels: 3 (x, y, z) or 2 (y, z) active gyroscope channels.
    void init(const FixedPointCal::Output& cal, const dcdAlg4MinFixedInnards_s* innards, bool written,
              std::uint8_t rsChannels = kRsChannelsDefault);
    /// Restarts every member and restores the filters from the innards. The
    /// best state, its written flag, the reference, the kept gap, the aging
    /// effect and the initial variance stay.
    void setDcd(const dcdAlg4MinFixedInnards_s& innards);
    /// out = the current state, or the best state when the current one is
    /// worse. True when the current state became the best one.
    bool getDcd(dcdAlg4MinFixedInnards_s& out);

    BiasCorrectMinState_e getState() const;
    /// 0 until "Main" converges; 1 while "Main" or "Check" is not fully
    /// converged, or "Check2" is not; 2 when all three are.
    int getPhase() const;
    /// True when the best state should be stored (then call notifyDcdWritten).
    bool isDcdReady();
    void notifyDcdWritten() { written_ = 1; }

    /// Nominal calibration with a known nominal offset uncertainty.
    bool isNominalCal() const;
    /// The device reports no temperature.
    bool isNoTInput() const;

    /// One sample. sampleDelta: sample periods (or microseconds) since the
    /// previous call, 0xFFFFFFFF unknown; step: the value of one sample in
    /// the same unit (1 for sample counts).
    void process(std::uint32_t sampleDelta, std::uint32_t step, const Interpret::Output& sample, Output& out);

    // Steps of process and init.
    void computeAgingEffect(std::uint32_t gap, std::uint32_t step);
    void predictDeltaTUsingSampleGap(std::uint32_t gap);
    void updateInitP(Fp32 temperatureDegC);
    void updateTemperature(Fp32 temperatureDegC, const CalcPeak2Peak::Output& stats);
    /// Per acceleration axis the window spread squared (8 for a spread of
    /// 2.828427 m/s^2 or more, or when the statistics are not valid).
    void calcAccVar(const CalcPeak2Peak::Output& stats, Vector3& d) const;
    void handleOnTable(const ZroKfMin::TimeVaryingConstants_t& tv, const Vector3& m, std::uint8_t& onTable);
    /// Confidences of "Main", "Check" and "Check2" before this sample.
    void chooseBestZroToOutputInRunPhase(std::uint8_t mainBefore, std::uint8_t checkBefore,
                                         std::uint8_t check2Before);
    void updateReferenceFromBestDcd();
    /// Restores the per-unit seed: offset 0 with variance rFloor, state 5.
    void updateDcdForPerUnitCalibratedDevices(const ZroKfMin::StaticCalConstants_t& constants);
    /// Offset change a temperature drift over the gap could cause, rad/s.
    Fp32 predictZROTEffect(std::uint32_t gap) const;

    /// a is worse than b when it is lower and at least one of them is below 11.
    static bool isDcdWorseThan(std::uint32_t a, std::uint32_t b);
    /// No temperature, or a state outside 5-28.
    static bool isDcdStateBad(const dcdAlg4MinFixedInnards_s& innards);

    const ZroKfMin& mainEstimator() const { return main_; }
    const ZroKfMin& checkEstimator() const { return check_; }
    const ZroKfMin& check2Estimator() const { return check2_; }
    const ZroKfMin& outputEstimator() const { return *output_; }
    const dcdAlg4MinFixedInnards_s& bestDcd() const { return best_; }
    bool bestDcdWritten() const { return written_ != 0; }
    const Vector3& referenceOffset() const { return referenceOffset_; }
    Fp32 referenceTemperature() const { return referenceTemperature_; }
    Fp32 currentTemperature() const { return currentTemperature_; }
    Fp32 temperatureRate() const { return temperatureRate_; }
    std::int32_t temperatureMode() const { return temperatureMode_; }
    Fp32 agingEffect() const { return agingEffect_; }
    Fp32 initialVariance() const { return initialVariance_; }
    std::uint32_t keptGap() const { return keptGap_; }
    const ZroKfMin::StaticCalConstants_t& constants() const { return constants_; }
    const CalcPeak2Peak::Output& statistics() const { return stats_; }
    const OffsetWindowCheck& windowCheck() const { return windowCheck_; }

  private:
    void setDcdRestore(const dcdAlg4MinFixedInnards_s& innards);
    void seedPerUnitIfNeeded();
    void tableRestart(const ZroKfMin::TimeVaryingConstants_t& tv, const Vector3& m,
                      const Vector3& difference);
    void writeOutput(const Interpret::Output& sample, Output& out) const;
    /// Whether the window whose mean rate is m may set or move the offset
    /// (see OffsetWindowCheck), judged against the estimate that goes out.
    /// Without requireStill only the plausibility half applies.
    bool windowMayMoveOffset(const Vector3& m, bool requireStill = true) const;
    /// Runs processNormal when the window may move this filter's offset: a
    /// filter in its start phase follows the rate closely and needs the whole
    /// rule (else it drops back to the reference); a running one weighs
    /// motion down by itself and needs only a plausible offset.
    void learn(ZroKfMin& filter, bool windowIsOffset, bool windowIsPlausible,
               const ZroKfMin::TimeVaryingConstants_t& tv, const Vector3& r, const Vector3& d,
               const Vector3& w);
    bool hasTemperatureInput() const { return cal_->tempScale != 0.0f; }

    ZroPreFilter preFilter_;
    IsAccOnTableMin onTable_;
    CalcPeak2Peak peak2Peak_;
    IsRsSaturate saturation_;
    RsMoveAverage averageMain_;
    RsMoveAverage averageChecks_;
    ZroKfMin main_;
    ZroKfMin check_;
    ZroKfMin check2_;
    TemperatureFilt temperatureFilt_;
    ZroKfMin::StaticCalConstants_t constants_{};
    OffsetWindowCheck windowCheck_;
    /// The device turned since the short-window statistics restarted.
    bool startMoved_ = false;

    ZroKfMin* output_;              ///< supplies the output
    Fp32 lastTemperature_;          ///< degC of the last rate estimate; -256 none
    Fp32 temperatureRate_;          ///< degC/s
    Fp32 currentTemperature_;       ///< filtered, degC; -256 none yet, 0 without input
    std::uint16_t updateCount_ = 0; ///< temperature updates since the last rate estimate
    std::int32_t temperatureMode_ =
        0;                      ///< 0 start, 1 restored, 2 restored and valid, 3 rate known, 4 no input
    Fp32 agingEffect_;          ///< rad/s allowed for since the reference
    Fp32 tempChangeLimit_;      ///< degC
    Fp32 initialVariance_;      ///< (rad/s)^2 added at a gap or a table restart
    Vector3 referenceOffset_{}; ///< rad/s per channel
    std::uint32_t keptGap_ = 0; ///< gap of the best state
    Fp32 referenceTemperature_; ///< degC of the best state (predicted change without input)
    std::uint8_t hasRun_ = 0;
    std::uint8_t preFilterFlags_[3] = {0, 0, 0};
    const FixedPointCal::Output* cal_ = nullptr;
    std::int32_t restartLimit_ = 0; ///< samples; a longer pause restarts the statistics
    dcdAlg4MinFixedInnards_s best_{};
    std::uint8_t written_ = 0;

    std::uint8_t rsChannels_ = kRsChannelsDefault;
    CalcPeak2Peak::Output stats_{};
};

// Output layout as the interpretation modules read it.
static_assert(offsetof(BiasCorrectMin::Output, rate) == 0);
static_assert(offsetof(BiasCorrectMin::Output, variance) == 12);
static_assert(offsetof(BiasCorrectMin::Output, converged) == 24);
static_assert(offsetof(BiasCorrectMin::Output, onTable) == 25);

/// Whether the phases and confidences of "Main", "Check" and "Check2" are the
/// one combination that the learning produces for the state.
bool isStateValid(KfRole_e role, std::uint32_t state, ZroKfMin::KfPhase_e mainPhase,
                  std::uint8_t mainConfidence, ZroKfMin::KfPhase_e checkPhase, std::uint8_t checkConfidence,
                  ZroKfMin::KfPhase_e check2Phase, std::uint8_t check2Confidence);

} // namespace vnx
