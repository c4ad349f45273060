#pragma once

#include <cstdint>

#include "log/DefaultLogger.h"
#include "moduleFactory/moduleInterface.h"

/// A module that does no work and reports every call made on it: each
/// operation sends one TestModule Status naming the operation to the
/// listener and returns what the listener left in the record's `result`
/// (0 without a listener). Lets clients and host layers check calls,
/// listeners and status delivery end to end, and steer return values.
class TestModule : public vnx::ModuleInterface
{
    VNX_LOG_DEFAULT(TestModule);

  public:
    TestModule() = default;

    /// Stores the listener (null clears it), then reports to the new one.
    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    /// Reports, and returns 7 whatever the listener did.
    uint8_t getType() const override;

    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// Report, and return 1.
    int getInputInterfaceCount() const override;
    int getOutputInterfaceCount() const override;
    /// Index other than 0: -2 without a report. Capacity 0: -11 without a
    /// report (count set to 1). Else writes type 7 and reports.
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// Reads and writes no record: only reports.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

  private:
    /// Sends a Status with `code` to the listener (as no particular source)
    /// and returns its `result` after the call; 0 without a listener.
    int sendStatus(uint32_t code) const;
    int describe(int index, size_t capacity, uint8_t* typeIds, size_t& count, uint32_t code) const;

    vnx::ModuleListenerInterface* listener_ = nullptr; ///< not owned
};
