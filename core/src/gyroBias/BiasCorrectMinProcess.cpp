#include <cmath>

#include "gyroBias/BiasCorrectMin.h"

namespace vnx {

namespace {

constexpr float kUnknown = 2147483648.0f; // 2^31
constexpr float kNoTemperature = VNX_DCD_NO_TEMPERATURE;
constexpr std::uint32_t kUnknownGap = 0xFFFFFFFFu;
// Gap conversions: microseconds to seconds and hours.
constexpr float kUsToS = 1e-6f;
constexpr float kPerHour = 0.00027777778f;
// Temperature taken into account above 50 degC of magnitude at most, or
// assumed when the device reports none.
constexpr float kMaxTemperatureSpan = 50.0f;
// The accelerometer of a device whose noise exceeds this (m/s^2, y axis)
// does not take part in the window statistics.
constexpr float kNoisyAccelerometer = 0.07f;
// Acceleration spread (m/s^2) beyond which the axis counts as fully disturbed.
constexpr float kAccSpreadLimit = 2.828427f;
constexpr float kAccVarDisturbed = 8.0f;
// Largest offset variance ((rad/s)^2) of a converged estimate.
constexpr float kConvergedVariance = 0.01f;
// A window may move the offset along gravity by up to this many table
// consistency limits plus this many standard deviations of the estimate.
constexpr float kConsistencyMargin = 2.0f;
constexpr float kReferenceSigmas = 3.0f;

} // namespace

void BiasCorrectMin::computeAgingEffect(std::uint32_t gap, std::uint32_t step)
{
    // The limit times the step wraps like the unsigned product it is.
    const std::uint32_t limit = step * constants_.agingLimit;
    if (gap == kUnknownGap || gap >= limit) {
        agingEffect_ = Fp32(cal_->zroInitSigma);
    } else {
        // Gaps above 2^31 us are real values here, not "unknown": the first
        // product is taken in plain float before it enters the value type.
        agingEffect_ = Fp32(static_cast<float>(gap) * kUsToS) * Fp32(kPerHour) * Fp32(cal_->agingRate);
    }
    if (isNoTInput())
        predictDeltaTUsingSampleGap(gap);
}

void BiasCorrectMin::updateInitP(Fp32 temperatureDegC)
{
    Fp32 sigma;
    if (isNominalCal()) {
        sigma = Fp32(cal_->zroNominalSigma);
    } else {
        const Fp32 span =
            isNoTInput() ? Fp32(kMaxTemperatureSpan) : min(abs(temperatureDegC), Fp32(kMaxTemperatureSpan));
        sigma = Fp32(cal_->zroInitSigma) + Fp32(cal_->zroTempCoef) * span;
    }
    initialVariance_ = abs(sigma) < Fp32(kUnknown) ? sigma * sigma : Fp32(kUnknown);
    main_.addPDueToPowerGap(initialVariance_);
    check_.addPDueToPowerGap(initialVariance_);
    check2_.addPDueToPowerGap(initialVariance_);
}

void BiasCorrectMin::calcAccVar(const CalcPeak2Peak::Output& stats, Vector3& d) const
{
    for (int j = 0; j < 3; ++j) {
        const Fp32 spread = stats.spread[rsChannels_ + j];
        d[j] = stats.valid && spread < Fp32(kAccSpreadLimit) ? spread * spread : Fp32(kAccVarDisturbed);
    }
}

void BiasCorrectMin::chooseBestZroToOutputInRunPhase(std::uint8_t mainBefore, std::uint8_t checkBefore,
                                                     std::uint8_t check2Before)
{
    const std::uint8_t cMain = main_.confidenceLevel();
    const std::uint8_t cCheck = check_.confidenceLevel();
    const std::uint8_t cCheck2 = check2_.confidenceLevel();
    std::uint8_t best = cMain > cCheck ? cMain : cCheck;
    if (cCheck2 > best)
        best = cCheck2;

    switch (best) {
    case 3:
        // The filter that has just become fully converged takes over.
        if (cCheck2 == 3 && check2Before != 3) {
            output_ = &check2_;
        } else if (cCheck == 3 && checkBefore != 3) {
            output_ = &check_;
        } else if (cMain == 3 && mainBefore != 3) {
            output_ = &main_;
        }
        break;
    case 2:
        output_ = cCheck == 2 ? &check_ : &main_;
        break;
    case 1:
        output_ = &main_;
        break;
    default:
        break;
    }
}

void BiasCorrectMin::process(std::uint32_t g, std::uint32_t k, const Interpret::Output& sample, Output& out)
{
    const std::uint32_t gapThreshold = k * static_cast<std::uint32_t>(constants_.gapSamples);
    std::uint32_t gapArgument = g;
    if (gapThreshold >= g) {
        if (g > k * static_cast<std::uint32_t>(restartLimit_)) {
            peak2Peak_.init(*cal_, rsChannels_);
            windowCheck_.reset();
            startMoved_ = false;
        }
    } else {
        // A pause: continue from the best knowledge, with the uncertainty the
        // pause may have added.
        dcdAlg4MinFixedInnards_s state;
        const bool current = getDcd(state);
        if (hasRun_)
            setDcd(state);
        std::uint32_t gap = keptGap_ * k;
        if (current) {
            gap = g;
            keptGap_ = g;
        }
        if (current || !hasRun_)
            updateReferenceFromBestDcd();
        computeAgingEffect(gap, k);
        updateInitP(sample.temperature);
        gapArgument = gap;
        windowCheck_.reset();
    }

    hasRun_ = 1;
    bool saturated = false;
    saturation_.process(sample.rs, saturated);
    out.onTable = 0;
    if (saturated) {
        writeOutput(sample, out);
        return;
    }

    Vector3 filtered{};
    preFilter_.process(sample.rs, filtered);
    Vector3 r{};
    Fp32 statsInput[CalcPeak2Peak::kMaxChannels];
    for (int c = 0; c < rsChannels_; ++c) {
        const int axis = rsAxisOfChannel(c, rsChannels_);
        r[c] = preFilterFlags_[axis] ? filtered[axis] : sample.rs[axis];
        statsInput[c] = sample.rs[axis];
    }
    const bool accUsed = !(cal_->accNoise[1] > Fp32(kNoisyAccelerometer));
    for (int j = 0; j < 3; ++j)
        statsInput[rsChannels_ + j] = accUsed ? sample.acc[j] : Fp32(0.0f);

    peak2Peak_.process(statsInput, stats_);
    windowCheck_.process(sample.acc);
    updateTemperature(sample.temperature, stats_);

    Fp32 tempChange;
    if (isNoTInput()) {
        tempChange = referenceTemperature_;
    } else {
        tempChange = stats_.valid ? abs(referenceTemperature_ - currentTemperature_) : Fp32(kNoTemperature);
    }
    if (isNominalCal() && temperatureMode_ == 0)
        tempChange = Fp32(kNoTemperature);
    const ZroKfMin::TimeVaryingConstants_t tv(*cal_, constants_, tempChange, temperatureRate_, agingEffect_,
                                              gapArgument);

    int p = getPhase();
    std::uint8_t before[3] = {main_.confidenceLevel(), check_.confidenceLevel(), check2_.confidenceLevel()};
    Vector3 wMain{};
    Vector3 wChecks{};
    averageMain_.process(wMain);
    if (p == 1 || !stats_.valid)
        averageChecks_.process(wChecks);

    if (stats_.valid) {
        Vector3 d{};
        calcAccVar(stats_, d);
        Vector3 m{};
        peak2Peak_.calcRsMean(m.data());
        if (onTable_.process(stats_, statsInput) && windowMayMoveOffset(m)) {
            handleOnTable(tv, m, out.onTable);
            if (main_.confidenceLevel() == 0) {
                // The table restart ran: take the table offset as the
                // restored filters' first running value.
                before[1] = check_.confidenceLevel();
                before[2] = check2_.confidenceLevel();
                handleOnTable(tv, m, out.onTable);
                p = 0;
                before[0] = 0;
            }
        }
        const bool windowIsOffset = windowMayMoveOffset(m);
        // A running filter weighs motion down by itself; it only needs the
        // rate it is given to be a plausible offset.
        const bool windowIsPlausible = windowMayMoveOffset(r, false);
        learn(main_, windowIsOffset, windowIsPlausible, tv, r, d, wMain);
        if (p == 1) {
            learn(check_, windowIsOffset, windowIsPlausible, tv, r, d, wChecks);
            learn(check2_, windowIsOffset, windowIsPlausible, tv, r, d, wChecks);
            chooseBestZroToOutputInRunPhase(before[0], before[1], before[2]);
            if (main_.confidenceLevel() == 3 && check_.confidenceLevel() == 3 &&
                check2_.confidenceLevel() == 3) {
                main_ = *output_;
                output_ = &main_;
            }
        } else if (p == 0 && main_.confidenceLevel() != 0) {
            // "Main" has converged for the first time: "Check" starts over as
            // an independent second opinion.
            check_.setRole(KF_ROLE_CHECK);
            check_.init(*cal_, constants_);
            if (best_.state >= BCM_STATE_PER_UNIT && best_.state <= BCM_STATE_BEST &&
                Fp32(best_.temperature) != Fp32(kNoTemperature))
                check_.setDcd(*cal_, constants_, best_);
            check_.addPDueToPowerGap(initialVariance_);
            output_ = &main_;
        } else if (p == 0) {
            learn(check_, windowIsOffset, windowIsPlausible, tv, r, d, wMain);
            output_ = check_.phase() == ZroKfMin::KF_PHASE_RUNNING ? &check_ : &main_;
        }
    } else if (main_.phase() == ZroKfMin::KF_PHASE_START) {
        // The first samples are no offset either once the device turned or
        // left the range of offsets the calibration allows.
        for (int c = 0; c < rsChannels_; ++c)
            startMoved_ = startMoved_ || abs(r[c]) > windowCheck_.calibrationBound();
        startMoved_ = startMoved_ || windowCheck_.turning();
        main_.processBeforeBuffersAreFull(tv, referenceOffset_, r, wMain, initialVariance_, averageMain_,
                                          startMoved_);
        check_ = main_;
    }
    writeOutput(sample, out);
}

bool BiasCorrectMin::windowMayMoveOffset(const Vector3& m, bool requireStill) const
{
    // The estimate that goes out, once it has one. A restored one that this
    // run has not confirmed yet is trusted only as far as the calibration
    // trusts any offset: a stored state may be wrong.
    const ZroKfMin* reference = output_->phase() != ZroKfMin::KF_PHASE_START ? output_ : nullptr;
    if (reference == nullptr && main_.phase() != ZroKfMin::KF_PHASE_START)
        reference = &main_;
    if (reference == nullptr)
        return windowCheck_.plausible(m, nullptr, Fp32(0.0f), requireStill);
    Fp32 largestP(0.0f);
    for (int c = 0; c < rsChannels_; ++c)
        largestP = max(largestP, reference->p()[c]);
    // Twice the table consistency limit, so that a table offset one limit
    // away, which restarts the learning, is still accepted.
    Fp32 bound =
        Fp32(kConsistencyMargin) * constants_.consistencyLimit + Fp32(kReferenceSigmas) * sqrt(largestP);
    if (reference->phase() == ZroKfMin::KF_PHASE_RESTORED)
        bound = max(bound, windowCheck_.calibrationBound());
    return windowCheck_.plausible(m, &reference->x(), bound, requireStill);
}

void BiasCorrectMin::learn(ZroKfMin& filter, bool windowIsOffset, bool windowIsPlausible,
                           const ZroKfMin::TimeVaryingConstants_t& tv, const Vector3& r, const Vector3& d,
                           const Vector3& w)
{
    const bool start = filter.phase() == ZroKfMin::KF_PHASE_START;
    if (start ? windowIsOffset : windowIsPlausible) {
        filter.processNormal(tv, referenceOffset_, r, d, w, stats_);
        return;
    }
    filter.processRefused(r);
    // What the start phase of "Main" has gathered so far may be the turn
    // itself; the checks restart from "Main" anyway.
    if (start && &filter == &main_)
        filter.discardStart(referenceOffset_, initialVariance_);
}

void BiasCorrectMin::writeOutput(const Interpret::Output& sample, Output& out) const
{
    out.rate = sample.rs;
    out.variance = Vector3{};
    for (int c = 0; c < rsChannels_; ++c) {
        const int axis = rsAxisOfChannel(c, rsChannels_);
        out.rate[axis] = sample.rs[axis] - output_->x()[c];
        out.variance[axis] = output_->p()[c];
    }
    out.converged = out.variance.infNorm() < Fp32(kConvergedVariance) ? 1 : 0;
}

} // namespace vnx
