#pragma once

// Copies every record it is given into a named record pipe, so that a
// program outside the library can follow a device's records live. It makes
// no output of its own, and a pipe problem never stops the module chain.

#include <cstdint>

#include "base/StructPipe.h"
#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"
#include "motionPipe/MotionPipeRecords.h"

namespace vnx {

class MotionPipe : public ModuleInterface
{
    VNX_EXT_LOG_DEFAULT(MotionPipe);

  public:
    MotionPipe();
    ~MotionPipe() override;

    int setModuleListener(ModuleListenerInterface* listener) override;
    /// Configs of type 100 and 101: the stored record, header included; -3
    /// for other types.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Configs of type 100 and 101: stored; a new pipe name closes the pipe
    /// and opens the new one. -3 for other types.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// -3: no commands.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// (Re)opens the pipe named in the Config for writing; 0 without a name.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    /// Closes the pipe.
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// One input interface taking any records; no output interface.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// Writes each slot's Format and Output (those longer than a header) into
    /// the pipe; always 0.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

  private:
    /// The stored name as a terminated string.
    void pipeName(char (&name)[VNX_MOTION_PIPE_NAME_SIZE + 1]) const;
    int openPipe();

    vnx_MotionPipe_Config_s config_;
    StructPipe pipe_;
};

} // namespace vnx
