#pragma once

// Turns the 32 button bits of a ButtonActivity record into mouse-button masks
// (held, pressed, released) and the key codes of the buttons that changed.

#include <cstdint>

#include "buttonMapper/ButtonMapperRecords.h"
#include "moduleFactory/moduleInterface.h"

class ButtonMapper : public vnx::ModuleInterface
{
  public:
    ButtonMapper();

    /// 0; nothing to listen to.
    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// The 128-byte Config of type 98; -3 for any other type.
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    /// -3: the module takes no commands.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Forgets the previous button mask: a button held across init counts as
    /// newly pressed.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// One input interface taking any records; no output interface (the
    /// caller gives one ButtonMapper Output slot).
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// Maps the first ButtonActivity record among the inputs into the one
    /// ButtonMapper Output slot (interface 0): -2 for another interface,
    /// count or slot; 0 and nothing changed without a ButtonActivity record.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

  private:
    vnx_ButtonMapper_Config_s config_;
    uint32_t previousButtons_ = 0;
};
