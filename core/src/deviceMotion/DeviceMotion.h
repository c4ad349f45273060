#pragma once

#include <cstdint>

#include "deviceMotion/DeviceMotionRecords.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"

/// Declares the motion hand-over interfaces (SensorFusion Output and
/// ButtonActivity Output in, a DeviceMotion Output out) and keeps a Config,
/// but produces no output: DeviceMotionFloat does the conversion.
class DeviceMotion : public vnx::ModuleInterface
{
    VNX_LOG_DEFAULT(DeviceMotion);

  public:
    DeviceMotion();

    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// -1 (not implemented); writes nothing.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Keeps a whole copy of a DeviceMotion Config; -3 for any other record.
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Returns the Config copy to its defaults.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// In: SensorFusion Output, ButtonActivity Output. Out: DeviceMotion Output.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// Reads and writes nothing; 0.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

  private:
    vnx_DeviceMotion_Config_s config_; ///< kept for clients; nothing reads it
};
