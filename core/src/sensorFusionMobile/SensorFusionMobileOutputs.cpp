// Output writers of the mobile fusion engine: each fills the fields of its
// virtual sensors in the output record, in the client's frame, with their
// valid bits and accuracies.

#include <algorithm>

#include "numerics/numericConstants.h"
#include "sensorFusion/frameRotation.h"
#include "sensorFusionMobile/SensorFusionMobile.h"
#include "sensorFusionMobile/mobileAccuracy.h"
#include "sensorFusionMobile/mobileOutputFrame.h"
#include "sensorFusionMobile/mobileStability.h"

namespace vnx {

namespace {

using mobile::updateAccuracy;
using mobile::writeQuaternion;
using mobile::writeVector;
using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;

constexpr float kDegPerRad = 57.29578f;
// Internal magnetometer unit to uT.
constexpr float kMicroTeslaPerUnit = 100.0f;
// Gravity the rotation vector carries into the device frame while the
// accelerometer filter settles, m/s^2.
constexpr float kGravity = 9.8f;
// Time constant (s) of each stage of the geomagnetic pre-filters.
constexpr float kGeomagneticTauS = 0.125f;
// Heading error (deg) up to which the field teaches the inclination.
constexpr float kInclinationHeadingDeg = 20.0f;
// Weight of the field change in the geomagnetic accuracy.
constexpr float kFieldChangeWeight = 0.25f;

Fp32 clampAngle(Fp32 a)
{
    // NaN counts as unknown (pi).
    if (!(a >= Fp32(0.0f)))
        return a < Fp32(0.0f) ? Fp32(0.0f) : Fp32(kPiF);
    return min(a, Fp32(kPiF));
}

} // namespace

void SensorFusionMobile::outputFusion(vnx_Mobile_Output_s& out)
{
    if (enabled(VNX_MOBILE_BIT_ROTATION_VECTOR)) {
        writeQuaternion(reorientation_, sf_.quaternion(), out.rotationVector);
        const Fp32 accuracy = clampAngle(sf_.getAccuracy(mag_));
        out.rotationVectorAccuracy = accuracy.value();
        rotationVectorAccuracy_ =
            mobile::get2BitAccuracyWithHysteresis(accuracy.value() * kDegPerRad, rotationVectorAccuracy_);
        updateAccuracy(out, VNX_MOBILE_BIT_ROTATION_VECTOR, rotationVectorAccuracy_);
        out.validBits |= VNX_MOBILE_BIT_ROTATION_VECTOR;
    }
    if (enabled(VNX_MOBILE_BIT_GAME_ROTATION_VECTOR)) {
        writeQuaternion(reorientation_, sf6AG_.quaternion(), out.gameRotationVector);
        out.gameRotationVectorAccuracy = 0.0f;
        out.validBits |= VNX_MOBILE_BIT_GAME_ROTATION_VECTOR;
    }
}

void SensorFusionMobile::outputGyro(vnx_Mobile_Output_s& out)
{
    const std::uint8_t accuracy = mobile::get2BitZroAccuracy(zro_.estimateWeight.value());
    if (enabled(VNX_MOBILE_BIT_UNCALIBRATED_ROTATION_RATE)) {
        writeVector(reorientation_, sample_.rs, out.uncalibratedRotationRate);
        writeVector(reorientation_, zro_.zro, out.rotationRateBias);
        updateAccuracy(out, VNX_MOBILE_BIT_UNCALIBRATED_ROTATION_RATE, accuracy);
        out.validBits |= VNX_MOBILE_BIT_UNCALIBRATED_ROTATION_RATE;
    }
    if (enabled(VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE)) {
        writeVector(reorientation_, correctedRate_, out.rotationRate);
        updateAccuracy(out, VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE, accuracy);
        out.validBits |= VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE;
    }
}

void SensorFusionMobile::outputDecimatedGyro(vnx_Mobile_Output_s& out)
{
    const bool gravityOn = enabled(VNX_MOBILE_BIT_GRAVITY);
    const bool linearOn = enabled(VNX_MOBILE_BIT_LINEAR_ACCELERATION);
    if (gravityOn || linearOn) {
        // Until the filter has settled, gravity comes from the orientation.
        const Vector3 g = accDelay_.isSettled()
                              ? filteredAcc_
                              : sensorFusion::rotateByConjugate(
                                    sf_.quaternion(), Vector3{Fp32(0.0f), Fp32(0.0f), Fp32(-kGravity)});
        if (gravityOn) {
            writeVector(reorientation_, g, out.gravity);
            out.validBits |= VNX_MOBILE_BIT_GRAVITY;
        }
        if (linearOn) {
            writeVector(reorientation_, sample_.accCalibrated - g, out.linearAcceleration);
            out.validBits |= VNX_MOBILE_BIT_LINEAR_ACCELERATION;
        }
    }
    if (enabled(VNX_MOBILE_BIT_STABILITY)) {
        const mobile::StabilityInputs in{zro_.onTableOverride != 0, isStable_.getIsStable(), zro_.motion != 0,
                                         zro_.windowReported != 0, zro_.windowWeight};
        stabilityClass_ = mobile::updateStabilityClassification(stabilityClass_, in);
        out.stabilityClass = stabilityClass_;
        bool event = false;
        isStable_.process(gyroTimeUs_ - lastRunStabilityUs_, correctedRate_, &event);
        lastRunStabilityUs_ = gyroTimeUs_;
        out.stabilityFlags =
            static_cast<std::uint8_t>((zro_.onTableOverride != 0 ? VNX_MOBILE_STABILITY_STATIONARY : 0) |
                                      (event ? VNX_MOBILE_STABILITY_EVENT : 0));
        out.validBits |= VNX_MOBILE_BIT_STABILITY;
    }
}

void SensorFusionMobile::outputAccel(vnx_Mobile_Output_s& out)
{
    if (enabled(VNX_MOBILE_BIT_GEOMAGNETIC_ROTATION_VECTOR)) {
        const Fp32 alpha =
            IIR_DoubleAlphaFilterClass::alphaFor(seconds(periods_.accelerometerUs), Fp32(kGeomagneticTauS));
        accIir_.process(accDelta_, static_cast<std::uint32_t>(periods_.accelerometerUs), alpha,
                        sample_.accCalibrated, geoAcc_);
    }
    if (enabled(VNX_MOBILE_BIT_ACCELEROMETER)) {
        writeVector(reorientation_, sample_.accCalibrated, out.accelerometer);
        // Accuracy 3 once an offset was learned, else 2.
        updateAccuracy(out, VNX_MOBILE_BIT_ACCELEROMETER, accCal_.calibrated() ? 3 : 2);
        out.validBits |= VNX_MOBILE_BIT_ACCELEROMETER;
    }
}

void SensorFusionMobile::outputMag(vnx_Mobile_Output_s& out)
{
    const Fp32 headingErrorDeg = mag_.externalAccuracy * Fp32(kDegPerRad);
    const bool calibratedOn = enabled(VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER);
    const bool uncalibratedOn = enabled(VNX_MOBILE_BIT_UNCALIBRATED_MAGNETOMETER);
    if (calibratedOn || uncalibratedOn) {
        magnetometerAccuracy_ =
            mobile::get2BitAccuracyWithHysteresis(headingErrorDeg.value(), magnetometerAccuracy_);
    }
    const Fp32 toMicroTesla(kMicroTeslaPerUnit);
    if (calibratedOn) {
        writeVector(reorientation_, mag_.calibratedField * toMicroTesla, out.magnetometer);
        out.magnetometerHeadingErrorDeg = headingErrorDeg.value();
        updateAccuracy(out, VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER, magnetometerAccuracy_);
        out.validBits |= VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER;
    }
    if (uncalibratedOn) {
        writeVector(reorientation_, (mag_.calibratedField + mag_.offset) * toMicroTesla,
                    out.uncalibratedMagnetometer);
        writeVector(reorientation_, mag_.offset * toMicroTesla, out.magnetometerBias);
        updateAccuracy(out, VNX_MOBILE_BIT_UNCALIBRATED_MAGNETOMETER, magnetometerAccuracy_);
        out.validBits |= VNX_MOBILE_BIT_UNCALIBRATED_MAGNETOMETER;
    }
    if (enabled(VNX_MOBILE_BIT_GEOMAGNETIC_ROTATION_VECTOR)) {
        const Fp32 periodS = seconds(periods_.magnetometerUs);
        geoMagPrevious_ = geoMag_;
        magIir_.process(magDelta_, static_cast<std::uint32_t>(periods_.magnetometerUs),
                        IIR_DoubleAlphaFilterClass::alphaFor(periodS, Fp32(kGeomagneticTauS)),
                        mag_.calibratedField, geoMag_);
        if (headingErrorDeg <= Fp32(kInclinationHeadingDeg)) {
            inclAngFromStable_.updateMagWorstDrift(mag_.fieldStrength);
            inclAngFromStable_.process(mag_.calibratedField, sample_.accCalibrated, &incl_);
        }
        Quaternion q;
        sf9AM_.process(periodS, magDelta_, headingErrorDeg, Fp32(incl_.estimate), geoAcc_, geoMag_, q);
        writeQuaternion(reorientation_, q, out.geomagneticRotationVector);
        Fp32 accuracy;
        SensorFusionTwoRotation9AM::getAccuracy(periodS, Fp32(kFieldChangeWeight), headingErrorDeg, geoMag_,
                                                geoMagPrevious_, accuracy);
        out.geomagneticRotationVectorAccuracy = clampAngle(accuracy).value();
        out.validBits |= VNX_MOBILE_BIT_GEOMAGNETIC_ROTATION_VECTOR;
    }
}

} // namespace vnx
