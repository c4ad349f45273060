// Processing stages of the mobile fusion engine that the scheduler runs
// between sample reports and outputs: the corrected rate, accelerometer
// calibration learning, the gyro-stabilised accelerometer and magnetometer
// filters with their adaptive group delay, the magnetometer calibration step
// and the gyroscope integration quality.

#include <cmath>

#include "numerics/numericConstants.h"
#include "sensorFusionMobile/SensorFusionMobile.h"
#include "sensorFusionMobile/mobileIntegrationScale.h"

namespace vnx {

namespace {

using mobile::GroupDelay;
using mobile::GroupDelayInput_e;
using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;

// ZRO variance ((rad/s)^2) up to which the temperature fit of the still
// estimator is trusted over BiasCorrectMin.
constexpr float kTrustedZroVariance = 4.4e-5f;
// Rate uncertainty (rad/s) of a young and of a settled still estimate.
constexpr float kYoungEstimateError = 0.099999994f;
constexpr float kSettledEstimateError = 0.01f;
constexpr float kSettledEstimateWeight = 3.5f;
// Added to the rate uncertainty of a saturated sample (150 deg/s).
constexpr float kSaturatedRateError = 2.6179938f;

// Accelerometer filter: delay after a disturbance (s), residual handed on
// after a gap, and the noise cap of a still device (m/s^2).
constexpr float kAccDisturbedDelayS = -0.24f;
constexpr float kAccGapResidual = 0.41320428f;
constexpr float kAccStillResidual = 0.1f;
// Magnetometer filter: heading error (rad, 50 deg) beyond which the field is
// disturbed, residual after a gap, noise cap of a still device, and the
// field strength drop that restarts the filter.
constexpr float kMagDisturbedHeadingRad = 0.87266463f;
constexpr float kMagGapResidual = 0.014142135f;
constexpr float kMagStillResidual = 0.01f;
constexpr float kMagFieldDrop = 0.8f;

// Reference accelerometer of the magnetometer calibration: plausible
// magnitudes of gravity (m/s^2).
constexpr float kMinGravity = 4.9f;
constexpr float kMaxGravity = 19.6f;

// Saturation margin of the rate (rad/s) and the time (s) the integration
// stays suspect after a saturated sample.
constexpr float kSaturationMarginRadPerS = 1.1f;
constexpr float kSaturationHoldS = 3.0f;

Vector3 meansOf(const ZroFromStable::Detector& detector, int first)
{
    const auto& mean = detector.stats.mean;
    return {mean[first], mean[first + 1], mean[first + 2]};
}

} // namespace

void SensorFusionMobile::processDecimatedGyroPreAcc()
{
    const FixedPointCal::Output& cal = cal_.output();
    zroFromStable_.process(gyroTimeUs_, sample_.temperature, dynamicCalibration(kAlwaysUseBiasCorrectMin),
                           dynamicCalibration(kUseMagnetometer), &zro_);
    if (zro_.windowReported != 0)
        refreshMagnetometerNoise();

    const std::uint32_t interval = gyroDelta_ == kDeltaFirst ? kDeltaFirst : gyroTimeUs_ - lastRunPreAccUs_;
    lastRunPreAccUs_ = gyroTimeUs_;
    // One step of BiasCorrectMin is one fusion period; without fusion ticks
    // it is one decimated gyroscope period.
    const std::int32_t stepUs = periods_.fusionUs > 0
                                    ? periods_.fusionUs
                                    : static_cast<std::int32_t>(decimation_) * periods_.gyroscopeUs;
    biasCorrectMin_.process(interval, static_cast<std::uint32_t>(stepUs), sample_, bcm_);

    if (!dynamicCalibration(kAlwaysUseBiasCorrectMin) &&
        zro_.zroVariance.infNorm() <= Fp32(kTrustedZroVariance)) {
        if (zro_.onTableOverride != 0) {
            correctedRate_ = Vector3{};
            zro_.zro = sample_.rs;
        } else {
            correctedRate_ = sample_.rs - zro_.zro;
        }
    } else {
        correctedRate_ = bcm_.rate;
        zro_.onTableOverride = bcm_.onTable;
        zro_.zro = sample_.rs - correctedRate_;
    }

    const Fp32 estimateError = zro_.estimateWeight <= Fp32(kSettledEstimateWeight)
                                   ? Fp32(kYoungEstimateError)
                                   : Fp32(kSettledEstimateError);
    gyroError_ =
        correctedRate_.infNorm() * Fp32(cal.rsScaleErrorRatio) + cal.rsNoise.infNorm() + estimateError;
    if ((sample_.flags & Interpret::kFlagRsSaturated) != 0)
        gyroError_ += Fp32(kSaturatedRateError);
}

void SensorFusionMobile::processAccel()
{
    const Fp32 periodS = seconds(periods_.accelerometerUs);
    if (dynamicCalibration(kUsePlanarCalibration)) {
        Vector3 raw;
        accPlanarCal_.undoCal(sample_.accCalibrated, &raw);
        accPlanarCal_.process(accTimeUs_, periodS, gyroInteg_.quaternion(), raw);
    } else {
        const bool stillOrStationary = zro_.windowReported != 0 || zro_.onTableOverride != 0;
        const bool hasMean = !(zro_.accMean == Vector3{});
        const bool learn = dynamicCalibration(kLearnAccelerometerOffset) && stillOrStationary && hasMean;
        Vector3 raw;
        Vector3 rawMean;
        accCal_.undoCal(sample_.accCalibrated, &raw);
        accCal_.undoCal(zro_.accMean, &rawMean);
        accCal_.process(periodS, learn, raw, rawMean);
    }
    zro_.accMean = Vector3{};
}

void SensorFusionMobile::processDecimatedGyroPreMag()
{
    const std::uint32_t interval = gyroTimeUs_ - lastRunPreMagUs_;
    lastRunPreMagUs_ = gyroTimeUs_;

    const bool disturbed = sample_.accCalibrated.infNorm() >= accFullScale_ ||
                           (sample_.flags & Interpret::kFlagAccSaturated) != 0;
    const mobile::GroupDelayStep step{interval,
                                      decimatedStepS(),
                                      disturbed,
                                      Fp32(kAccDisturbedDelayS),
                                      mobile::accelerometerDelayLimit(gyroError_),
                                      zro_.motion != 0,
                                      zro_.windowReported != 0};
    Vector3 input = sample_.accCalibrated;
    switch (mobile::updateGroupDelay(accDelay_, step)) {
    case GroupDelayInput_e::kRestartCurrent:
        accFilt_.init();
        break;
    case GroupDelayInput_e::kStillMean:
        input = meansOf(zroFromStable_.detector(), 3);
        break;
    default:
        break;
    }

    Fp32 noise;
    Fp32 residual;
    accFilt_.process(interval, static_cast<std::uint32_t>(periods_.accelerometerUs), accDelay_.coefficient,
                     input, gyroInteg_.quaternion(), filteredAcc_, noise, residual);
    if (accDelay_.state == GroupDelay::kGrowingAfterGap) {
        accResidual_ = Fp32(kAccGapResidual);
    } else if (accDelay_.state == GroupDelay::kStill) {
        accResidual_ = min(noise, Fp32(kAccStillResidual));
        if (noise <= Fp32(kAccStillResidual))
            accDelay_.state = GroupDelay::kSettled;
    } else {
        accResidual_ = noise;
    }
}

void SensorFusionMobile::processMag()
{
    Quaternion q = gyroInteg_.quaternion();
    Fp32 noise = magNoise_;
    if (periods_.gyroscopeUs < 1) {
        // No gyroscope: no rate and no orientation to collect points by.
        sample_.rs = Vector3{Fp32(Fp32::kMax), Fp32(Fp32::kMax), Fp32(Fp32::kMax)};
        q = Quaternion{};
        noise = cal_.output().rsStableParam.infNorm();
    }
    const Fp32 gravity = filteredAcc_.infNorm();
    const bool referenceValid = periods_.gyroscopeUs > 0 && gravity > Fp32(kMinGravity) &&
                                gravity < Fp32(kMaxGravity) && accDelay_.isSettled();
    const Vector3 reference = referenceValid ? filteredAcc_ : Vector3{};
    magCal_.process(seconds(periods_.magnetometerUs), dynamicCalibration(kUseMagnetometer), noise,
                    sample_.mag, sample_.rs, q, reference, referenceValid, &mag_);
    if (dynamicCalibration(kUseMagnetometer))
        zroFromStable_.updateMagWorstDrift(mag_.fieldStrength);
}

void SensorFusionMobile::processDecimatedGyro()
{
    const bool headingBad = mag_.externalAccuracy > Fp32(kMagDisturbedHeadingRad);
    const mobile::GroupDelayStep step{0,
                                      decimatedStepS(),
                                      headingBad,
                                      -decimatedStepS(),
                                      mobile::magnetometerDelayLimit(gyroError_),
                                      zro_.motion != 0,
                                      zro_.windowReported != 0 && !headingBad};
    Vector3 input = mag_.calibratedField;
    switch (mobile::updateGroupDelay(magDelay_, step)) {
    case GroupDelayInput_e::kRestartCurrent:
        magFilt_.init();
        break;
    case GroupDelayInput_e::kStillMean:
        input = meansOf(zroFromStable_.detector(), 6);
        break;
    default:
        break;
    }

    Fp32 noise;
    Fp32 residual;
    Vector3 filtered;
    magFilt_.process(0, static_cast<std::uint32_t>(periods_.magnetometerUs), magDelay_.coefficient, input,
                     gyroInteg_.quaternion(), filtered, noise, residual);
    // A field that suddenly weakens from its first value is a new field.
    if (previousFieldStrength_ == Fp32(1.0f) && mag_.fieldStrength < Fp32(kMagFieldDrop))
        magFilt_.init();
    previousFieldStrength_ = mag_.fieldStrength;

    const Fp32 level = noise + residual;
    if (magDelay_.state == GroupDelay::kGrowingAfterGap) {
        magResidual_ = Fp32(kMagGapResidual);
    } else if (magDelay_.state == GroupDelay::kStill) {
        magResidual_ = min(level, Fp32(kMagStillResidual));
        if (level <= Fp32(kMagStillResidual))
            magDelay_.state = GroupDelay::kSettled;
    } else {
        magResidual_ = level;
    }
    filteredMag_ = filtered;
    updateGyroIntegrationQuality();
}

void SensorFusionMobile::updateGyroIntegrationQuality()
{
    const bool calibrated = accCal_.calibrated();
    const std::uint8_t filterState = accDelay_.state;
    const Fp32 gyroPeriodS(static_cast<float>(periods_.gyroscopeUs) * 1e-6f);

    // A rate near the end of the gyroscope's range may have clipped: the
    // integrated frame stays suspect for a few seconds after it.
    const Fp32 limit = Fp32(cal_.output().rsFullScale) - Fp32(kSaturationMarginRadPerS);
    bool inRange = true;
    for (int i = 0; i < 3; ++i) {
        if (!(correctedRate_[i] > -limit && correctedRate_[i] < limit))
            inRange = false;
    }
    if (inRange) {
        if (saturationCounter_ > 0)
            --saturationCounter_;
    } else {
        const float hold = std::floor(kSaturationHoldS / gyroPeriodS.value());
        saturationCounter_ = hold >= 2147483647.0f ? 2147483647 : static_cast<std::int32_t>(hold);
    }

    bool reset = (calibrated && !previousCalibrated_) || saturationCounter_ == 1 ||
                 (filterState >= GroupDelay::kStill && previousAccFilterState_ < GroupDelay::kStill);
    if (!reset) {
        const bool tracking = filterState >= GroupDelay::kStill && saturationCounter_ <= 0 && calibrated &&
                              zro_.estimateWeight > Fp32(kSettledEstimateWeight);
        const bool still = zro_.windowReported != 0;
        if (still) {
            if (tracking) {
                // Compare the gyro-integrated frame with gravity.
                const Fp32 deviation =
                    accFilt_.getAccGyroFrameDeviation(filteredAcc_, gyroInteg_.quaternion());
                errorScale_ =
                    mobile::updateIntegrationErrorScale(errorScale_, deviation, accumulatedAngleRad_);
                sf_.setIntegrationErrorScale(errorScale_);
                sf6AG_.setIntegrationErrorScale(errorScale_);
            }
            reset = true;
        } else if (tracking) {
            accumulatedAngleRad_ += correctedRate_.norm() * gyroPeriodS;
        }
    }
    if (reset) {
        accumulatedAngleRad_ = Fp32(0.0f);
        accFilt_.resetAccGyroFrameRef(filteredAcc_, gyroInteg_.quaternion());
    }
    previousCalibrated_ = calibrated;
    previousAccFilterState_ = filterState;
}

void SensorFusionMobile::runRotationVector(std::uint32_t intervalUs)
{
    const Vector3 gyroError{gyroError_, Fp32(0.0f), Fp32(0.0f)};
    sf_.processDirect(intervalUs, filteredMag_, filteredAcc_, gyroError, accResidual_, magResidual_, mag_);
}

void SensorFusionMobile::runGameRotationVector(std::uint32_t intervalUs)
{
    // A fixed magnetic reference: only the tilt is corrected.
    static constexpr float kNoFieldResidual = 10.0f;
    MagnetometerAmplitudeCal::Output noField{};
    noField.externalAccuracy = Fp32(kPiF);
    noField.internalAccuracy = Fp32(kPiF);
    const Vector3 reference{Fp32(1.0f), Fp32(0.0f), Fp32(0.0f)};
    const Vector3 gyroError{gyroError_, Fp32(0.0f), Fp32(0.0f)};
    sf6AG_.processDirect(intervalUs, reference, filteredAcc_, gyroError, accResidual_, Fp32(kNoFieldResidual),
                         noField);
}

} // namespace vnx
