#pragma once

// Mobile fusion engine: raw accelerometer, gyroscope and magnetometer samples
// of one device in, calibrated motion and three orientations out (rotation
// vector, game rotation vector without magnetometer, geomagnetic rotation
// vector without gyroscope), with gravity, linear acceleration, a stability
// class and the learned calibration (DCD).
//
// Calling order: init; enableOutputPeriodsAndDeriveInputPeriods (or the
// client's own choice) and setInputPeriods; then per batch of samples the
// report* calls followed by process until it returns non-zero, consuming the
// output record after every SUCCESS. process runs one step of a staged
// scheduler per call, so no call does much work; a caller that stops early
// resumes at the stored stage.
//
// Times are unsigned 32-bit microseconds that wrap. One thread drives an
// instance; nothing is allocated after construction.

#include <cstddef>
#include <cstdint>

#include "accCalibration/AccelCalibration.h"
#include "accCalibration/AccelPlanarCalibration.h"
#include "calibration/FixedPointCal.h"
#include "calibration/dcdAcceptance.h"
#include "gyroBias/BiasCorrectMin.h"
#include "gyroBias/ZroFromStable.h"
#include "log/DefaultLogger.h"
#include "magCalibration/MagnetometerAmplitudeCal.h"
#include "moduleFactory/StaticMemoryManager.h"
#include "numerics/qdVectorFixed.h"
#include "sensorFusion/GyroIntegrator.h"
#include "sensorFusion/GyroStabilizedFilter.h"
#include "sensorFusion/InclAngFromStable.h"
#include "sensorFusion/SensorFusionTwoRotation9AM.h"
#include "sensorFusion/SensorFusionWeightedFusion.h"
#include "sensorFusionMobile/IIR_DoubleAlphaFilterClass.h"
#include "sensorFusionMobile/mobileGroupDelay.h"
#include "sensorFusionMobile/mobileRecords.h"
#include "sensorInterpretation/Interpret.h"
#include "statistics/IsStableMultiRate.h"

namespace vnx {

class SensorFusionMobile
{
    VNX_LOG_DEFAULT(SensorFusionMobile);

  public:
    using Vector3 = qdVectorFixed::Vector3;
    using Quaternion = qdVectorFixed::Quaternion;

    /// Dynamic-calibration enable bits.
    enum DynamicCalibration_e : std::uint8_t
    {
        kLearnAccelerometerOffset = 0x1, ///< AccelCalibration may learn
        kAlwaysUseBiasCorrectMin = 0x2,  ///< corrected rate always from BiasCorrectMin
        kUseMagnetometer = 0x4,          ///< the magnetometer takes part
        kUsePlanarCalibration = 0x8,     ///< AccelPlanarCalibration instead of AccelCalibration
    };

    /// Tare modes and sensors.
    static constexpr std::uint8_t kTareHeading = 4;
    static constexpr std::uint8_t kTareAllAxes = 7;
    static constexpr std::uint8_t kTareRotationVector = 0;
    static constexpr std::uint8_t kTareGameRotationVector = 1;
    static constexpr std::uint8_t kTareGeomagneticRotationVector = 2;

    /// Delta marks: no valid interval (sensor off or a gap), and the first
    /// report after an invalid one (for the gyroscope: after a reset).
    static constexpr std::uint32_t kDeltaInvalid = 0xFFFFFFFFu;
    static constexpr std::uint32_t kDeltaFirst = 0xFFFFFFFEu;

    /// New-data flags.
    static constexpr std::uint8_t kNewAccelerometer = 0x1;
    static constexpr std::uint8_t kNewMagnetometer = 0x2;
    static constexpr std::uint8_t kNewGyroscope = 0x4;
    static constexpr std::uint8_t kFusionTickPending = 0x20;

    SensorFusionMobile();
    ~SensorFusionMobile();
    SensorFusionMobile(const SensorFusionMobile&) = delete;
    SensorFusionMobile& operator=(const SensorFusionMobile&) = delete;

    /// The default configuration (reserved bytes are left as they are).
    static int getDefaults(vnx_Mobile_Configuration_s* config);

    /// SUCCESS, WARNING_DCD_SCD_MISMATCH (a DCD of another device, ignored),
    /// WARNING_INVALID_DCD (a corrupt DCD, ignored) or INVALID_SCD (nothing
    /// changed).
    int init(const vnx_Mobile_Configuration_s& config);

    int enableOutputPeriodsAndDeriveInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& requested,
                                                 vnx_Mobile_PhysicalSensorPeriods_s* derived);
    int setInputPeriods(const vnx_Mobile_PhysicalSensorPeriods_s& periods);
    int getEffectiveOutputPeriods(const vnx_Mobile_PhysicalSensorPeriods_s& periods,
                                  vnx_Mobile_VirtualSensorPeriods_s* effective) const;

