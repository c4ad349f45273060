// The staged scheduler of the mobile fusion engine: one short step per
// process call. Pending fusion and gyroscope outputs go first; then the
// processing stages run one per call from the stored stage, and the
// accelerometer and magnetometer outputs close the pass.

#include "common/statusCode.h"
#include "sensorFusionMobile/SensorFusionMobile.h"

namespace vnx {

namespace {

// A fusion whose last run is older than this (us) has fallen behind; its
// stages run before any more outputs.
constexpr std::uint32_t kStaleFusionUs = 124999;
// Fusion ticks served at once; a longer backlog is cut to one.
constexpr std::uint8_t kMaxPendingFusionTicks = 3;
// Number of calls the magnetometer solver spreads one solve over.
constexpr unsigned char kBackgroundStages = 4;

enum Stage_e : std::uint8_t
{
    kPreAccelerometer = 0,
    kAccelerometer = 1,
    kPreMagnetometer = 2,
    kMagnetometer = 3,
    kDecimatedGyroscope = 4,
    kRotationVector = 5,
    kGameRotationVector = 6,
    kDecimatedOutputs = 7,
    kOutputsWritten = 8,
};

} // namespace

int SensorFusionMobile::process(vnx_Mobile_Output_s* out, std::uint8_t* flag)
{
    if (flag != nullptr)
        *flag = 0;
    if (out == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    out->validBits = 0;
    out->stabilityFlags = 0;
    out->accuracyLow = 0xFFFFFFFFu;
    out->accuracyHigh = 0xFFFFFFFFu;

    const bool sfStale =
        enabled(VNX_MOBILE_BIT_ROTATION_VECTOR) && gyroTimeUs_ - lastRunSfUs_ > kStaleFusionUs;
    const bool sf6AGStale =
        enabled(VNX_MOBILE_BIT_GAME_ROTATION_VECTOR) && gyroTimeUs_ - lastRunSf6AGUs_ > kStaleFusionUs;
    if (!sfStale && !sf6AGStale) {
        if (pendingFusionTicks_ > 0) {
            if (pendingFusionTicks_ > kMaxPendingFusionTicks)
                pendingFusionTicks_ = 1;
            out->timeUs = gyroTimeUs_;
            outputFusion(*out);
            --pendingFusionTicks_;
            newData_ &= static_cast<std::uint8_t>(~kFusionTickPending);
            return VNX_STATUS_SUCCESS;
        }
        if (pendingGyroOutputs_ > 0) {
            out->timeUs = gyroTimeUs_;
            outputGyro(*out);
            pendingGyroOutputs_ = 0;
            return VNX_STATUS_SUCCESS;
        }
    }

    out->timeUs = lastReportUs_;
    if (stage_ == kOutputsWritten) {
        stage_ = kPreAccelerometer;
        return runBackground();
    }
    const bool due = (newData_ & kNewGyroscope) != 0 && decimationCounter_ >= decimation_;

    // Each stage that runs stores the next one and ends the call; a stage
    // whose condition fails falls through to the next.
    switch (stage_) {
    case kPreAccelerometer:
        if (due) {
            processDecimatedGyroPreAcc();
            stage_ = kAccelerometer;
            return VNX_STATUS_SUCCESS;
        }
        [[fallthrough]];
    case kAccelerometer:
        if ((newData_ & kNewAccelerometer) != 0) {
            processAccel();
            stage_ = kPreMagnetometer;
            return VNX_STATUS_SUCCESS;
        }
        [[fallthrough]];
    case kPreMagnetometer:
        if (due) {
            processDecimatedGyroPreMag();
            stage_ = kMagnetometer;
            return VNX_STATUS_SUCCESS;
        }
        [[fallthrough]];
    case kMagnetometer:
        if ((newData_ & kNewMagnetometer) != 0) {
            processMag();
            stage_ = kDecimatedGyroscope;
            return VNX_STATUS_SUCCESS;
        }
        [[fallthrough]];
    case kDecimatedGyroscope:
        if (due) {
            processDecimatedGyro();
            stage_ = kRotationVector;
            return VNX_STATUS_SUCCESS;
        }
        [[fallthrough]];
    case kRotationVector:
        if (!due)
            break;
        if (enabled(VNX_MOBILE_BIT_ROTATION_VECTOR)) {
            runRotationVector(gyroTimeUs_ - lastRunSfUs_);
            lastRunSfUs_ = gyroTimeUs_;
            stage_ = kGameRotationVector;
            return VNX_STATUS_SUCCESS;
        }
        [[fallthrough]];
    case kGameRotationVector:
        if (!due)
            break;
        if (enabled(VNX_MOBILE_BIT_GAME_ROTATION_VECTOR)) {
            runGameRotationVector(gyroTimeUs_ - lastRunSf6AGUs_);
            lastRunSf6AGUs_ = gyroTimeUs_;
            stage_ = kDecimatedOutputs;
            return VNX_STATUS_SUCCESS;
        }
        [[fallthrough]];
    case kDecimatedOutputs:
        if (!due)
            break;
        outputDecimatedGyro(*out);
        decimationCounter_ = 0;
        break;
    default:
        break;
    }
    return finishStep(*out);
}

int SensorFusionMobile::finishStep(vnx_Mobile_Output_s& out)
{
    if ((newData_ & kNewAccelerometer) != 0)
        outputAccel(out);
    if ((newData_ & kNewMagnetometer) != 0)
        outputMag(out);
    newData_ = 0;
    if (out.validBits != 0) {
        stage_ = kOutputsWritten;
        return VNX_STATUS_SUCCESS;
    }
    stage_ = kPreAccelerometer;
    return runBackground();
}

int SensorFusionMobile::runBackground()
{
    const bool worked = magCal_.backgroundProcess(kBackgroundStages, dynamicCalibration(kUseMagnetometer));
    return worked ? VNX_STATUS_SUCCESS : VNX_STATUS_WARNING_WAITING_FOR_FUSION;
}

} // namespace vnx
