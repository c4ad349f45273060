#include "sensorFusionMobile/SensorFusionMobile.h"

#include <algorithm>
#include <cstring>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "gyroBias/rsChannels.h"
#include "numerics/numericConstants.h"
#include "sensorFusionMobile/mobileIntegrationScale.h"
#include "sensorFusionMobile/mobilePeriods.h"
#include "sensorFusionMobile/mobileReorientation.h"

namespace vnx {

namespace {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;

// Defaults of the configuration record.
constexpr float kDefaultReorientationW = 10000.0f;
constexpr std::int16_t kDefaultStabilityTimeS = 3;
constexpr float kDefaultStabilityThreshold = 1.0f;
constexpr float kDefaultClientThreshold = 0.2f;

// Inclination term (unit gravity . unit field) before anything is learned.
constexpr float kDefaultInclination = -0.76f;

// Warm-up of BiasCorrectMin from a stored offset: samples, interval and
// period (us), and the acceleration of a device lying flat (m/s^2).
constexpr int kWarmUpSamples = 128;
constexpr std::uint32_t kWarmUpIntervalUs = 10000;
constexpr float kWarmUpGravity = -9.8f;
// Bit of the calibration's device kind that asks for the warm-up.
constexpr std::uint16_t kDeviceKindWarmUp = 2;

// Settled group delays: 0.25 s for a quiet sensor, longer for a noisy one.
constexpr float kSettledDelayS = 0.25f;
constexpr float kQuietAccNoise = 0.03f;  // m/s^2
constexpr float kQuietMagNoise = 0.003f; // field units
constexpr float kLongestSettledAccDelayS = 1.0f;

} // namespace

SensorFusionMobile::SensorFusionMobile()
{
    NodeManager& nodes = NodeManager::getInstance();
    const auto add = [&](const void* child, const char* name) {
        nodes.addNode(this, child, NodeInterface::NODE_SUBNODE, name);
    };
    add(&interpret_, "Interpret");
    add(&zroFromStable_, "ZroFromStable");
    add(&biasCorrectMin_, "BiasCorrectMin");
    add(&cal_, "Cal");
    add(&magCal_, "MagCal");
    add(&magFilt_, "magFilt");
    add(&accCal_, "accCal");
    add(&accPlanarCal_, "accPlanarCal");
    add(&accFilt_, "accFilt");
    add(&gyroInteg_, "gyroInteg");
    add(&sf_, "sf");
    add(&sf6AG_, "sf6AG");
    add(&sf9AM_, "sf9AM");
    add(&inclAngFromStable_, "inclAngFromStable");
    errorScale_ = Fp32(mobile::kDefaultIntegrationErrorScale);
}

SensorFusionMobile::~SensorFusionMobile()
{
    // The engine's node (or the placeholder its children wait under) goes
    // with every node below it.
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

int SensorFusionMobile::getDefaults(vnx_Mobile_Configuration_s* config)
{
    if (config == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    config->scd = nullptr;
    config->scdSize = 0;
    config->dcd = nullptr;
    config->dcdSize = 0;
    config->reorientation = {0.0f, 0.0f, 0.0f, kDefaultReorientationW};
    config->stabilityTimeS = kDefaultStabilityTimeS;
    config->stabilityThreshold = kDefaultStabilityThreshold;
    config->clientThreshold = kDefaultClientThreshold;
    config->clientWord = 0;
    std::memset(config->clientBytes, 0, sizeof config->clientBytes);
    config->rawTimestamps = 0;
    return VNX_STATUS_SUCCESS;
}

Fp32 SensorFusionMobile::decimatedStepS() const
{
    return Fp32(static_cast<float>(decimation_) * static_cast<float>(periods_.gyroscopeUs) * 1e-6f);
}

int SensorFusionMobile::init(const vnx_Mobile_Configuration_s& config)
{
    // 0. A reorientation that cannot be used is refused before anything
    // changes.
    if (!mobile::reorientationIsUsable(config.reorientation))
        return VNX_STATUS_INVALID_PARAMETER;

    // 1. The SCD, copied and checked once. A buffer shorter than the block is
    // refused before anything reads past its end.
    if (cal_.verifyAndInit(acceptScd(config.scd, config.scd != nullptr ? config.scdSize : 0)) !=
        VNX_STATUS_SUCCESS)
        return VNX_STATUS_INVALID_SCD;
    const FixedPointCal::Output& cal = cal_.output();

    // 2. Reorientation: the configured one turns the calibration.
    reorientation_ = Quaternion::identity();
    if (mobile::reorientationFromClient(config.reorientation, configuredReorientation_)) {
        cal_.applyReorientation(configuredReorientation_);
    }

    // 3. Devices of kind 1 have three gyroscope axes, the others two (y, z).
    const std::uint8_t rsChannels = clampRsChannels(cal.deviceKind == 1 ? 3u : 2u);

    // 4. The DCD.
    const AcceptedDcd chosen = chooseDcd(config);
    const dcdAlg4MinFixedInnards_s* innards = chosen.innards();
    const dcdAlg49AxisFixed_s* dcd49 = chosen.nineAxis();

    // 5. Periods, interpretation and the two zero-rate estimators.
    periods_ = {};
    interpret_.init();
    zroFromStable_.init(cal, innards, true);
    zro_.zro = Vector3{};
    zro_.zroVariance = Vector3{};
    zro_.estimateWeight = Fp32(0.0f);
    zro_.windowWeight = Fp32(0.0f);
    zro_.motion = 0;
    zro_.onTableOverride = 0;
    zro_.windowReported = 0;
    biasCorrectMin_.init(cal, innards, true, rsChannels);

    // 6. A stored offset of a device that asks for it warms BiasCorrectMin up.
    if (innards != nullptr && (cal.deviceKind & kDeviceKindWarmUp) != 0)
        warmUpBiasCorrectMin(*innards);

    // 7. Integrator, accelerometer filter and integration quality.
    gyroInteg_.init();
    accFilt_.init();
    accDelay_.delayS = decimatedStepS();
    accDelay_.state = mobile::GroupDelay::kGrowingAfterGap;
    accumulatedAngleRad_ = Fp32(0.0f);
    saturationCounter_ = 0;
    previousCalibrated_ = false;
    previousAccFilterState_ = 0;

    // 8. Integration error scale, learned or default.
    errorScale_ = Fp32(mobile::kDefaultIntegrationErrorScale);
    if (dcd49 != nullptr) {
        float stored;
        std::memcpy(&stored, &dcd49->mobileWord, sizeof stored);
        if (stored != 0.0f)
            errorScale_ = Fp32(stored);
    }
    sf_.setIntegrationErrorScale(errorScale_);
    sf6AG_.setIntegrationErrorScale(errorScale_);

    // 9. Settled group delays from the sensor noise.
    const Fp32 accNoise = cal.accNoise.infNorm();
    accDelay_.settledS = min(Fp32(kLongestSettledAccDelayS),
                             Fp32(kSettledDelayS) * max(Fp32(1.0f), accNoise / Fp32(kQuietAccNoise)));
    const Fp32 magNoise = cal.rsStableParam.infNorm();
    magDelay_.settledS = Fp32(kSettledDelayS) * max(Fp32(1.0f), magNoise / Fp32(kQuietMagNoise));

    // 10. Report times, the magnetometer calibration and filter.
    accDelta_ = kDeltaInvalid;
    gyroDelta_ = kDeltaInvalid;
    accTimeUs_ = gyroTimeUs_ = magTimeUs_ = 0;
    lastRunSfUs_ = lastRunSf6AGUs_ = lastRunStabilityUs_ = lastRunPreAccUs_ = lastRunPreMagUs_ = 0;
    rawTimestamps_ = config.rawTimestamps != 0;
    magCal_.init(cal, dcd49 != nullptr ? &dcd49->magAmpCal : nullptr);
    magFilt_.init();
    magDelay_.delayS = decimatedStepS();
    magDelay_.state = mobile::GroupDelay::kGrowingAfterGap;
    magDelta_ = kDeltaInvalid;

    // 11. Accelerometer calibrations.
    const dcdAccOffsetCal_s* accPart = dcd49 != nullptr ? &dcd49->accOffsetCal : nullptr;
    accCal_.init(cal, accPart);
    accPlanarCal_.init(cal, accPart);

    // 12. Fusions.
    sf_.init();
    sf6AG_.init();
    sf9AM_.init();

    // 13. Window flags, accelerometer range, magnetometer output.
    zro_.windowWeight = Fp32(0.0f);
    zro_.motion = 0;
    zro_.windowReported = 0;
    accFullScale_ = Fp32(cal.accFullScale);
    mag_ = MagnetometerAmplitudeCal::Output{};
    mag_.externalAccuracy = Fp32(kPiF);
    mag_.internalAccuracy = Fp32(kPiF);
    previousFieldStrength_ = Fp32(1.0f);

    // 14. Stability detector.
    isStable_.init(config.stabilityTimeS, Fp32(config.stabilityThreshold));

    // 15. Sample, scheduling and output state.
    sample_.acc = Vector3{};
    sample_.rs = Vector3{};
    sample_.mag = Vector3{};
    sample_.accCalibrated = Vector3{};
    correctedRate_ = Vector3{};
    filteredMag_ = Vector3{};
    filteredAcc_ = Vector3{};
    newData_ = 0;
    dynamicCalibration_ = 0xFF;
    stage_ = 0;
    rawAccOr_ = 0;
    accIir_.reset();
    magIir_.reset();
    geoAcc_ = geoMag_ = geoMagPrevious_ = Vector3{};
    incl_ = InclAngFromStable::Output{};
    incl_.estimate = kDefaultInclination;
    inclAngFromStable_.init(cal, innards, true);
    rotationVectorAccuracy_ = 0;
    magnetometerAccuracy_ = 0;
    stabilityClass_ = 0;
    decimation_ = 1;
    decimationCounter_ = 0;
    pendingGyroOutputs_ = 0;
    pendingFusionTicks_ = 0;
    refreshMagnetometerNoise();

    // 16.
    return dcdStatus(config, chosen);
}

AcceptedDcd SensorFusionMobile::chooseDcd(const vnx_Mobile_Configuration_s& config) const
{
    // Each form is read only when the buffer holds all of it.
    return acceptDcd(config.dcd, config.dcd != nullptr ? config.dcdSize : 0, cal_.output().scdCrc);
}

/// The engine's DCD status: as the shared check says, except that no DCD at
/// all (none given, a buffer shorter than a head, or a size word of 0) is
/// no warning.
int SensorFusionMobile::dcdStatus(const vnx_Mobile_Configuration_s& config, const AcceptedDcd& chosen)
{
    if (chosen.status() != VNX_STATUS_WARNING_INVALID_DCD)
        return chosen.status();
    if (config.dcd == nullptr || config.dcdSize < sizeof(vnx_dcdData_s))
        return VNX_STATUS_SUCCESS;
    vnx_dcdData_s head;
    std::memcpy(&head, config.dcd, sizeof head);
    return head.size != 0 ? VNX_STATUS_WARNING_INVALID_DCD : VNX_STATUS_SUCCESS;
}

void SensorFusionMobile::warmUpBiasCorrectMin(const dcdAlg4MinFixedInnards_s& innards)
{
    Interpret::Output warm{};
    warm.acc = Vector3{Fp32(0.0f), Fp32(0.0f), Fp32(kWarmUpGravity)};
    warm.accCalibrated = warm.acc;
    warm.rs = Vector3{Fp32(innards.zro[0]), Fp32(innards.zro[1]), Fp32(innards.zro[2])};
    warm.temperature = Fp32(innards.temperature);
    for (int i = 0; i < kWarmUpSamples; ++i) {
        biasCorrectMin_.process(kWarmUpIntervalUs, kWarmUpIntervalUs, warm, bcm_);
    }
}

void SensorFusionMobile::refreshMagnetometerNoise()
{
    // The zero-rate estimator's magnetometer noise level changes only at
    // init and with a still window.
    magNoise_ = zroFromStable_.magNoiseLevel();
}

int SensorFusionMobile::enableOutputPeriodsAndDeriveInputPeriods(
    const vnx_Mobile_VirtualSensorPeriods_s& requested, vnx_Mobile_PhysicalSensorPeriods_s* derived)
{
    const mobile::DerivedPeriods d = mobile::deriveInputPeriods(requested);
    enabledOutputs_ = d.enabledOutputs;
    if (derived != nullptr)
        *derived = d.physical;
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::setInputPeriods(const vnx_Mobile_PhysicalSensorPeriods_s& periods)
{
    periods_ = periods;
    if (periods.magnetometerUs == 0) {
        magDelta_ = kDeltaInvalid;
        magCal_.reset();
    }
    if (periods.accelerometerUs == 0) {
        accDelta_ = kDeltaInvalid;
        rawAccOr_ = 0;
    }
    if (periods.gyroscopeUs <= 0) {
        gyroDelta_ = kDeltaInvalid;
    } else {
        decimation_ = mobile::decimationFactor(periods.gyroscopeUs);
        decimationCounter_ = 0;
    }
    const Fp32 decimated = decimatedStepS();
    zroFromStable_.updatePeriods(decimated, seconds(periods.accelerometerUs), seconds(periods.magnetometerUs),
                                 decimated);
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::getEffectiveOutputPeriods(const vnx_Mobile_PhysicalSensorPeriods_s& periods,
                                                  vnx_Mobile_VirtualSensorPeriods_s* effective) const
{
    if (effective != nullptr)
        *effective = mobile::effectiveOutputPeriods(periods, enabledOutputs_, decimation_);
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::tareNow(std::uint8_t mode, std::uint8_t sensor)
{
    if (mode != kTareHeading && mode != kTareAllAxes)
        return VNX_STATUS_INVALID_PARAMETER;
    const Quaternion* q = nullptr;
    switch (sensor) {
    case kTareRotationVector:
        q = &sf_.quaternion();
        break;
    case kTareGameRotationVector:
        q = &sf6AG_.quaternion();
        break;
    case kTareGeomagneticRotationVector:
        q = &sf9AM_.quaternion();
        break;
    default:
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (mode == kTareAllAxes) {
        reorientation_ = mobile::tareAllAxes(*q);
    } else if (sensor == kTareGameRotationVector) {
        // The game rotation vector has no heading reference: clear its own.
        sf6AG_.tareAngPosZ();
    } else {
        reorientation_ = mobile::tareHeading(*q, reorientation_);
    }
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::getReorientation(vnx_Mobile_Quaternion_s* q) const
{
    if (q == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    *q = mobile::reportedReorientation(configuredReorientation_, reorientation_);
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::setReorientation(const vnx_Mobile_Quaternion_s& q)
{
    if (!mobile::reorientationIsUsable(q))
        return VNX_STATUS_INVALID_PARAMETER;
    reorientation_ = mobile::outputReorientation(configuredReorientation_, q);
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::setDynamicCalibrationEnable(std::uint8_t bits)
{
    // Turning the magnetometer on starts its calibration learning afresh.
    if ((bits & kUseMagnetometer) != 0 && !dynamicCalibration(kUseMagnetometer))
        magCal_.reset();
    dynamicCalibration_ = bits;
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::getDynamicCalibrationEnable(std::uint8_t* bits) const
{
    if (bits == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    *bits = dynamicCalibration_;
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::getDynamicCalibration(std::uint8_t* buffer, std::size_t size, std::size_t* written)
{
    if (buffer == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    if (size < VNX_DCD_ALG49AXISFIXED_SIZE)
        return VNX_STATUS_SIZE_TOO_SMALL;
    dcdAlg49AxisFixed_s dcd;
    dcdAlg49AxisFixedStart(&dcd);
    biasCorrectMin_.getDcd(dcd.innards);
    zroFromStable_.getPartialDcd(&dcd.innards);
    magCal_.getDcd(&dcd.magAmpCal);
    if (dynamicCalibration(kUsePlanarCalibration)) {
        accPlanarCal_.getDcd(&dcd.accOffsetCal);
    } else {
        accCal_.getDcd(&dcd.accOffsetCal);
    }
    const float k = errorScale_.value();
    std::memcpy(&dcd.mobileWord, &k, sizeof k);
    dcdAlg49AxisFixedSeal(&dcd, cal_.output().scdCrc);
    std::memcpy(buffer, &dcd, sizeof dcd);
    if (written != nullptr)
        *written = sizeof dcd;
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::tareAngPosZ()
{
    sf_.tareAngPosZ();
    return VNX_STATUS_SUCCESS;
}

int SensorFusionMobile::processLogOutputs(const vnx_Mobile_Output_s& /*out*/) const
{
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
