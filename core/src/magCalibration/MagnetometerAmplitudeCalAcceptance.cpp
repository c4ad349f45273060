// The acceptance test of a magnetometer calibration candidate: plausibility
// of its matrix, coverage of the sphere by the points, steadiness and
// quality against the calibration in use.

#include <cmath>

#include "magCalibration/MagnetometerAmplitudeCal.h"

namespace vnx {

namespace {

using Fp = MagnetometerAmplitudeCal::Fp;

// Matrix plausibility. The largest gain allows a field down to 3/7.27 of a
// unit; axis gains may differ by a factor of 3 at most, cross-axis terms stay
// well below the axis gains.
constexpr float kMaxDiagonal = 7.2727275f;
constexpr float kMinDiagonalRatio = 0.3f;
constexpr float kSmallDiagonal = 0.1f;
constexpr float kMaxOffDiagonal = 1.0f;
constexpr float kMaxOffDiagonalRatio = 0.3f;
constexpr float kInvalidOffDiagonal = -10000.0f;

// Candidate accuracies of the last solves must agree within 10 degrees.
constexpr float kMaxHistoryVariance = 0.03046174f; // (10 deg)^2 in rad^2

// The points must span the unit sphere: extents along x, y, z (2 for a full
// turn about every axis).
constexpr float kMinExtentProduct = 1.2f;
constexpr float kMinExtentRatio = 0.25f;

constexpr float kOneDegree = 0.017453292f;
constexpr float kFiveDegrees = 0.08726646f;
constexpr float kTenDegrees = 0.17453292f;

/// How many binary orders of magnitude the candidate's quality may lie below
/// the active one's: loose when the candidate's accuracy differs much from
/// this sample's heading error (the active calibration no longer fits), tight
/// when it agrees, and in between scaled by the active quality.
int qualityAllowance(Fp candidateAccuracy, Fp externalAccuracy, int activeExponent)
{
    const Fp difference = abs(candidateAccuracy - externalAccuracy);
    if (difference > Fp(kTenDegrees))
        return 20;
    if (difference <= Fp(kFiveDegrees))
        return 4;
    if (activeExponent >= 11)
        return 8;
    if (activeExponent < 2)
        return 4;
    return activeExponent / 2 + 3;
}

} // namespace

MagnetometerAmplitudeCal::Fp MagnetometerAmplitudeCal::historyVariance() const
{
    Fp sum(0.0f);
    for (const Fp a : accuracyHistory_)
        sum += a;
    const Fp mean = sum / Fp(static_cast<float>(kHistory));
    Fp squares(0.0f);
    for (const Fp a : accuracyHistory_)
        squares += (a - mean) * (a - mean);
    return squares / Fp(static_cast<float>(kHistory - 1));
}

bool MagnetometerAmplitudeCal::acceptanceCode(std::uint32_t* code) const
{
    const Mat3& M = candidate_.eyePlusD;
    const Fp diagonal[3] = {M(0, 0), M(1, 1), M(2, 2)};
    const Fp offDiagonal[6] = {M(0, 1), M(0, 2), M(1, 0), M(1, 2), M(2, 0), M(2, 1)};
    Fp largestDiagonal = diagonal[0];
    Fp smallestDiagonal = diagonal[0];
    for (const Fp d : diagonal) {
        largestDiagonal = max(largestDiagonal, d);
        smallestDiagonal = min(smallestDiagonal, d);
    }
    Fp smallestOff = offDiagonal[0];
    Fp largestOffMagnitude(0.0f);
    for (const Fp o : offDiagonal) {
        smallestOff = min(smallestOff, o);
        largestOffMagnitude = max(largestOffMagnitude, abs(o));
    }
    const Fp diagonalRatio =
        largestDiagonal <= Fp(kSmallDiagonal) ? Fp(1.0f) : smallestDiagonal / largestDiagonal;

    const Fp candidateAccuracy = candidate_.accuracy;
    const bool worseThanExternal = candidateAccuracy >= externalAccuracy_ + Fp(kOneDegree);
    const bool worseThanInternal = candidateAccuracy >= active_.accuracy + Fp(kOneDegree);
    const Fp quality = active_.quality;
    const Fp candidateQuality = candidate_.quality;

    if (smallestOff <= Fp(kInvalidOffDiagonal)) {
        *code = kInvalidCandidate;
    } else if (largestDiagonal > Fp(kMaxDiagonal)) {
        *code = kDiagonalTooLarge;
    } else if (smallestDiagonal < Fp(0.0f)) {
        *code = kDiagonalNegative;
    } else if (diagonalRatio < Fp(kMinDiagonalRatio)) {
        *code = kTooAnisotropic;
    } else if (largestOffMagnitude > smallestDiagonal) {
        *code = kOffDiagonalOverDiagonal;
    } else if (largestOffMagnitude > Fp(kMaxOffDiagonal)) {
        *code = kOffDiagonalTooLarge;
    } else if (largestOffMagnitude / largestDiagonal > Fp(kMaxOffDiagonalRatio)) {
        *code = kTooSkewed;
    } else if (historyVariance() > Fp(kMaxHistoryVariance)) {
        *code = kAccuracyUnsteady;
    } else if (extentProduct_ < Fp(kMinExtentProduct)) {
        *code = kExtentTooSmall;
    } else if (extentRatio_ < Fp(kMinExtentRatio)) {
        *code = kExtentTooFlat;
    } else if (!(quality == Fp(0.0f)) && candidateQuality > Fp(0.0f) &&
               std::ilogb(quality.value()) - std::ilogb(candidateQuality.value()) >
                   qualityAllowance(candidateAccuracy, externalAccuracy_, std::ilogb(quality.value()))) {
        *code = kQualityDrop;
    } else if (candidateQuality == Fp(0.0f)) {
        *code = kQualityZero;
    } else if (worseThanExternal && !worseThanInternal) {
        *code = kWorseThanExternal;
    } else if (worseThanExternal) {
        *code = kWorseThanBoth;
    } else if (candidateAccuracy > active_.accuracy + Fp(kFiveDegrees)) {
        *code = kWorseThanInternal;
    } else {
        return false;
    }
    return true;
}

bool MagnetometerAmplitudeCal::checkUpdateOutputCondition()
{
    const bool fresh = status_ == kAccepted;
    std::uint32_t code = kAccepted;
    if (acceptanceCode(&code)) {
        status_ = code;
        return false;
    }
    status_ = fresh ? kAccepted : kNotFresh;
    return fresh;
}

} // namespace vnx
