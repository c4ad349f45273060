#pragma once

#include <cstdint>

#include "accCalibration/AccelCalibration.h"
#include "calibration/FixedPointCal.h"
#include "calibration/dcdData.h"
#include "gyroBias/BiasCorrectMin.h"
#include "gyroBias/ZroFromStable.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorInterpretation/Interpret.h"
#include "sensorInterpretation/StateManagement.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"
#include "sensorInterpretationModule/rawSampleInput.h"

/// The 6-axis sensor front end (module type 2): turns one raw accelerometer
/// and gyroscope sample into calibrated acceleration and angular velocity
/// with their noise. It removes the learned accelerometer offset and the
/// gyroscope zero-rate offset, learns both while it runs, and hands the
/// learned state out as a 260-byte DCD. Nothing is allocated after
/// construction.
class SensorInterpretation : public vnx::ModuleInterface
{
    VNX_LOG_DEFAULT(SensorInterpretation);

  public:
    /// Acceleration beyond 2 g (m/s^2) is written as this limit.
    static constexpr float kAccLimit = 19.6f;

    SensorInterpretation();
    ~SensorInterpretation() override;
    SensorInterpretation(const SensorInterpretation&) = delete;
    SensorInterpretation& operator=(const SensorInterpretation&) = delete;

    /// Keeps nothing: 0.
    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// The module takes no configuration or commands: -3 for every record.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
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

    /// Inputs: 0 two DeviceSupport records (accelerometer, gyroscope), 1 three
    /// (with the magnetometer), 2 one DeviceSupport6AG, 3 one DeviceSupport9AGM.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    /// One output interface: one SensorInterpretation Output with its Format.
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One sample. -17 for an unknown interface; -2 when a record it reads
    /// or writes is missing or of another type; -4 when a sensor is absent;
    /// -13 before init. The Output is untouched on every failure.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    /// Fills a Format from the calibration and the offset variances of `bias`.
    void getFormat(const vnx::BiasCorrectMin::Output& bias, vnx_SensorInterpretation_Format_s& format) const;

  private:
    /// Steps of one sample after the records have been checked.
    void interpretSample(const vnx::RawSensorSample& raw, vnx_SensorInterpretation_Output_s& output,
                         vnx_SensorInterpretation_Format_s& format);
    /// Feeds the still-window detector and lets the accelerometer calibration
    /// learn from a new still orientation; returns the calibrated acceleration.
    vnx::qdVectorFixed::Vector3 calibrateAcceleration(std::uint32_t timeUs,
                                                      const vnx::qdVectorFixed::Vector3& acc,
                                                      const vnx::qdVectorFixed::Vector3& accLimited,
                                                      const vnx::Interpret::Output& sample);

    vnx::StateManagement stateManagement_;
    vnx::Interpret interpret_;
    // getDcd hands out the learned state through the estimator's getDcd,
    // which also keeps its best state: part of reading it out, not of the
    // module's observable configuration.
    mutable vnx::BiasCorrectMin biasCorrect_;
    vnx::FixedPointCal cal_;
    vnx::AccelCalibration accCal_;
    vnx::ZroFromStable zroFromStable_;

    bool initialised_ = false;
    std::uint32_t scdCrc_ = 0; ///< CRC-32 of the SCD in use
    float periodS_ = 0.0f;     ///< sample period, s
    std::uint32_t periodUs_ = 0;
    /// Active gyroscope channels of this device (3: x, y, z; 2: y, z). Kept
    /// per module so that a second device never changes a running one.
    std::uint8_t activeRsChannels_ = vnx::kRsChannelsDefault;
    vnx::ZroFromStable::Output stillWindow_{};
};
