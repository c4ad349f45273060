// The staged ellipsoid solver of MagnetometerAmplitudeCal: accumulation of
// the averaged points, the three solve stages and the grading of a
// candidate. backgroundProcess() spreads the stages over calls.

#include <cmath>

#include "magCalibration/MagnetometerAmplitudeCal.h"
#include "magCalibration/magCalConversions.h"
#include "numerics/fastAtan2.h"
#include "numerics/matrixSolversLdl.h"
#include "numerics/numericConstants.h"

namespace vnx {

using magcal::saturated;

namespace {

using Fp = MagnetometerAmplitudeCal::Fp;

// Work of one backgroundProcess call.
enum Work_e : unsigned
{
    kIdle = 0,
    kAccumulate = 1u << 0,
    kSolveA = 1u << 1,
    kSolveB = 1u << 2,
    kSolveC = 1u << 3,
};

struct Step
{
    std::uint32_t from; // stage this step runs from
    unsigned work;
    std::uint32_t to; // stage after the call
};

struct Schedule
{
    const Step* steps;
    int count;
};

// One solve spread over 1, 2, 3, 4, 5 or 8 calls. A stage a schedule does not
// list (the requested stage 1 in particular) runs its first step.
constexpr Step kOneCall[] = {{1, kAccumulate | kSolveA | kSolveB | kSolveC, 0}};
constexpr Step kTwoCalls[] = {{1, kAccumulate, 4}, {4, kSolveA | kSolveB | kSolveC, 0}};
constexpr Step kThreeCalls[] = {{1, kAccumulate, 4}, {4, kSolveA, 6}, {6, kSolveB | kSolveC, 0}};
constexpr Step kFourCalls[] = {{1, kAccumulate, 4}, {4, kSolveA, 6}, {6, kSolveB, 8}, {8, kSolveC, 0}};
constexpr Step kFiveCalls[] = {
    {1, kIdle, 2}, {2, kAccumulate, 4}, {4, kSolveA, 6}, {6, kSolveB, 8}, {8, kSolveC, 0}};
constexpr Step kEightCalls[] = {{1, kIdle, 2}, {2, kAccumulate, 3}, {3, kIdle, 4}, {4, kSolveA, 5},
                                {5, kIdle, 6}, {6, kSolveB, 7},     {7, kIdle, 8}, {8, kSolveC, 0}};

template <int N> constexpr Schedule scheduleOf(const Step (&steps)[N])
{
    return {steps, N};
}

Schedule scheduleFor(unsigned char stages)
{
    switch (stages) {
    case 0:
    case 1:
        return scheduleOf(kOneCall);
    case 2:
        return scheduleOf(kTwoCalls);
    case 3:
        return scheduleOf(kThreeCalls);
    case 4:
        return scheduleOf(kFourCalls);
    case 5:
        return scheduleOf(kFiveCalls);
    default:
        return scheduleOf(kEightCalls);
    }
}

// Each face is replaced a few points after an extreme was seen on its axis,
// the delay cycling through these counts.
constexpr std::uint32_t kPointsToSkip[6] = {3, 2, 4, 5, 2, 3};
// A point within this of a face's coordinate counts as reaching the extreme.
constexpr float kFaceMargin = 0.01f;

// An accumulation holding this many seconds' worth of points without an
// accepted fit has gone stale (twice as long once a calibration is known).
constexpr float kMaxPointsSecondsUncalibrated = 2.0f;
constexpr float kMaxPointsSecondsCalibrated = 4.0f;

// Quality of a fit: |det P| normalised by the point count and the field
// strength; fits at or below the floor are not graded at all.
constexpr float kQualityCountExponent = -4.5f;
constexpr float kQualityFieldExponent = -13.0f;
constexpr float kQualityCap = 100000.0f;
constexpr float kQualityFloor = 1e-12f;
constexpr float kInvalidMarker = 10000.0f;

constexpr int kSolveCount = 7; // six cube faces and the latest sample

/// Index of (i, j), i <= j, in the upper triangle of a 9 x 9 matrix stored
/// row by row.
constexpr int packedIndex(int i, int j)
{
    return i * 9 - i * (i - 1) / 2 + (j - i);
}

static_assert(packedIndex(8, 8) == 44);

} // namespace

bool MagnetometerAmplitudeCal::backgroundProcess(unsigned char stages, bool run)
{
    if (!run) {
        stage_ = 0;
        return false;
    }
    if (stage_ < 1)
        return false;
    if (stage_ == 1 && accumulatedSinceStart_ == 0) {
        // The very first point after init only seeds the system.
        doAccumulation();
        stage_ = 0;
        return true;
    }
    accumulatedSinceStart_ = 0;

    const Schedule schedule = scheduleFor(stages);
    const Step* step = &schedule.steps[0];
    for (int i = 1; i < schedule.count; ++i) {
        if (schedule.steps[i].from == stage_)
            step = &schedule.steps[i];
    }
    if (step->work & kAccumulate)
        doAccumulation();
    if (step->work & kSolveA)
        doCalibrationA();
    if (step->work & kSolveB)
        doCalibrationB();
    if (step->work & kSolveC)
        doCalibrationC();
    stage_ = step->to;
    return stage_ != 0;
}

void MagnetometerAmplitudeCal::doAccumulation()
{
    accumulatedSinceStart_ = 1;
    // A point already handed over (or never collected) is not counted twice.
    if (stats_.count == 0)
        return;
    const Vec3 a = stats_.mean;
    stats_.reset();

    pickGoodSeedForPreOffset(a);
    accumulateCubeFaces(a, lastReference_);
    magnetometerAccumCovPInvAndZ(a - preOffset_);

    const Fp seconds(active_.quality == Fp(0.0f) ? kMaxPointsSecondsUncalibrated
                                                 : kMaxPointsSecondsCalibrated);
    if (getPointCount() > seconds / periodS_)
        reset();
}

void MagnetometerAmplitudeCal::pickGoodSeedForPreOffset(const Vec3& v)
{
    if (!seedPending_)
        return;
    if (seedState_ == 1) {
        preOffset_ = v;
        resetMeasurements();
    } else {
        // A stored calibration whose centre lies more than two field
        // strengths from the first point belongs to another magnetic setting.
        const Fp s = active_.fieldStrength;
        if ((v - preOffset_).normSquared() >= Fp(4.0f) * s * s) {
            seedState_ = 1;
            preOffset_ = v;
            resetMeasurements();
        }
    }
    seedPending_ = false;
}

void MagnetometerAmplitudeCal::accumulateCubeFaces(const Vec3& a, const Vec3& g)
{
    if (referenceValid_ && g[0] == Fp(0.0f))
        return;
    if (firstPoint_) {
        for (int k = 0; k < kFaces; ++k) {
            facePoint_[k] = a;
            faceReference_[k] = g;
        }
        firstPoint_ = false;
        return;
    }
    const Fp margin(kFaceMargin);
    for (int k = 0; k < kFaces; ++k) {
        const int axis = k % 3;
        const bool extreme =
            k < 3 ? a[axis] > facePoint_[k][axis] - margin : a[axis] < facePoint_[k][axis] + margin;
        if (extreme && faceCountdown_[k] == 0) {
            faceCountdown_[k] = kPointsToSkip[skipIndex_];
            skipIndex_ = (skipIndex_ + 1) % 6;
        }
    }
    for (int k = 0; k < kFaces; ++k) {
        if (faceCountdown_[k] == 1) {
            facePoint_[k] = a;
            faceReference_[k] = g;
        }
        if (faceCountdown_[k] >= 1)
            --faceCountdown_[k];
    }
}

void MagnetometerAmplitudeCal::magnetometerAccumCovPInvAndZ(const Vec3& d)
{
    const Fp x = d[0], y = d[1], z = d[2];
    const Fp xx = x * x, yy = y * y, zz = z * z;
    const Fp two(2.0f);
    // Row of the ellipsoid (d - c)^T V (d - c) = k with trace V = 3, in the
    // unknowns (V shape, V shape, Vxy, Vxz, Vyz, Vc, c^T V c - k).
    const Fp phi[9] = {xx + yy - two * zz, xx + zz - two * yy, two * x * y, two * x * z, two * y * z,
                       -two * x,           -two * y,           -two * z,    Fp(1.0f)};
    const Fp r = -(xx + yy + zz);
    int idx = 0;
    for (int i = 0; i < 9; ++i) {
        for (int j = i; j < 9; ++j) {
            covP_[idx] = saturated(covP_[idx] + phi[i] * phi[j]);
            ++idx;
        }
        z_[i] = saturated(z_[i] + phi[i] * r);
    }
}

void MagnetometerAmplitudeCal::doCalibrationA()
{
    float P[81];
    for (int i = 0; i < 9; ++i) {
        for (int j = i; j < 9; ++j) {
            const float v = covP_[packedIndex(i, j)].value();
            P[i + 9 * j] = v;
            P[j + 9 * i] = v;
        }
    }
    float z[9];
    for (int i = 0; i < 9; ++i)
        z[i] = z_[i].value();
    float theta[9];
    float det = 0.0f;
    Matrix_9x9_9x1_ldl(P, z, theta, &det);
    for (int i = 0; i < 9; ++i)
        theta_[i] = Fp(theta[i]);
    detP_ = abs(Fp(det));
}

void MagnetometerAmplitudeCal::doCalibrationB()
{
    sqrtV_ = magnetometerComputeSqrtV(theta_);
}

void MagnetometerAmplitudeCal::doCalibrationC()
{
    // Centre in the frame of sqrt(V), then the scale that puts the fit on
    // the unit sphere.
    const Vec3 c = magnetometerComputeOffsetHead(sqrtV_, theta_);
    const Fp f = sqrt(abs(magnetometerComputeCo(c, theta_[8])));
    candidate_.eyePlusD = saturated(sqrtV_ * f);
    candidate_.head = saturated(c * f);

    // N^-4.5 of an empty system saturates, so no points give no quality.
    const Fp n = getPointCount();
    Fp quality = saturated(detP_ * Fp(std::pow(n.value(), kQualityCountExponent)));
    const Fp fieldStrength = computeFieldStrength(candidate_.eyePlusD);
    if (quality > Fp(0.0f)) {
        quality = saturated(quality * Fp(std::pow(fieldStrength.value(), kQualityFieldExponent)));
        quality = min(quality, Fp(kQualityCap));
    }
    if (quality <= Fp(kQualityFloor)) {
        candidate_.eyePlusD[0] = Fp(kInvalidMarker);
        return;
    }
    candidate_.quality = quality;
    candidate_.fieldStrength = fieldStrength;

    status_ = kAccepted;
    updateCube(lastSample_, lastReference_);
    const bool accepted = checkUpdateOutputCondition();
    VNX_LOGF(dftLog_, log::FINE, "candidate quality %g accuracy %g: code %u",
             static_cast<double>(quality.value()), static_cast<double>(candidate_.accuracy.value()),
             static_cast<unsigned>(status_));
    if (accepted)
        assignOutputCal();
}

void MagnetometerAmplitudeCal::updateCube(const Vec3& sample, const Vec3& reference)
{
    Vec3 u[kFaces];
    for (int k = 0; k < kFaces; ++k)
        applyCalInternal(facePoint_[k], &u[k]);
    Fp extent[3];
    for (int axis = 0; axis < 3; ++axis)
        extent[axis] = abs(u[axis][axis] - u[axis + 3][axis]);
    extentProduct_ = saturated(extent[0] * extent[1] * extent[2]);
    const Fp largest = max(max(extent[0], extent[1]), extent[2]);
    const Fp smallest = min(min(extent[0], extent[1]), extent[2]);
    extentRatio_ = largest <= Fp(0.1f) ? Fp(0.0f) : smallest / largest;

    if (!firstPoint_)
        updateAccuracyInternal(sample, reference);
    accuracyHistory_[historyIndex_] = candidate_.accuracy;
    historyIndex_ = (historyIndex_ + 1) % kHistory;
}

void MagnetometerAmplitudeCal::updateAccuracyInternal(const Vec3& sample, const Vec3& reference)
{
    Vec3 u[kSolveCount];
    Fp dip[kSolveCount];
    Fp dipSum(0.0f);
    for (int k = 0; k < kSolveCount; ++k) {
        const Vec3& point = k < kFaces ? facePoint_[k] : sample;
        const Vec3& ref = k < kFaces ? faceReference_[k] : reference;
        applyCalInternal(point, &u[k]);
        // Without a reference (or a field) the angle is unknown: take a right
        // angle rather than divide by zero.
        const Fp norms = u[k].norm() * ref.norm();
        dip[k] = Fp(kPiOver2F);
        if (norms > Fp(0.0f)) {
            const Fp cosine = min(max(saturated(dot(u[k], ref) / norms), Fp(-1.0f)), Fp(1.0f));
            dip[k] = Fp(std::acos(cosine.value()));
        }
        dipSum += dip[k];
    }
    const Fp meanDip = dipSum / Fp(static_cast<float>(kSolveCount));
    const Fp sinDip(std::sin(meanDip.value()));

    Fp amplitude(0.0f);
    Fp spread(0.0f);
    for (int k = 0; k < kSolveCount; ++k) {
        amplitude = max(amplitude, Fp(atan2fMerrowind(computeAmplitudeErr(u[k]).value(), sinDip.value())));
        spread = max(spread, abs(dip[k] - meanDip));
    }

    candidate_.dip = meanDip;
    candidate_.sinDip = sinDip;
    candidate_.amplitudeAccuracy = amplitude;
    if (referenceValid_) {
        candidate_.dipAccuracy = spread;
        candidate_.accuracy = min(Fp(kPiF), sqrt(amplitude * amplitude + spread * spread));
    } else {
        candidate_.dipAccuracy = Fp(kPiF);
        candidate_.accuracy = amplitude;
    }
}

void MagnetometerAmplitudeCal::assignOutputCal()
{
    active_ = candidate_;
    externalAccuracy_ = candidate_.accuracy;
    offset_ = saturated(candidate_.eyePlusD * preOffset_ + candidate_.head);
}

} // namespace vnx
