#pragma once

#include <cstdint>

#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"

/// Turns the fusion engine's motion output (a SensorFusion Output with its
/// per-group number encodings) into a DeviceMotionFloat Output of plain
/// floats. A DeviceMotionFloat Output among the inputs passes through as it
/// is. No state, configuration or commands.
class DeviceMotionFloat : public vnx::ModuleInterface
{
    VNX_LOG_DEFAULT(DeviceMotionFloat);

  public:
    DeviceMotionFloat() = default;

    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// -3 (not for me) for every record.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// In: SensorFusion Output. Out: DeviceMotionFloat Output.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// Interfaces 0, exactly one output, a DeviceMotionFloat Output. The first
    /// DeviceMotionFloat Output among the inputs is copied (with its Format
    /// when both Formats are there and alike); otherwise the first
    /// SensorFusion Output, with its SensorFusion Format, is converted and the
    /// output Format is not written. -2 for anything else.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;
};