    /// One raw sample; NOT_ACTIVE when the sensor's period is below 1.
    int reportAcc(std::uint32_t timeUs, std::int16_t x, std::int16_t y, std::int16_t z);
    int reportMag(std::uint32_t timeUs, std::int16_t x, std::int16_t y, std::int16_t z);
    int reportGyro(std::uint32_t timeUs, std::int16_t x, std::int16_t y, std::int16_t z,
                   std::int16_t temperature);
    int reportFusionTick(std::uint32_t timeUs);

    /// One scheduler step: SUCCESS (the output holds this step's results;
    /// call again) or WARNING_WAITING_FOR_FUSION (nothing left to do).
    /// *flag is always set to 0.
    int process(vnx_Mobile_Output_s* out, std::uint8_t* flag);

    /// INVALID_PARAMETER for a mode other than kTareHeading and
    /// kTareAllAxes or an unknown sensor.
    int tareNow(std::uint8_t mode, std::uint8_t sensor);
    int getReorientation(vnx_Mobile_Quaternion_s* q) const;
    int setReorientation(const vnx_Mobile_Quaternion_s& q);

    int setDynamicCalibrationEnable(std::uint8_t bits);
    int getDynamicCalibrationEnable(std::uint8_t* bits) const;
    /// Writes the 260-byte version-27 DCD; SIZE_TOO_SMALL below 260 bytes
    /// (the buffer is then untouched).
    int getDynamicCalibration(std::uint8_t* buffer, std::size_t size, std::size_t* written);

    /// Clears the heading of the rotation vector's fusion.
    int tareAngPosZ();
    /// Nothing to log.
    int processLogOutputs(const vnx_Mobile_Output_s& out) const;

    // Read access for owners and tests.
    std::uint32_t enabledOutputs() const { return enabledOutputs_; }
    std::uint8_t decimation() const { return decimation_; }
    std::uint8_t stage() const { return stage_; }
    const vnx_Mobile_PhysicalSensorPeriods_s& inputPeriods() const { return periods_; }
    const mobile::GroupDelay& accelerometerDelay() const { return accDelay_; }
    const mobile::GroupDelay& magnetometerDelay() const { return magDelay_; }
    std::uint32_t accelerometerDelta() const { return accDelta_; }
    std::uint32_t gyroscopeDelta() const { return gyroDelta_; }
    std::uint32_t magnetometerDelta() const { return magDelta_; }
    Fp32 integrationErrorScale() const { return errorScale_; }
    std::int32_t saturationCounter() const { return saturationCounter_; }
    Fp32 gyroscopeError() const { return gyroError_; }
    const Vector3& correctedRate() const { return correctedRate_; }
    const ZroFromStable::Output& zroOutput() const { return zro_; }
    const BiasCorrectMin& biasCorrector() const { return biasCorrectMin_; }
    const Quaternion& outputReorientation() const { return reorientation_; }
    const FixedPointCal::Output& calibration() const { return cal_.output(); }
    const SensorFusionWeightedFusion& rotationVectorFusion() const { return sf_; }
    const SensorFusionWeightedFusion& gameRotationVectorFusion() const { return sf6AG_; }
    const SensorFusionTwoRotation9AM& geomagneticFusion() const { return sf9AM_; }

    /// Every engine is made and destroyed through this pool.
    using Pool = StaticMemoryManager<SensorFusionMobile, -1>;

  private:
    bool enabled(std::uint32_t bit) const { return (enabledOutputs_ & bit) != 0; }
    bool dynamicCalibration(std::uint8_t bit) const { return (dynamicCalibration_ & bit) != 0; }
    /// Sensor period in seconds.
    static Fp32 seconds(std::int32_t periodUs) { return Fp32(static_cast<float>(periodUs) * 1e-6f); }
    /// Decimated gyroscope period in seconds.
    Fp32 decimatedStepS() const;

    // Init steps.
    /// The DCD status and the parts a DCD of this device supplies.
    AcceptedDcd chooseDcd(const vnx_Mobile_Configuration_s& config) const;
    static int dcdStatus(const vnx_Mobile_Configuration_s& config, const AcceptedDcd& chosen);
    void warmUpBiasCorrectMin(const dcdAlg4MinFixedInnards_s& innards);
    void refreshMagnetometerNoise();

    // Reports.
    /// Stores the report time and the sensor's delta (rounded to whole
    /// periods unless raw time stamps are configured).
    void stampReport(std::uint32_t timeUs, std::int32_t periodUs, std::uint32_t& sensorTimeUs,
                     std::uint32_t& sensorDelta);
    void integrate();
    void restartAfterReset();

