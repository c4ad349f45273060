#include "sensorFusion/InclAngFromStable.h"

#include <algorithm>

#include "numerics/normalTail.h"
#include "numerics/numericConstants.h"
#include "sensorFusion/frameRotation.h"

namespace vnx {

namespace {

using qdVectorFixed::Vector3;
using sensorFusion::saturated;
using Stats = RunningStats<Fp32, 9, 9>;

constexpr float kFullWeight = 2147483648.0f; // 2^31: a table-calm window
constexpr float kInvSqrt12 = 0.28867513f;    // deviation of a uniform drift over one unit
// A window weighing less than this is too unlike sensor noise to learn from.
constexpr float kMinWindowWeight = 0.15f;
// Learned noise levels may lower the in-hand thresholds, never raise them
// far beyond what the calibration allows.
constexpr float kLearnedNoiseMargin = 1.2f;

// Channels of the 9-vector: three unused, acceleration, field.
constexpr int kAcc = 3;
constexpr int kMag = 6;

template <typename Value> Fp32 largestOfGroup(int first, const Value& value)
{
    Fp32 m = value(first);
    for (int i = first + 1; i < first + 3; ++i)
        if (m < value(i))
            m = value(i);
    return m;
}

Fp32 largestVariance(const Stats& s, int first)
{
    return largestOfGroup(first, [&](int i) { return s.variance(i); });
}

Fp32 largestRange(const Stats& s, int first)
{
    return largestOfGroup(first, [&](int i) { return s.range(i); });
}

Vector3 meanOfGroup(const Stats& s, int first)
{
    return {s.mean[first], s.mean[first + 1], s.mean[first + 2]};
}

} // namespace

void InclAngFromStable::Estimate::clear()
{
    weight = Fp32(0.0f);
    empty = true;
    value = Fp32(0.0f);
}

void InclAngFromStable::Estimate::blend(Fp32 c, Fp32 w)
{
    if (empty) {
        value = c;
        weight = w;
        empty = false;
        return;
    }
    const Fp32 total = weight + w;
    value = saturated(value + (c - value) * w / total);
    weight = min(Fp32(kFullWeight), total);
}

InclAngFromStable::InclAngFromStable() : detector_("vnx_core_InclAngFromStable")
{
    // A usable object before init: the rate of a 125 Hz device, no noise
    // levels, the default estimate.
    FixedPointCal::Output defaults{};
    defaults.period = 0.008f;
    defaults.rate = 125.0f;
    init(defaults, nullptr, true);
}

void InclAngFromStable::init(const FixedPointCal::Output& cal, const dcdAlg4MinFixedInnards_s* dcd,
                             bool dcdFlag)
{
    callCount_ = 0;
    const Fp32 periodS = saturated(Fp32(1.0f) / Fp32(cal.rate));
    driftHalf_ = Fp32(0.5f) * Fp32(0.01f) * periodS * Fp32(kInvSqrt12);
    driftMag_ = driftHalf_;
    driftAcc_ = Fp32(9.8f) * Fp32(0.01f) * periodS * Fp32(kInvSqrt12);
    // About one second of samples, as a power of two.
    const float twiceRate = 2.0f * cal.rate;
    windowLength_ = twiceRate > 300.0f ? 512 : twiceRate > 150.0f ? 256 : twiceRate > 75.0f ? 128 : 64;
    reportInterval_ = windowLength_ / 8;

    const Fp32 calAcc = cal.accNoise.infNorm();
    const Fp32 calMag = cal.rsStableParam.infNorm();
    noiseAcc_ = calAcc;
    noiseMag_ = calMag;
    Fp32 inHandAcc = calAcc, inHandMag = calMag;
    if (dcd != nullptr) {
        const Fp32 storedAcc(dcd->algSpecific[1]);
        const Fp32 storedMag(dcd->algSpecific[2]);
        if (storedAcc > Fp32(0.0f)) {
            noiseAcc_ = storedAcc;
            inHandAcc = min(Fp32(kLearnedNoiseMargin) * storedAcc, calAcc);
        }
        if (storedMag > Fp32(0.0f)) {
            noiseMag_ = storedMag;
            inHandMag = min(Fp32(kLearnedNoiseMargin) * storedMag, calMag);
        }
    }
    updateInHandNoise(inHandAcc, inHandMag);

    detector_.testedChannels = 9;
    detector_.reportInterval = reportInterval_;
    detector_.minCount = windowLength_ / 4;
    detector_.maxCount = windowLength_;
    detector_.stats.reset();
    detector_.resetPending = 1;
    detector_.state = Detector::kMoving;

    estimate_.clear();
    estimate_.blend(Fp32(kDefaultCosine), Fp32(kFullWeight));
    temperature_ = Fp32(0.0f);

    if (dcd != nullptr) {
        dcd_ = *dcd;
        dcdPending_ = dcdFlag;
    } else {
        dcdAlg4MinFixedInnardsSetEmpty(&dcd_);
        dcdPending_ = true;
    }
}

void InclAngFromStable::updateMagWorstDrift(Fp32 x)
{
    driftMag_ = saturated((driftHalf_ << 1) * x);
}

void InclAngFromStable::updateInHandNoise(Fp32 a, Fp32 m)
{
    const Fp32 eps(kSmallValueF);
    for (int i = 0; i < kAcc; ++i)
        thresholds_[i] = Fp32(0.5f);
    a = max(a, eps);
    quietLimit_ = Fp32(10.0f) * a;
    // In-hand tremor adds about 0.1 m/s^2 to the accelerometer noise.
    const Fp32 x = a * a + Fp32(0.010000001f);
    sigmaAcc_ = Fp32(1.2f) * sqrt(x);
    for (int i = kAcc; i < kAcc + 3; ++i)
        thresholds_[i] = Fp32(8.0f) * x;
    m = max(m, eps);
    sigmaMag_ = Fp32(1.2f) * m;
    for (int i = kMag; i < kMag + 3; ++i)
        thresholds_[i] = Fp32(8.0f) * sigmaMag_ * sigmaMag_;
    for (int i = 0; i < 9; ++i)
        detector_.threshold[i] = thresholds_[i];
}

void InclAngFromStable::updateOnTableNoise(const Stats& stats)
{
    const Fp32 eps(kSmallValueF);
    const Fp32 accVariance = largestVariance(stats, kAcc);
    if (accVariance > eps) {
        noiseAcc_ = sqrt(accVariance);
    } else {
        const Fp32 halfRange = largestRange(stats, kAcc) >> 1;
        if (!(halfRange > eps))
            return;
        noiseAcc_ = halfRange;
    }
    const Fp32 magVariance = largestVariance(stats, kMag);
    if (magVariance > eps) {
        noiseMag_ = sqrt(magVariance);
    } else {
        const Fp32 halfRange = largestRange(stats, kMag) >> 1;
        if (!(halfRange > eps))
            return;
        noiseMag_ = halfRange;
    }
    updateInHandNoise(noiseAcc_, noiseMag_);
}

Fp32 InclAngFromStable::QFunction(Fp32 z)
{
    return Fp32(normalUpperTail(z.value()));
}

Fp32 InclAngFromStable::dotProductFromStat(const Stats& stats)
{
    const Vector3 acc = sensorFusion::normalizedSaturated(meanOfGroup(stats, kAcc));
    const Vector3 mag = sensorFusion::normalizedSaturated(meanOfGroup(stats, kMag));
    return saturated(dot(acc, mag));
}

Fp32 InclAngFromStable::windowWeight(const Stats& stats) const
{
    // How likely the window's spread is sensor noise plus the drift a still
    // device shows over n samples, for the acceleration and for the field.
    const Fp32 n(static_cast<float>(stats.count));
    const Fp32 s = saturated(Fp32(1.0f) / sqrt(n << 1));
    const Fp32 expectedAcc = sqrt(driftAcc_ * n * (driftAcc_ * n) + sigmaAcc_ * sigmaAcc_);
    const Fp32 expectedMag = sqrt(driftMag_ * n * (driftMag_ * n) + sigmaMag_ * sigmaMag_);
    const Fp32 zAcc = saturated((sqrt(largestVariance(stats, kAcc)) - expectedAcc) / (s * sigmaAcc_));
    const Fp32 zMag = saturated((sqrt(largestVariance(stats, kMag)) - expectedMag) / (s * sigmaMag_));
    const float p = std::clamp((QFunction(zAcc) * QFunction(zMag)).value(), 0.0f, 1.0f);
    return Fp32(p) * (Fp32(p) - Fp32(kSmallValueF));
}

void InclAngFromStable::process(const Vector3& mag, const Vector3& acc, Output* out)
{
    out->restarted = 0;
    out->quietUpdate = 0;
    out->estimateUpdated = 0;
    const Vector9 x{Fp32(0.0f),        Fp32(0.0f),        Fp32(0.0f),
                    saturated(acc[0]), saturated(acc[1]), saturated(acc[2]),
                    saturated(mag[0]), saturated(mag[1]), saturated(mag[2])};
    ++callCount_;
    Detector::Output detected;
    detector_.process(x, &detected);

    // No field at all: nothing to learn, keep the window from filling.
    const Fp32 largestField = max(max(mag[0], mag[1]), mag[2]);
    if (!(largestField > Fp32(kSmallValueF))) {
        detector_.resetPending = 1;
        out->restarted = 1;
        out->still = detected.still;
        out->estimate = estimate_.value.value();
        return;
    }

    if (detected.report != 0) {
        const Stats& stats = detector_.stats;
        if (quietLimit_ > largestRange(stats, kAcc)) {
            // As calm as lying on a table: this window alone is the estimate.
            estimate_.clear();
            estimate_.blend(dotProductFromStat(stats), Fp32(kFullWeight));
            out->quietUpdate = 1;
            out->estimateUpdated = 1;
            updateOnTableNoise(stats);
            detector_.resetPending = 1;
            out->restarted = 1;
        } else {
            const Fp32 w = windowWeight(stats);
            out->windowWeight = w.value();
            if (w > Fp32(kMinWindowWeight)) {
                estimate_.blend(dotProductFromStat(stats), w);
                out->estimateUpdated = 1;
            }
        }
    }
    out->still = detected.still;
    out->estimate = estimate_.value.value();
}

void InclAngFromStable::setDcd(const dcdAlg4MinFixedInnards_s* /*innards*/) {}

bool InclAngFromStable::getDcd(dcdAlg4MinFixedInnards_s* innards)
{
    dcdAlg4MinFixedInnardsSetEmpty(innards);
    innards->temperature = temperature_.value();
    innards->algSpecific[1] = noiseAcc_.value();
    innards->algSpecific[2] = noiseMag_.value();
    dcd_ = *innards;
    dcdPending_ = false;
    return true;
}

} // namespace vnx
