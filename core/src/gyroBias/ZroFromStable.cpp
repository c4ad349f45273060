#include "gyroBias/ZroFromStable.h"

#include <cmath>
#include <cstring>

#include "calibration/rawConversion.h"
#include "numerics/normalTail.h"

namespace vnx {

namespace {

using Fp = ZroFromStable::Fp;
using Vec3 = ZroFromStable::Vec3;

constexpr float kUnknown = 2147483648.0f; // 2^31
constexpr float kEps = 1.1920929e-7f;
constexpr float kMaxEstimateWeight = 4.0f;
constexpr float kGPerMps2 = 0.10204082f;  // 1 g = 9.8 m/s^2
constexpr float kInvSqrt12 = 0.28867513f; // deviation of a uniform drift over one unit
constexpr std::uint32_t kOnTableOverrideUs = 1000001;
constexpr std::uint32_t kLongStillOverrideUs = 20000001;
// A window weighing less than this is too unlike sensor noise to learn from.
constexpr float kMinWindowWeight = 0.15f;
// Temperature change (degC) over which the estimate weight halves.
constexpr float kWeightFadeDegC = 1.5f;

// Channels of the 9-vector.
constexpr int kRate = 0;
constexpr int kAcc = 3;
constexpr int kMag = 6;

bool isUnknown(Fp v)
{
    return v == Fp(kUnknown) || v == Fp(-kUnknown);
}

/// Rounded decimation factor for a sensor period, at most 255.
std::uint8_t decimationFactor(Fp periodS)
{
    // Decimate sensors faster than 100 Hz to 100 Hz.
    if (!(periodS > Fp(0.0f)) || !(periodS < Fp(0.01f)))
        return 1;
    const float factor = std::round(0.01f / periodS.value());
    return factor >= 255.0f ? 255 : static_cast<std::uint8_t>(factor);
}

} // namespace

void ZroFromStable::Estimate::reset(Fp temperatureDegC)
{
    weight = Fp(0.0f);
    empty = false;
    value.fill(Fp(0.0f));
    temperature = temperatureDegC;
}

void ZroFromStable::Estimate::blend(const Vec3& m, Fp w)
{
    if (empty) {
        value = m;
        weight = w;
        empty = false;
        return;
    }
    const Fp total = weight + w;
    for (int i = 0; i < 3; ++i)
        value[i] = value[i] + (m[i] - value[i]) * w / total;
    weight = total < Fp(kMaxEstimateWeight) ? total : Fp(kMaxEstimateWeight);
}

ZroFromStable::ZroFromStable() : detector_("vnx_core_ZroFromStable") {}

void ZroFromStable::setPeriodConstants(float periodS, float rateHz)
{
    driftHalf_ = Fp(0.5f * 0.01f * periodS * kInvSqrt12);
    driftMag_ = driftHalf_;
    driftAcc_ = Fp(9.8f * 0.01f * periodS * kInvSqrt12);

    // About one second of samples, as a power of two.
    const float twiceRate = 2.0f * rateHz;
    windowLength_ = twiceRate > 300.0f ? 512 : twiceRate > 150.0f ? 256 : twiceRate > 75.0f ? 128 : 64;
    minCount_ = windowLength_ / 8;

    detector_.testedChannels = 9;
    detector_.reportInterval = windowLength_ / 8;
    detector_.minCount = windowLength_ / 8;
    detector_.maxCount = windowLength_;
    detector_.stats.reset();
    detector_.resetPending = 1;
    detector_.state = Detector::kMoving;
}

void ZroFromStable::updateInHandNoise(Fp g, Fp a, Fp m)
{
    const Fp eps(kEps);
    if (g >= eps) {
        // In-hand tremor adds about 0.03 rad/s to the sensor noise.
        const Fp x = max(eps, g * g + Fp(0.0009f));
        sigmaG_ = Fp(1.3f) * sqrt(x);
        quietGyroLimit_ = Fp(10.0f) * g;
        for (int i = kRate; i < kRate + 3; ++i)
            thresholds_[i] = Fp(8.0f) * x;
    }
    if (a >= eps) {
        // ... and about 0.1 m/s^2 to the accelerometer noise.
        const Fp x = max(eps, a * a + Fp(0.010000001f));
        sigmaA_ = Fp(1.3f) * sqrt(x);
        for (int i = kAcc; i < kAcc + 3; ++i)
            thresholds_[i] = Fp(8.0f) * x;
    }
    if (m >= eps) {
        sigmaM_ = Fp(1.3f) * m;
        for (int i = kMag; i < kMag + 3; ++i)
            thresholds_[i] = Fp(8.0f) * max(eps, sigmaM_ * sigmaM_);
    }
    for (int i = 0; i < 9; ++i)
        detector_.threshold[i] = thresholds_[i];
}

void ZroFromStable::init(const FixedPointCal::Output& cal, const dcdAlg4MinFixedInnards_s* dcd, bool dcdFlag)
{
    setPeriodConstants(cal.period, cal.rate);

    // A sensor's noise is its noisiest axis (2^31 when unknown).
    const Fp calG = cal.rsNoise.infNorm();
    const Fp calA = cal.accNoise.infNorm();
    const Fp calM = cal.rsStableParam.infNorm();
    noiseG_ = calG;
    noiseA_ = calA;
    noiseM_ = calM;
    Fp inHandG = calG, inHandA = calA, inHandM = calM;
    if (dcd != nullptr) {
        // Learned levels replace the calibration's; the in-hand thresholds
        // never exceed what the calibration allows.
        const Fp stored[3] = {Fp(dcd->algSpecific[0]), Fp(dcd->algSpecific[1]), Fp(dcd->algSpecific[2])};
        Fp* noise[3] = {&noiseG_, &noiseA_, &noiseM_};
        Fp* inHand[3] = {&inHandG, &inHandA, &inHandM};
        for (int k = 0; k < 3; ++k) {
            if (stored[k] > Fp(0.0f)) {
                *noise[k] = stored[k];
                *inHand[k] = min(Fp(1.3f) * stored[k], *inHand[k]);
            }
        }
    }
    updateInHandNoise(inHandG, inHandA, inHandM);

    estimate_.reset(Fp(0.0f));
    if (dcd != nullptr) {
        dcd_ = *dcd;
        dcdPending_ = dcdFlag;
    } else {
        dcdAlg4MinFixedInnardsSetEmpty(&dcd_);
        dcdPending_ = true;
    }
    setDcd(dcd_);

    dcdZroTemperatureFit_s storedFit;
    if (dcd != nullptr)
        std::memcpy(&storedFit, dcd->zroTemperatureFit, sizeof storedFit);
    onTable_.init(Fp(noiseG_.value()), noiseA_ / Fp(9.8f), Fp(2.0f) * noiseM_,
                  dcd != nullptr ? &storedFit : nullptr);
    isStable_.init();

    // One accelerometer count, in g: the resolution below which no window
    // variance can fall.
    const Vec3 oneCount = accFromRaw(cal, RawTriple{1, 0, 0}) - accFromRaw(cal, RawTriple{0, 0, 0});
    accStepG_ = oneCount.norm() * Fp(kGPerMps2);

    magReference_.fill(Fp(0.0f));
    magNorm_ = Fp(1.0f);
    magNormReciprocal_ = Fp(1.0f);
}

void ZroFromStable::updatePeriods(Fp rsPeriodS, Fp accPeriodS, Fp magPeriodS, Fp samplePeriodS)
{
    if (!(samplePeriodS >= Fp(0.001f)))
        return;
    setPeriodConstants(samplePeriodS.value(), 1.0f / samplePeriodS.value());
    isStable_.setPeriods(rsPeriodS, accPeriodS, magPeriodS);
    onTable_.updatePeriods(decimationFactor(rsPeriodS), decimationFactor(accPeriodS));
}

void ZroFromStable::updateMagWorstDrift(Fp x)
{
    driftMag_ = Fp(2.0f) * driftHalf_ * x;
}

void ZroFromStable::reportRs(std::uint32_t timeUs, bool magPresent, const Vec3& rateRadPerS,
                             Fp temperatureDegC)
{
    Vec3 clamped;
    for (int i = 0; i < 3; ++i) {
        sample_[kRate + i] = rateRadPerS[i];
        clamped[i] = Fp(rateRadPerS[i].value());
    }
    onTable_.reportRs(timeUs, magPresent, clamped, temperatureDegC);
    isStable_.reportRs(timeUs, rateRadPerS);
}

void ZroFromStable::reportAcc(std::uint32_t timeUs, bool magPresent, const Vec3& accMps2, std::int16_t rawOr)
{
    for (int i = 0; i < 3; ++i)
        sample_[kAcc + i] = accMps2[i];
    const Vec3 accG = accMps2 * Fp(kGPerMps2);
    // Raw samples that were all multiples of 16 (or 4) show a sensor that
    // really resolves only every 16th (4th) count.
    Fp step = accStepG_;
    if ((rawOr & 0xF) == 0)
        step = step * Fp(16.0f);
    else if ((rawOr & 0x3) == 0)
        step = step * Fp(4.0f);
    onTable_.reportAcc(timeUs, magPresent, accG, step);
    isStable_.reportAcc(timeUs, accG);
}

void ZroFromStable::reportMag(std::uint32_t timeUs, const Vec3& mag, Fp fieldNorm)
{
    for (int i = 0; i < 3; ++i)
        sample_[kMag + i] = mag[i];
    if (!(fieldNorm == magNorm_) && !(fieldNorm == Fp(0.0f))) {
        magNormReciprocal_ = Fp(1.0f) / fieldNorm;
        onTable_.updateMagNoise(noiseM_ * magNormReciprocal_);
        magNorm_ = fieldNorm;
    }
    Vec3 v;
    bool vUnknown = false;
    bool magUnknown = false;
    for (int i = 0; i < 3; ++i) {
        v[i] = Fp(((mag[i] - magReference_[i]) * magNormReciprocal_).value());
        if (isUnknown(v[i]))
            vUnknown = true;
        if (isUnknown(mag[i]))
            magUnknown = true;
    }
    if (magUnknown) {
        // An unusable sample tells nothing: it must neither look like motion
        // nor become the reference of the samples after it.
        v.fill(Fp(0.0f));
    } else if (vUnknown) {
        // The field left the normalised range: start again from here.
        magReference_ = mag;
        v.fill(Fp(0.0f));
    }
    onTable_.reportMag(timeUs, v);
    isStable_.reportMag(timeUs, v);
}

void ZroFromStable::overrideEstimate(const Vec3& m, Fp temperatureDegC, Output* out)
{
    out->windowWeight = Fp(kMaxEstimateWeight);
    estimate_.reset(temperatureDegC);
    estimate_.blend(m, Fp(kMaxEstimateWeight));
    detector_.resetPending = 1;
}

Fp ZroFromStable::windowWeight(std::uint32_t count) const
{
    // Each sensor's spread is compared with the noise expected in hand: z
    // scores of the window deviations, graded by the normal tail.
    const auto& stats = detector_.stats;
    const Fp c(static_cast<float>(count));
    const Fp s = Fp(1.0f) / sqrt(Fp(2.0f) * c);
    const Fp devG = sqrt(stats.largestVariance(kRate, 3));
    const Fp devA = sqrt(stats.largestVariance(kAcc, 3));
    const Fp devM = sqrt(stats.largestVariance(kMag, 3));

    const Fp zG = (devG - sigmaG_) / (sigmaG_ * s);
    const Fp driftA = driftAcc_ * c;
    const Fp zA = (devA - sqrt(driftA * driftA + sigmaA_ * sigmaA_)) / (s * sigmaA_);
    const Fp driftM = driftMag_ * c;
    const Fp kM = s * sigmaM_ > Fp(1.6e-5f) ? Fp(1.0f) / (s * sigmaM_) : Fp(65535.0f);
    const Fp zM = (devM - sqrt(driftM * driftM + sigmaM_ * sigmaM_)) * kM;

    float p = normalUpperTail(zG.value()) * normalUpperTail(zA.value()) * normalUpperTail(zM.value());
    p = !(p > 0.0f) ? 0.0f : (p > 1.0f ? 1.0f : p);
    return Fp(c.value() / static_cast<float>(windowLength_)) * Fp(p) * Fp(p - kEps);
}

void ZroFromStable::updateOnTableNoise()
{
    // A window quiet enough to be on a table measures the sensors' own noise;
    // below single-precision resolution half the range stands in for it.
    const auto& stats = detector_.stats;
    const Fp varG = stats.largestVariance(kRate, 3);
    noiseG_ = varG > Fp(9.536743e-7f) ? sqrt(varG) : Fp(0.5f) * stats.largestRange(kRate, 3);
    const Fp varA = stats.largestVariance(kAcc, 3);
    noiseA_ = varA > Fp(kEps) ? sqrt(varA) : Fp(0.5f) * stats.largestRange(kAcc, 3);
    const Fp varM = stats.largestVariance(kMag, 3);
    if (varM > Fp(kEps))
        noiseM_ = sqrt(varM);
    updateInHandNoise(noiseG_, noiseA_, noiseM_);
}

void ZroFromStable::process(std::uint32_t timeUs, Fp temperatureDegC, bool useStillEstimate, bool magPresent,
                            Output* out)
{
    const std::uint32_t onTableAgeUs = onTable_.onTableTimeUs(magPresent);
    const std::uint32_t stillAgeUs = isStable_.stillAgeUs(timeUs, magPresent);

    Detector::Output det;
    detector_.process(sample_, &det);
    out->windowWeight = Fp(0.0f);
    out->accMean.fill(Fp(0.0f));
    out->windowReported = det.report;
    out->motion = det.motion;
    out->onTableOverride = 0;
    out->longStillOverride = 0;

    if (onTableAgeUs >= kOnTableOverrideUs) {
        out->onTableOverride = 1;
        overrideEstimate(onTable_.windowMeansMean(), temperatureDegC, out);
    }
    if (stillAgeUs >= kLongStillOverrideUs) {
        out->longStillOverride = 1;
        overrideEstimate(isStable_.rsMean(), temperatureDegC, out);
    }

    if (det.report) {
        const auto& stats = detector_.stats;
        for (int i = 0; i < 3; ++i)
            out->accMean[i] = stats.mean[kAcc + i];

        if (quietGyroLimit_ > stats.largestRange(kRate, 3))
            updateOnTableNoise();

        const std::uint32_t c = stats.count;
        if (useStillEstimate && c > minCount_) {
            const Fp w = windowWeight(c);
            out->windowWeight = w;
            if (w > Fp(kMinWindowWeight)) {
                // Old evidence fades with the temperature change since it was
                // gathered: half its weight per 1.5 degC.
                const Fp dT = (temperatureDegC - estimate_.temperature) / Fp(kWeightFadeDegC);
                estimate_.weight = estimate_.weight / (dT * dT + Fp(1.0f));
                estimate_.temperature = temperatureDegC;
                Vec3 m;
                for (int i = 0; i < 3; ++i)
                    m[i] = stats.mean[kRate + i];
                estimate_.blend(m, w);
            }
        }
    }

    if (useStillEstimate) {
        out->zro = estimate_.value;
        out->estimateWeight = estimate_.weight;
    } else {
        onTable_.fit().getZro(temperatureDegC, &out->zro, &out->zroVariance);
    }
}

void ZroFromStable::setDcd(const dcdAlg4MinFixedInnards_s& innards)
{
    estimate_.temperature = Fp(innards.temperature);
    const Vec3 stored{Fp(innards.zro[0]), Fp(innards.zro[1]), Fp(innards.zro[2])};
    // An all-zero estimate was never learned; one holding the unknown mark
    // is not an estimate either.
    bool unknown = false;
    for (int i = 0; i < 3; ++i)
        if (isUnknown(stored[i]))
            unknown = true;
    if (unknown || stored.infNorm() == Fp(0.0f))
        return;
    estimate_.blend(stored, Fp(kMaxEstimateWeight));
}

void ZroFromStable::writeLearnedFields(dcdAlg4MinFixedInnards_s* innards) const
{
    innards->temperature = estimate_.temperature.value();
    innards->algSpecific[0] = noiseG_.value();
    innards->algSpecific[1] = noiseA_.value();
    innards->algSpecific[2] = noiseM_.value();
    dcdZroTemperatureFit_s fit;
    onTable_.getDcd(&fit);
    std::memcpy(innards->zroTemperatureFit, &fit, sizeof fit);
}

bool ZroFromStable::getDcd(dcdAlg4MinFixedInnards_s* innards)
{
    if (innards == nullptr)
        return false;
    dcdAlg4MinFixedInnardsSetEmpty(innards);
    for (int i = 0; i < 3; ++i)
        innards->zro[i] = estimate_.value[i].value();
    writeLearnedFields(innards);
    dcd_ = *innards;
    dcdPending_ = false;
    return true;
}

bool ZroFromStable::getPartialDcd(dcdAlg4MinFixedInnards_s* innards)
{
    if (innards == nullptr)
        return false;
    writeLearnedFields(innards);
    dcd_ = *innards;
    dcdPending_ = false;
    return true;
}

} // namespace vnx
