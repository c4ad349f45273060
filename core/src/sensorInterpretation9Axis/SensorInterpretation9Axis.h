#pragma once

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "gyroBias/ZroFromStable.h"
#include "magCalibration/MagnetometerAmplitudeCal.h"
#include "moduleFactory/moduleInterface.h"
#include "numerics/qdVectorFixed.h"
#include "sensorFusion/GyroIntegrator.h"
#include "sensorFusion/GyroStabilizedFilter.h"
#include "sensorInterpretation/Interpret.h"
#include "sensorInterpretation/StateManagement.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"
#include "sensorInterpretation9Axis/nineAxisInput.h"

/// The nine-axis sensor front end (module type 16): from one accelerometer,
/// gyroscope and (optional) magnetometer sample it produces the interpreted
/// motion of the 6-axis module (acceleration, angular velocity with the
/// learned zero-rate offset removed) plus a calibrated magnetic field.
/// Acceleration and field are smoothed in the frame of the integrated
/// gyroscope rate, so that turning the device does not smear them. The
/// learned zero-rate offset and magnetometer calibration go out as a
/// 260-byte DCD. Every member belongs to the module: two devices run side by
/// side without touching each other. Nothing is allocated after construction.
class SensorInterpretation9Axis : public vnx::ModuleInterface
{
  public:
    SensorInterpretation9Axis();
    ~SensorInterpretation9Axis() override;
    SensorInterpretation9Axis(const SensorInterpretation9Axis&) = delete;
    SensorInterpretation9Axis& operator=(const SensorInterpretation9Axis&) = delete;

    /// Stored only; 0.
    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// The module has no configuration: -3.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Own type: 0. A SensorFusion command restarting the magnetometer
    /// calibration does so; other SensorFusion commands are accepted and
    /// ignored (0). Other types: -3. -2 for a null record or a SensorFusion
    /// command of the wrong shape.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// -13 for an SCD that fails its checks (the module is then unusable).
    /// Otherwise restarts every member from the SCD and the learned state of
    /// a DCD of this SCD: 0 with such a DCD (184 or 260 bytes), 1 for a DCD
    /// of another SCD, 2 without a valid DCD. The offsets are not written.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    /// Writes a 260-byte version-27 DCD at `dcd` and sets `dcdOffset` to 260.
    /// -13 before init; -11 when `capacity` leaves no room; -2 for an offset
    /// other than 0 or a null block.
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// Inputs: 0 two DeviceSupport records (accelerometer and gyroscope),
    /// 1 three DeviceSupport records (with the magnetometer) and a SensorFusion
    /// Output that is not read. Output 0: this module's Output and Format.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One sample. -13 before init; -17 for an unknown interface; -2 when a
    /// record it reads or writes is missing or of another type (nothing
    /// written); -4 when the accelerometer or the gyroscope is absent (the
    /// Output is then cleared and carries the sample delta).
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    /// A SensorFusion command code as sendCommand takes it, answered for the
    /// codes this module knows: restart of the magnetometer calibration 0;
    /// 5 and 9 accepted (0); anything else -3.
    int executeSensorFusionCommand(std::uint32_t code);

  private:
    using Fp32 = vnx::Fp32;
    using Vector3 = vnx::qdVectorFixed::Vector3;

    /// What one sample hands to the records.
    struct Interpreted
    {
        Vector3 rateRadPerS; ///< zero-rate offset removed
        Vector3 accMps2;     ///< filtered
        Fp32 accNoiseMps2;   ///< noise level of the filtered acceleration
        Vector3 magField;    ///< filtered, calibrated (100 uT units)
    };

    void interpretSample(const vnx::RawNineAxisSample& raw, std::uint32_t sampleDelta, Interpreted& result);
    /// One step of the magnetometer calibration; a zero output without a
    /// magnetometer sample.
    void calibrateMagnetometer(const vnx::RawNineAxisSample& raw, const Vector3& rateRadPerS,
                               vnx::MagnetometerAmplitudeCal::Output& out);
    /// The group delays of the two filters: a long gap restarts both, a
    /// poor magnetometer calibration restarts the field's; each grows by one
    /// period per sample up to its limit.
    void updateGroupDelays(std::uint32_t sampleDelta, Fp32 magExternalAccuracyRad);
    void writeFormat(Fp32 accNoiseMps2, vnx_SensorInterpretation9Axis_Format_s& format) const;
    void restartMagnetometerCalibration();

    vnx::ModuleListenerInterface* listener_ = nullptr; ///< not owned; nothing is reported
    bool initialised_ = false;

    vnx::FixedPointCal cal_;
    vnx::StateManagement stateManagement_;
    vnx::Interpret interpret_;
    // getDcd hands out the learned offset through the estimator's getDcd,
    // which also refreshes its kept copy: part of reading it out, not of the
    // module's observable state.
    mutable vnx::ZroFromStable zroFromStable_;
    vnx::MagnetometerAmplitudeCal magCal_;
    vnx::GyroIntegrator integrator_;
    vnx::GyroStabilizedFilter accFilter_;
    vnx::GyroStabilizedFilter magFilter_;

    std::uint32_t periodUs_ = 0; ///< floor of the SCD period in microseconds
    Fp32 accDelayS_;             ///< group delay of the accelerometer filter, s
    Fp32 magDelayS_;             ///< group delay of the magnetometer filter, s
};
