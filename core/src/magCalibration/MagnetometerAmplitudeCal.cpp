#include "magCalibration/MagnetometerAmplitudeCal.h"

#include <cmath>

#include "common/NodeManager.h"
#include "magCalibration/magCalConversions.h"
#include "numerics/fastAtan2.h"
#include "numerics/matrixSolversLu.h"
#include "numerics/numericConstants.h"

namespace vnx {

using magcal::saturated;

namespace {

using Fp = MagnetometerAmplitudeCal::Fp;

// A component this large is no magnetic field but a magnet or a fault.
constexpr float kInterferenceLimit = 10000.0f;
// Samples join one averaged point while the orientation stays within 2.5
// degrees of where the point started; a turn of more than 5 degrees from the
// start of the group closes the point for the solver.
constexpr float kSamePointCos = 0.999762f;  // cos(2.5 deg / 2) as a quaternion dot
constexpr float kNewGroupCos = 0.99904823f; // cos(5 deg / 2)
// More samples than this in one point: hand it over anyway.
constexpr std::uint32_t kMaxSamplesPerPoint = 255;
// Spread of a point's samples (variance, sensor units squared): above the
// first the point is dropped, above the second the field is disturbed.
constexpr float kPointVarianceLimit = 0.015f;
constexpr float kInterferenceVariance = 0.15f;
// Quality caps: a fit at the cap loses its standing after interference.
constexpr float kQualityCap = 100000.0f;
constexpr float kQualityCapTolerance = 100.0f;
constexpr float kRestoredQuality = 1e-11f;
constexpr float kInitialHistoryAccuracy = 1.99f; // rad, "no candidate yet"

// A DCD accuracy at or above a right angle carries no usable calibration.
constexpr float kUsableDcdAccuracy = kPiOver2F;

} // namespace

MagnetometerAmplitudeCal::MagnetometerAmplitudeCal() : stats_("vnx_core_MagnetometerAmplitudeCal", 3)
{
    NodeManager::getInstance().addNode(this, &stats_, NodeInterface::NODE_SUBNODE, "MagInStats");
    init(FixedPointCal::Output{}, nullptr);
}

MagnetometerAmplitudeCal::~MagnetometerAmplitudeCal()
{
    NodeManager::getInstance().removeNode(&stats_);
}

MagnetometerAmplitudeCal::Calibration MagnetometerAmplitudeCal::initialCalibration()
{
    Calibration c;
    c.eyePlusD = Mat3::identity();
    c.head = Vec3::zeros();
    c.fieldStrength = Fp(1.0f);
    c.dip = Fp(kPiOver2F);
    c.sinDip = Fp(1.0f);
    c.accuracy = Fp(kPiF);
    c.amplitudeAccuracy = Fp(kPiF);
    c.dipAccuracy = Fp(kPiF);
    c.quality = Fp(0.0f);
    return c;
}

void MagnetometerAmplitudeCal::init(const FixedPointCal::Output& cal, const dcdMagAmpCal_s* dcd)
{
    periodS_ = Fp(0.0f);
    lowPassCoef_ = Fp(-1.0f); // -0.4 / (T + 0.4) at T = 0
    interferenceCountdown_ = 0;

    seedState_ = 1;
    seedPending_ = true;
    preOffset_ = Vec3::zeros();

    resetMeasurements();

    firstPoint_ = true;
    referenceValid_ = false;
    for (int k = 0; k < kFaces; ++k) {
        facePoint_[k] = Vec3::zeros();
        faceReference_[k] = Vec3::zeros();
        faceCountdown_[k] = 0;
    }
    skipIndex_ = 0;
    extentProduct_ = Fp(0.0f);
    extentRatio_ = Fp(0.0f);

    for (Fp& a : accuracyHistory_)
        a = Fp(kInitialHistoryAccuracy);
    historyIndex_ = 0;

    status_ = kNoCandidate;

    active_ = initialCalibration();
    offset_ = Vec3::zeros();
    externalAccuracy_ = Fp(kPiF);
    candidate_ = initialCalibration();

    stats_.reset();
    q1_ = Quat::identity();
    q2_ = Quat::identity();

    theta_ = Theta::zeros();
    detP_ = Fp(0.0f);
    sqrtV_ = Mat3::identity();
    // Three standard deviations of the noisiest axis; an unknown (2^31) level
    // makes the threshold unknown too.
    const Fp sigma = cal.rsStableParam.infNorm();
    noiseThreshold_ = saturated((Fp(3.0f) * sigma) * (Fp(3.0f) * sigma));

    stage_ = 0;
    accumulatedSinceStart_ = 0;

    lastSample_ = Vec3::zeros();
    lastReference_ = Vec3::zeros();

    if (dcd != nullptr && dcd->accuracy < kUsableDcdAccuracy)
        setDcd(dcd);
}

void MagnetometerAmplitudeCal::setDcd(const dcdMagAmpCal_s* dcd)
{
    if (dcd == nullptr)
        return;
    seedState_ = 0;
    for (int i = 0; i < 3; ++i) {
        offset_[i] = Fp(dcd->offset[i]);
        for (int j = 0; j < 3; ++j)
            active_.eyePlusD(i, j) = Fp(dcd->iPlusD[i + 3 * j]);
    }
    computePreOffset(active_.eyePlusD, offset_);
    active_.fieldStrength = Fp(dcd->fieldStrength);
    active_.dip = Fp(dcd->dipAngle);
    active_.sinDip = Fp(std::sin(active_.dip.value()));
    const Fp accuracy(dcd->accuracy);
    active_.accuracy = accuracy;
    active_.amplitudeAccuracy = accuracy;
    active_.dipAccuracy = accuracy;
    externalAccuracy_ = accuracy;
    if (accuracy < Fp(kUsableDcdAccuracy)) {
        status_ = kAccepted;
        active_.quality = Fp(kRestoredQuality);
    } else {
        active_.quality = Fp(0.0f);
    }
}

void MagnetometerAmplitudeCal::getDcd(dcdMagAmpCal_s* dcd) const
{
    if (dcd == nullptr)
        return;
    for (int i = 0; i < 3; ++i) {
        dcd->offset[i] = offset_[i].value();
        for (int j = 0; j < 3; ++j)
            dcd->iPlusD[i + 3 * j] = active_.eyePlusD(i, j).value();
    }
    dcd->fieldStrength = active_.fieldStrength.value();
    dcd->dipAngle = active_.dip.value();
    dcd->accuracy = active_.accuracy.value();
}

void MagnetometerAmplitudeCal::reset()
{
    candidate_ = initialCalibration();
    resetMeasurements();
    firstPoint_ = true;
    for (std::uint32_t& c : faceCountdown_)
        c = 0;
    skipIndex_ = 0;
    for (Fp& a : accuracyHistory_)
        a = Fp(kInitialHistoryAccuracy);
    historyIndex_ = 0;
    status_ = kNoCandidate;
    seedState_ = 1;
    seedPending_ = true;
}

void MagnetometerAmplitudeCal::resetMeasurements()
{
    for (Fp& v : covP_)
        v = Fp(0.0f);
    for (Fp& v : z_)
        v = Fp(0.0f);
}

void MagnetometerAmplitudeCal::startInterferenceCountdown()
{
    // One second of samples. Without a period (or with one too short to
    // count in 32 bits) the float-to-integer conversion would be undefined.
    if (!(periodS_ > Fp(0.0f))) {
        interferenceCountdown_ = 0;
        return;
    }
    const float samples = std::floor(1.0f / periodS_.value() + 0.5f);
    interferenceCountdown_ = samples < 4294967296.0f ? static_cast<std::uint32_t>(samples) : 0xFFFFFFFFu;
}

void MagnetometerAmplitudeCal::requestAccumulation()
{
    if (stage_ == 0)
        stage_ = 1;
}

void MagnetometerAmplitudeCal::process(Fp periodS, bool useOrientation, Fp noise, const Vec3& m,
                                       const Vec3& /*unused*/, const Quat& q, const Vec3& g,
                                       bool referenceValid, Output* out)
{
    if (!(periodS == periodS_)) {
        periodS_ = periodS;
        lowPassCoef_ = Fp(-0.4f) / (periodS + Fp(0.4f));
        interferenceCountdown_ = 0;
        reset();
    }
    if (periodS <= Fp(0.0f))
        return;

    if (referenceValid != referenceValid_) {
        reset();
        referenceValid_ = referenceValid;
    }

    const bool zeroSample = m == Vec3::zeros();
    const Fp limit(kInterferenceLimit);
    const bool interference = !zeroSample && (m.infNorm() >= limit);
    if (interference) {
        reset();
        startInterferenceCountdown();
    } else if (!zeroSample && interferenceCountdown_ != 0) {
        --interferenceCountdown_;
    } else if (!zeroSample) {
        Fp variance(0.0f);
        if (useOrientation) {
            collectWithOrientation(m, q, &variance);
        } else {
            collectByNoise(noise, m, &variance);
        }
        if (stage_ == 0 && stats_.count > kMaxSamplesPerPoint)
            stage_ = 1;
        if (variance > Fp(kPointVarianceLimit)) {
            if (variance > Fp(kInterferenceVariance)) {
                reset();
                startInterferenceCountdown();
                if (abs(active_.quality - Fp(kQualityCap)) <= Fp(kQualityCapTolerance)) {
                    active_.quality = Fp(kRestoredQuality);
                }
            }
            stats_.reset();
            stage_ = 0;
        }
        lastSample_ = m;
        lastReference_ = g;
    }

    Vec3 c;
    applyCalUnitSphere(m, &c);
    updateExternalAccuracy(c, g);
    if (out == nullptr)
        return;
    const Fp s = active_.fieldStrength;
    out->calibratedField = saturated(c * s);
    out->offset = saturated(offset_ * s);
    out->fieldStrength = s;
    out->externalAccuracy = externalAccuracy_;
    out->internalAccuracy = active_.accuracy;
}

void MagnetometerAmplitudeCal::collectWithOrientation(const Vec3& m, const Quat& q, Fp* variance)
{
    *variance = Fp(0.0f);
    // Without an orientation there is no way to tell points apart.
    if (q == Quat{})
        return;

    const Fp d1 = dot(q, q1_);
    const Fp d2 = dot(q, q2_);
    const bool samePoint = d1 >= Fp(kSamePointCos);
    if (d2 >= Fp(kNewGroupCos)) {
        if (samePoint) {
            stats_.addSample(m.data());
        } else {
            q1_ = q;
            stats_.restart(m);
        }
    } else {
        q1_ = q;
        q2_ = q;
        requestAccumulation();
        if (samePoint) {
            stats_.addSample(m.data());
        } else if (stats_.count <= 1) {
            stats_.restart(m);
        }
    }
    for (std::uint32_t i = 0; i < 3; ++i)
        *variance = max(*variance, stats_.variance(i));
}

void MagnetometerAmplitudeCal::collectByNoise(Fp noise, const Vec3& m, Fp* variance)
{
    noiseThreshold_ = saturated((Fp(3.0f) * noise) * (Fp(3.0f) * noise));

    // The largest variance the point would have with m in it.
    Fp largest(0.0f);
    if (stats_.count > 0) {
        const Fp r(statistics::runningReciprocal(stats_.count));
        for (std::uint32_t i = 0; i < 3; ++i) {
            Fp mean = stats_.mean[i];
            auto m2 = stats_.M2[i];
            statistics::runningMeanM2Step(mean, m2, m[i], r);
            largest = max(largest, statistics::sampleVariance<Fp>(m2, stats_.count + 1));
        }
    }
    *variance = largest;
    if (largest >= noiseThreshold_) {
        requestAccumulation();
    } else {
        stats_.addSample(m.data());
    }
}

void MagnetometerAmplitudeCal::updateExternalAccuracy(const Vec3& c, const Vec3& g)
{
    Fp amplitude(atan2fMerrowind(computeAmplitudeErr(c).value(), active_.sinDip.value()));
    amplitude = max(amplitude, active_.amplitudeAccuracy);
    if (!referenceValid_) {
        externalAccuracy_ = amplitude;
        return;
    }
    Fp dipError(kPiF);
    if (!(g[0] == Fp(0.0f))) {
        const Fp norms = c.norm() * g.norm();
        if (norms > Fp(0.0f)) {
            Fp cosine = saturated(dot(c, g) / norms);
            cosine = min(max(cosine, Fp(-1.0f)), Fp(1.0f));
            dipError = abs(Fp(std::acos(cosine.value())) - active_.dip);
            dipError = max(dipError, active_.dipAccuracy);
        } else {
            // A zero calibrated field has no direction: its dip is unknown.
            dipError = active_.dipAccuracy;
        }
    }
    externalAccuracy_ = min(Fp(kPiF), sqrt(amplitude * amplitude + dipError * dipError));
}

void MagnetometerAmplitudeCal::applyCalUnitSphere(const Vec3& in, Vec3* out) const
{
    *out = saturated(active_.eyePlusD * in - offset_);
}

void MagnetometerAmplitudeCal::applyCalExternal(const Vec3& in, Vec3* out) const
{
    Vec3 unit;
    applyCalUnitSphere(in, &unit);
    *out = saturated(unit * active_.fieldStrength);
}

void MagnetometerAmplitudeCal::applyCalInternal(const Vec3& in, Vec3* out) const
{
    const Mat3& M = candidate_.eyePlusD;
    *out = saturated(M * in - (M * preOffset_ + candidate_.head));
}

void MagnetometerAmplitudeCal::computePreOffset(const Mat3& M, const Vec3& v)
{
    float a[9];
    magcal::toColumnMajor(M, a);
    const float b[3] = {v[0].value(), v[1].value(), v[2].value()};
    float x[3];
    Matrix_3x3_3x1_mldivide(a, b, x);
    preOffset_ = {Fp(x[0]), Fp(x[1]), Fp(x[2])};
}

} // namespace vnx
