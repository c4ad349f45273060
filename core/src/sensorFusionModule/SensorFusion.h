#pragma once

#include <cstddef>
#include <cstdint>

#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"

namespace vnx {
class ModuleListenerInterface;
}

/// The motion module of every pipeline (module type 3): a composite of the
/// per-device fusion (type 21), which turns the device's raw or interpreted
/// samples into calibrated motion and an orientation, and the activity
/// classification (type 4), which watches the fusion's interpreted motion
/// for stillness and reports it to the listener. Both children are created
/// through the module factory. Each sample's button record passes through
/// unchanged; the last motion output is kept and handed back to the fusion
/// as the fourth record of the DeviceSupport interfaces.
class SensorFusion : public vnx::ModuleInterface
{
    VNX_LOG_DEFAULT(SensorFusion);

  public:
    /// Creates both children under this module's node. Throws
    /// std::runtime_error when either factory is missing (the module
    /// factory then answers null).
    SensorFusion();
    ~SensorFusion() override;
    SensorFusion(const SensorFusion&) = delete;
    SensorFusion& operator=(const SensorFusion&) = delete;

    /// Stores the listener and gives it to both children: the first negative
    /// child result, else the activity child's result if non-zero, else the
    /// fusion child's.
    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// Offered to the fusion child, then, if it answers -3, to the activity
    /// child.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Hands a set listener on, then initialises the fusion child and, unless
    /// that fails, the activity child: the activity child's result if
    /// non-zero, else the fusion child's.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    /// The fusion child's learned calibration.
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// Inputs 0 to 6 (each with the button record last, except 4):
    /// 0 accelerometer and gyroscope DeviceSupport samples, 1 with the
    /// magnetometer, 2 a SensorInterpretation9Axis Output, 3 a fused motion
    /// output, 4 one DeviceSupport sample, 5 a DeviceSupport6AG sample, 6 a
    /// DeviceSupport9AGM sample. Output 0: motion, activity and button Outputs.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One sample set. -2 unless output interface 0 with its three slots and
    /// exactly the records of the input interface, each present and of its
    /// type (nothing is written then); -17 for a negative interface. A
    /// child's negative result ends the call; 4 from the fusion on interfaces
    /// 4 to 6 ends it with no motion output. Otherwise the activity child's
    /// result if non-zero, else the fusion child's.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    /// The motion output of the last sample that produced one.
    const vnx_SensorFusion_Output_s& lastOutput() const { return lastOutput_; }
    const vnx_SensorFusion_Format_s& lastFormat() const { return lastFormat_; }
    /// The fusion child (SensorFusionPerDevice), for read access by tests.
    const vnx::ModuleInterface* fusionChild() const { return fusion(); }

  private:
    /// Both children, in the order init, term, configuration and commands
    /// visit them.
    vnx::ModuleInterface* children_[2] = {nullptr, nullptr};
    vnx::ModuleInterface* fusion() const { return children_[0]; }
    vnx::ModuleInterface* activity() const { return children_[1]; }

    vnx::ModuleListenerInterface* listener_ = nullptr; ///< not owned
    vnx_SensorFusion_Output_s lastOutput_;
    vnx_SensorFusion_Format_s lastFormat_;
    /// The interpreted motion handed from the fusion to the activity child,
    /// inside a nine-axis record; initialised afresh for every sample.
    vnx_SensorInterpretation9Axis_Output_s interpreted_;
    vnx_SensorInterpretation9Axis_Format_s interpretedFormat_;
};
