// Sample reports of the mobile fusion engine: each stores one raw sample,
// converts it and tells the zero-rate estimator; a gyroscope sample also
// integrates the corrected rate and, on the first sample after a reset, runs
// every processing stage at once.

#include <cmath>

#include "common/statusCode.h"
#include "sensorFusionMobile/SensorFusionMobile.h"
#include "sensorFusionMobile/mobileGroupDelay.h"

namespace vnx {

namespace {

using qdVectorFixed::Vector3;

// The accelerometer goes to the rate and stillness paths clamped to 2 g.
constexpr float kAccClampMps2 = 19.6f;

std::uint8_t incrementSaturated(std::uint8_t count)
{
    return count == 0xFF ? count : static_cast<std::uint8_t>(count + 1);
}

} // namespace

void SensorFusionMobile::stampReport(std::uint32_t timeUs, std::int32_t periodUs, std::uint32_t& sensorTimeUs,
                                     std::uint32_t& sensorDelta)
{
    lastReportUs_ = timeUs;
    std::uint32_t delta = timeUs - sensorTimeUs;
    sensorTimeUs = timeUs;
    if (!rawTimestamps_) {
        // Jittery time stamps are rounded to whole periods.
        const std::uint32_t p = static_cast<std::uint32_t>(periodUs);
        const std::uint32_t h = delta + p / 2u;
        delta = h - h % p;
    }
    sensorDelta = sensorDelta == kDeltaInvalid ? kDeltaFirst : delta;
}

int SensorFusionMobile::reportAcc(std::uint32_t timeUs, std::int16_t x, std::int16_t y, std::int16_t z)
{
    if (periods_.accelerometerUs < 1)
        return VNX_STATUS_NOT_ACTIVE;
    stampReport(timeUs, periods_.accelerometerUs, accTimeUs_, accDelta_);
    rawAccOr_ = static_cast<std::uint16_t>(rawAccOr_ | static_cast<std::uint16_t>(x) |
                                           static_cast<std::uint16_t>(y) | static_cast<std::uint16_t>(z));

    const FixedPointCal::Output& cal = cal_.output();
    interpret_.accInterpret(cal, RawTriple{x, y, z}, sample_.accCalibrated, sample_.flags);
    // The estimator gets the clamped vector of the previous report.
    zroFromStable_.reportAcc(timeUs, dynamicCalibration(kUseMagnetometer), sample_.acc,
                             static_cast<std::int16_t>(rawAccOr_));
    if (dynamicCalibration(kUsePlanarCalibration)) {
        accPlanarCal_.applyCal(sample_.accCalibrated, &sample_.accCalibrated);
    } else {
        accCal_.applyCal(sample_.accCalibrated, &sample_.accCalibrated);
    }
    const Fp32 limit(kAccClampMps2);
    for (int i = 0; i < 3; ++i)
        sample_.acc[i] = min(max(sample_.accCalibrated[i], -limit), limit);
    newData_ |= kNewAccelerometer;
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::reportMag(std::uint32_t timeUs, std::int16_t x, std::int16_t y, std::int16_t z)
{
    if (periods_.magnetometerUs < 1)
        return VNX_STATUS_NOT_ACTIVE;
    stampReport(timeUs, periods_.magnetometerUs, magTimeUs_, magDelta_);

    interpret_.magInterpret(cal_.output(), RawTriple{x, y, z}, sample_.mag, sample_.flags);
    if (dynamicCalibration(kUseMagnetometer)) {
        Vector3 calibrated;
        magCal_.applyCalExternal(sample_.mag, &calibrated);
        zroFromStable_.reportMag(timeUs, calibrated, mag_.fieldStrength);
    }
    // A magnetometer sample is of use only beside a valid accelerometer.
    if (periods_.accelerometerUs < 1 || accDelta_ != kDeltaInvalid) {
        newData_ |= kNewMagnetometer;
    } else {
        magDelta_ = kDeltaInvalid;
    }
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::reportGyro(std::uint32_t timeUs, std::int16_t x, std::int16_t y, std::int16_t z,
                                   std::int16_t temperature)
{
    if (periods_.gyroscopeUs < 1)
        return VNX_STATUS_NOT_ACTIVE;
    lastReportUs_ = timeUs;
    std::uint32_t delta = timeUs - gyroTimeUs_;
    gyroTimeUs_ = timeUs;
    pendingGyroOutputs_ = incrementSaturated(pendingGyroOutputs_);

    const FixedPointCal::Output& cal = cal_.output();
    if (!rawTimestamps_) {
        // Whole periods, each period scaled as the calibration says.
        const std::uint32_t p = static_cast<std::uint32_t>(periods_.gyroscopeUs);
        const std::uint32_t n = (delta + p / 2u) / p;
        const float scaled = std::round(static_cast<float>(p) * cal.periodScale);
        delta = static_cast<std::uint32_t>(scaled) * n;
    }
    if (gyroDelta_ == kDeltaInvalid) {
        gyroDelta_ = kDeltaFirst;
    } else {
        gyroDelta_ = delta;
        if (delta >= mobile::kGroupDelayGapUs) {
            // A pause in the gyroscope stream: sensors that paused too are
            // no longer valid, and decimation starts over.
            if (timeUs - accTimeUs_ >= mobile::kGroupDelayGapUs)
                accDelta_ = kDeltaInvalid;
            if (timeUs - magTimeUs_ >= mobile::kGroupDelayGapUs)
                magDelta_ = kDeltaInvalid;
            decimationCounter_ = 0;
        }
    }

    interpret_.rsInterpret(cal, RawTriple{x, y, z}, sample_.acc, sample_.rs, sample_.flags);
    // The estimator gets the temperature of the previous report.
    zroFromStable_.reportRs(timeUs, dynamicCalibration(kUseMagnetometer), sample_.rs, sample_.temperature);
    interpret_.tempInterpret(cal, temperature, sample_.temperature);

    const bool magOk = periods_.magnetometerUs < 1 || magDelta_ != kDeltaInvalid;
    if (accDelta_ == kDeltaInvalid || !magOk) {
        // Without its companions the sample restarts nothing; the next valid
        // one starts as the first after a reset.
        gyroDelta_ = kDeltaInvalid;
        return VNX_STATUS_SUCCESS;
    }
    if (gyroDelta_ != kDeltaFirst) {
        integrate();
        decimationCounter_ = incrementSaturated(decimationCounter_);
    } else {
        restartAfterReset();
    }
    newData_ |= kNewGyroscope;
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::reportFusionTick(std::uint32_t /*timeUs*/)
{
    if (periods_.fusionUs < 1)
        return VNX_STATUS_NOT_ACTIVE;
    if (gyroDelta_ == kDeltaInvalid)
        return VNX_STATUS_SUCCESS;
    newData_ |= kFusionTickPending;
    pendingFusionTicks_ = incrementSaturated(pendingFusionTicks_);
    return VNX_STATUS_SUCCESS;
}

void SensorFusionMobile::integrate()
{
    if (zro_.onTableOverride != 0) {
        // At rest the whole rate is offset.
        correctedRate_ = Vector3{};
        zro_.zro = sample_.rs;
    } else {
        correctedRate_ = sample_.rs - zro_.zro;
    }
    gyroInteg_.process(gyroDelta_, correctedRate_);
    if (enabled(VNX_MOBILE_BIT_ROTATION_VECTOR))
        sf_.integrateGyro(gyroDelta_, correctedRate_);
    if (enabled(VNX_MOBILE_BIT_GAME_ROTATION_VECTOR))
        sf6AG_.integrateGyro(gyroDelta_, correctedRate_);
}

void SensorFusionMobile::restartAfterReset()
{
    // Everything at once, so the fusions restart from a consistent state.
    processDecimatedGyroPreAcc();
    processAccel();
    processDecimatedGyroPreMag();
    processMag();
    processDecimatedGyro();
    if (enabled(VNX_MOBILE_BIT_ROTATION_VECTOR))
        runRotationVector(kDeltaInvalid);
    if (enabled(VNX_MOBILE_BIT_GAME_ROTATION_VECTOR))
        runGameRotationVector(kDeltaInvalid);
    lastRunSfUs_ = gyroTimeUs_;
    lastRunSf6AGUs_ = gyroTimeUs_;
    integrate();
    decimationCounter_ = decimation_;
}

} // namespace vnx
