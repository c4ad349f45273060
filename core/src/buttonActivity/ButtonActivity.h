#pragma once

#include <cstdint>

#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"

/// Derives the activity flags of ButtonActivity Outputs whose producer knows
/// only the current button state: compares each sample's button mask with the
/// previous one. Records whose producer wrote the flags pass unchanged.
class ButtonActivity : public vnx::ModuleInterface
{
    VNX_LOG_DEFAULT(ButtonActivity);

  public:
    ButtonActivity() = default;

    /// No listener, configuration or commands: each accepts anything and
    /// returns 0.
    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Forgets the previous button state.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// One interface each way, taking one ButtonActivity Output.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// Copies inputs[0] to outputs[0] (the same record is the usual case) and
    /// derives the flags when the record asks for it. -2 when either record is
    /// missing or not a ButtonActivity Output.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

  private:
    uint32_t previousButtons_ = 0; ///< button mask of the previous sample
};
