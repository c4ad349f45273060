#pragma once

#include <cstddef>
#include <cstdint>

#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorFusionMobile/SensorFusionMobile.h"
#include "sensorFusionMobile/mobileRecords.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorFusionPerDevice/SensorFusionPerDeviceRecords.h"
#include "sensorInterpretation/StateManagement.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"

/// The mobile fusion engine of one device behind the module interface: each
/// call reports one sample's accelerometer, gyroscope, magnetometer and
/// fusion tick to the engine, time-stamped with period x sample number,
/// drains the engine and writes its results as the SensorFusion motion output
/// and, on output interface 1, as the interpreted motion the activity module
/// watches. Configuration records map onto the engine: the reorientation of a
/// SensorFusion Config, the period modes of a SensorInterpretation Config,
/// and commands for heading tare and dynamic calibration.
///
/// The engine exists from a successful init to term. Configuration sent
/// without an engine is stored (and the reorientation applied at the next
/// init); commands that need the engine answer NOT_ACTIVE then.
class SensorFusionPerDevice : public vnx::ModuleInterface
{
    VNX_LOG_DEFAULT(SensorFusionPerDevice);

  public:
    SensorFusionPerDevice();
    ~SensorFusionPerDevice() override;
    SensorFusionPerDevice(const SensorFusionPerDevice&) = delete;
    SensorFusionPerDevice& operator=(const SensorFusionPerDevice&) = delete;

    /// Stored only: the module sends no status.
    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// By the record's type: the stored SensorInterpretation Config (2), the
    /// SensorFusion Config inside the own Config (3), the own Config (21);
    /// -3 for other types, -2 for a null record or one of the wrong shape.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Stores the record by its type (2, 3 or 21) and applies it to the
    /// engine when there is one: a SensorFusion Config sets the engine's
    /// reorientation, a SensorInterpretation Config its periods (mode 0: the
    /// SCD period, mode 1: the given period, -4 for period 0, mode 2: -15,
    /// other modes keep the period; refused records stay stored). -3 for
    /// other types and for a record addressed to another instance.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Own type: code 10 sets the engine's dynamic-calibration bits. SensorFusion
    /// type: code 6 clears the heading. Other codes of both types: 0. Without
    /// an engine the two engine commands answer -14. Other types -3.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// -13 for an SCD that is refused (null, a size word of 0, or any block
    /// that is not a sealed 260-byte version-5 SCD), -21 when no engine can
    /// be created: then nothing changes (an engine of an earlier init keeps
    /// running). Otherwise replaces the engine by a new one (sub-node
    /// "mobile") initialised with the SCD and DCD, and answers as the engine
    /// does (0, 1 for a DCD of another SCD, 2 for an invalid DCD). Periods
    /// then follow the SCD, and a stored SensorFusion Config's reorientation
    /// is applied. The SCD and DCD may lie at any address. The offsets are
    /// not written.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    /// Destroys the engine.
    int term() override;
    /// The engine's 260-byte version-27 DCD at `dcd`; -11 when `capacity` is
    /// below 260, -2 for a null block, 2 without an engine. `dcdOffset` is
    /// neither read nor written.
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// Inputs: 0 a SensorInterpretation9Axis Output, 1 up to three
    /// DeviceSupport samples, 2 one DeviceSupport sample of any sensor,
    /// 3 a DeviceSupport6AG sample, 4 a DeviceSupport9AGM sample. Outputs:
    /// 0 the SensorFusion Output, 1 that and a SensorInterpretation Output.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One sample. -2 when a record it reads or writes is missing or of
    /// another type (nothing written); otherwise the SensorFusion sample
    /// number is written first, then -13 without an engine, -17 for an
    /// unknown interface. 4 for a DeviceSupport sample of another sensor than
    /// the gyroscope on interface 2 (only the sample number written);
    /// otherwise the outputs are written and the result is 0.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    /// "<LOGGING_DIR>/<local time>-SensorFusion-<address>.dsf", cut to `size`
    /// bytes (with its terminator); the length of the whole path.
    int getLogPath(char* buffer, size_t size) const;