    // Processing stages.
    void processDecimatedGyroPreAcc();
    void processAccel();
    void processDecimatedGyroPreMag();
    void processMag();
    void processDecimatedGyro();
    void updateGyroIntegrationQuality();
    void runRotationVector(std::uint32_t intervalUs);
    void runGameRotationVector(std::uint32_t intervalUs);
    int finishStep(vnx_Mobile_Output_s& out);
    int runBackground();

    // Output writers.
    void outputFusion(vnx_Mobile_Output_s& out);
    void outputGyro(vnx_Mobile_Output_s& out);
    void outputDecimatedGyro(vnx_Mobile_Output_s& out);
    void outputAccel(vnx_Mobile_Output_s& out);
    void outputMag(vnx_Mobile_Output_s& out);

    // Children, in the order of their nodes.
    Interpret interpret_;
    ZroFromStable zroFromStable_;
    BiasCorrectMin biasCorrectMin_;
    FixedPointCal cal_;
    MagnetometerAmplitudeCal magCal_;
    GyroStabilizedFilter magFilt_;
    AccelCalibration accCal_;
    AccelPlanarCalibration accPlanarCal_;
    GyroStabilizedFilter accFilt_;
    GyroIntegrator gyroInteg_;
    SensorFusionWeightedFusion sf_;
    SensorFusionWeightedFusion sf6AG_;
    SensorFusionTwoRotation9AM sf9AM_;
    InclAngFromStable inclAngFromStable_;
    IsStableMultiRate isStable_;
    IIR_DoubleAlphaFilterClass accIir_;
    IIR_DoubleAlphaFilterClass magIir_;

    // Periods and scheduling.
    vnx_Mobile_PhysicalSensorPeriods_s periods_{};
    std::uint32_t enabledOutputs_ = 0;
    std::uint8_t newData_ = 0;
    std::uint8_t dynamicCalibration_ = 0xFF;
    std::uint8_t decimation_ = 1;
    std::uint8_t decimationCounter_ = 0;
    std::uint8_t pendingGyroOutputs_ = 0;
    std::uint8_t stage_ = 0;
    std::uint8_t pendingFusionTicks_ = 0;
    bool rawTimestamps_ = false;

    // Report times and deltas.
    std::uint32_t accTimeUs_ = 0;
    std::uint32_t gyroTimeUs_ = 0;
    std::uint32_t magTimeUs_ = 0;
    std::uint32_t lastReportUs_ = 0;
    std::uint32_t accDelta_ = kDeltaInvalid;
    std::uint32_t gyroDelta_ = kDeltaInvalid;
    std::uint32_t magDelta_ = kDeltaInvalid;
    std::uint32_t lastRunSfUs_ = 0;
    std::uint32_t lastRunSf6AGUs_ = 0;
    std::uint32_t lastRunStabilityUs_ = 0;
    std::uint32_t lastRunPreAccUs_ = 0;
    std::uint32_t lastRunPreMagUs_ = 0;
    std::uint16_t rawAccOr_ = 0; // OR of every raw accelerometer count since the sensor was switched on

    // The current sample: accelerometer (clamped to +-19.6 m/s^2 in acc,
    // calibrated and unclamped in accCalibrated), rate, temperature,
    // magnetometer and the Interpret flags.
    Interpret::Output sample_{};
    Vector3 correctedRate_{}; // rad/s, rate - bias
    Vector3 filteredMag_{};
    Vector3 filteredAcc_{}; // m/s^2
    Fp32 gyroError_{};      // rad/s
    Fp32 accResidual_{};
    Fp32 magResidual_{};
    Fp32 accFullScale_{}; // m/s^2
    Fp32 magNoise_{};     // magnetometer noise level of the zero-rate estimator

    ZroFromStable::Output zro_{};
    BiasCorrectMin::Output bcm_{};
    MagnetometerAmplitudeCal::Output mag_{};
    Fp32 previousFieldStrength_ = Fp32(1.0f);

    mobile::GroupDelay accDelay_{};
    mobile::GroupDelay magDelay_{};

    // Reorientation: configured (applied to the calibration) and output.
    Quaternion configuredReorientation_ = Quaternion::identity();
    Quaternion reorientation_ = Quaternion::identity();

    // Gyroscope integration quality.
    Fp32 accumulatedAngleRad_{};
    std::int32_t saturationCounter_ = 0;
    bool previousCalibrated_ = false;
    std::uint8_t previousAccFilterState_ = 0;
    Fp32 errorScale_{};

    InclAngFromStable::Output incl_{};
    std::uint8_t rotationVectorAccuracy_ = 0;
    std::uint8_t magnetometerAccuracy_ = 0;
    std::uint8_t stabilityClass_ = 0;

    // Geomagnetic rotation vector inputs.
    Vector3 geoAcc_{};
    Vector3 geoMag_{};
    Vector3 geoMagPrevious_{};
};

} // namespace vnx
