#pragma once

// A module that captures the records it is given into a binary ".log" file,
// one block per process call: the call's time in nanoseconds, the number of
// records, then each record whole. A Config names the file's stem and
// switches writing on; the file itself is opened by the next process call
// and named after that call's time. It has no output and no logger of its
// own (not to be confused with the per-class loggers of vnx::log).

#include <cstdint>
#include <cstdio>

#include "loggerModule/LoggerRecords.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx {

class Logger : public ModuleInterface
{
  public:
    Logger() = default;
    /// Closes an open file, so that no written block is lost.
    ~Logger() override;
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    int setModuleListener(ModuleListenerInterface* listener) override;
    /// A Config of type 96 gets the defaults (no name, mode 1) whatever was
    /// set; -3 for other types.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// A Config of type 96 closes an open file, takes a new stem (when it
    /// names one) and, with mode 1 or 4, arms writing; -3 for other types.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Every Command is accepted and ignored.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Closes an open file and stops writing.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    /// Closes an open file and stops writing; -1011 when what was buffered
    /// could not be stored.
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// One input interface taking any records; no output interface.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// While writing is on, one block of the input records (opening the file
    /// first when none is open: -10 when it cannot be). -2, nothing written,
    /// for a missing record or one shorter than its header; -1011 when a write
    /// fell short.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    bool writing() const { return writing_; }
    bool fileOpen() const { return file_ != nullptr; }

  private:
    /// When a file is open: stops writing and closes it. False when the
    /// close could not store what was buffered.
    bool closeFile();

    char name_[VNX_LOGGER_NAME_MAX + 1] = {};
    std::FILE* file_ = nullptr;
    bool writing_ = false;
};

} // namespace vnx