    // Read access for owners and tests.
    const vnx::SensorFusionMobile* engine() const { return engine_; }
    const vnx_Mobile_PhysicalSensorPeriods_s& sensorPeriods() const { return periods_; }
    std::uint32_t effectivePeriodUs() const { return effectivePeriodUs_; }

  private:
    /// The records one process call writes.
    struct Outputs
    {
        vnx_SensorFusion_Output_s* motion;
        vnx_SensorFusion_Format_s* motionFormat;
        vnx_SensorInterpretation_Output_s* interpreted; ///< null on output interface 0
        vnx_SensorInterpretation_Format_s* interpretedFormat;
    };
    /// The records one process call reads; only those of its interface are set.
    struct Inputs
    {
        const vnx_DeviceSupport_Output_s* sensors[3];
        const vnx_DeviceSupport_Format_s* sensorFormat;
        const vnx_DeviceSupport6AG_Output_s* sample6AG;
        const vnx_DeviceSupport9AGM_Output_s* sample9AGM;
        const vnx_SensorInterpretation9Axis_Output_s* nineAxis;
        const vnx_SensorInterpretation9Axis_Format_s* nineAxisFormat;
    };
    /// What the reports of one sample leave for the output stage.
    struct Reported
    {
        std::uint32_t sampleDelta = 0;
        bool gyroscopeSample = true; ///< false: interface 2 with another sensor
    };

    static bool resolveOutputs(int outputInterface, size_t outputCount, vnx_StructOutput_s** outputs,
                               vnx_StructFormat_s** outputFormats, Outputs& out);
    static bool resolveInputs(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                              const vnx_StructFormat_s** inputFormats, Inputs& in);

    /// Time stamp of a sample: effective period x sample number, wrapping.
    std::uint32_t stamp(std::uint32_t sampleNumber) const { return effectivePeriodUs_ * sampleNumber; }
    void reportDeviceSupportSet(const Inputs& in, vnx_SensorFusion_Output_s& motion, Reported& reported);
    void reportDeviceSupportSample(const Inputs& in, vnx_SensorFusion_Output_s& motion, Reported& reported);
    void report6AG(const vnx_DeviceSupport6AG_Output_s& sample, vnx_SensorFusion_Output_s& motion,
                   Reported& reported);
    void report9AGM(const vnx_DeviceSupport9AGM_Output_s& sample, vnx_SensorFusion_Output_s& motion,
                    Reported& reported);
    /// A gyroscope report, or one without rate and temperature when the
    /// sample carries none or the gyroscope runs at a negative period.
    void reportGyro(std::uint32_t timeUs, const std::int16_t (&rate)[3], std::int16_t temperature);

    void writeMotion(const Outputs& out) const;
    void writeInterpreted(const Outputs& out, const Reported& reported, bool stationary,
                          std::uint32_t validBits) const;
    /// Interface 0: the already interpreted nine-axis sample as motion output.
    static void writeNineAxis(const Inputs& in, const Outputs& out);

    int applyInterpretationConfig(const vnx_SensorInterpretation_Config_s& config);
    int applyReorientation();
    void destroyEngine();

    vnx::ModuleListenerInterface* listener_ = nullptr; ///< not owned; nothing is reported
    vnx_SensorFusionPerDevice_Config_s config_;
    vnx_SensorInterpretation_Config_s interpretationConfig_;
    vnx_Mobile_PhysicalSensorPeriods_s periods_{};
    vnx::SensorFusionMobile* engine_ = nullptr; ///< from the engine pool; null without init

    /// Sample counters of the accelerometer, gyroscope, magnetometer and
    /// temperature (DeviceSupport sensor kinds 1 to 4).
    vnx::StateManagement counters_[4];

    std::uint32_t scdPeriodUs_ = 0;
    std::uint32_t effectivePeriodUs_ = 0;
    /// Refilled by every engine step; values not written by a step persist.
    vnx_Mobile_Output_s engineOutput_{};
};
