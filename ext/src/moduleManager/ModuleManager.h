#pragma once

// The host of one device's module chain. It creates the module the Device
// config names by type id (so a core module, a bundle or an ext module alike),
// copies every input batch into a ring of samples, widens 8-bit sample
// counters, runs the module on the input interface the records fit when the
// device ticks, reports inputs, outputs and status events to the device, keeps
// the device's SCD and DCD (the DCD in the DCD file store under the device's
// GUID, or with the client in external mode), saves the learned DCD every
// `dcdSaveInterval` seconds, and writes the raw-input and output capture logs.
//
// One thread drives a host; nothing inside is synchronised. Once the stores
// have their shape, a sample allocates nothing.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "calibration/scdData.h"
#include "captureLog/captureLog.h"
#include "deviceDomain/DeviceRecords.h"
#include "deviceDomain/ModuleManagerInterface.h"
#include "dsfWriter/DsfWriter.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "inputStore/InputStore.h"
#include "log/DefaultLogger.h"
#include "moduleManager/InputMatch.h"
#include "moduleManager/SampleCounter.h"
#include "moduleManager/dcdMemory.h"

namespace vnx {

class NodeInterface;

class ModuleManager : public ModuleManagerInterface
{
    VNX_EXT_LOG_DEFAULT(ModuleManager);

  public:
    /// Type id the host answers for itself.
    static constexpr uint8_t kType = 255;
    /// Largest SCD record kept.
    static constexpr size_t kMaxScdSize = 272;
    /// Period assumed when the SCD gives none, microseconds.
    static constexpr uint32_t kDefaultPeriodUs = 8000;

    ModuleManager();
    /// term(), then the capture logs are closed.
    ~ModuleManager() override;
    ModuleManager(const ModuleManager&) = delete;
    ModuleManager& operator=(const ModuleManager&) = delete;

    /// Null or the device's own listener: 0, nothing changes (the module
    /// always reports to the device); any other listener -2.
    int setModuleListener(ModuleListenerInterface* listener) override;
    /// A Device config gets the stored one; other configs go to the module
    /// (-14 without one).
    int getConfig(vnx_StructConfig_s* config) const override;
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override { return kType; }

    void setDevice(ModuleManagerListenerInterface* device) override;
    void setScd(const vnx_scdData_s* scd) override;
    int term() override;
    int saveDcd() override;
    int clearDcd() override;
    int setDcd(const vnx_dcdData_s* dcd) override;
    int setDcdIsExternal(bool external) override;
    /// Stores one input batch; with `maxBufferedSamplesToProcess` 0 also
    /// runs it.
    int process(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats) override;
    /// Runs the module on every stored sample, oldest first.
    int process() override;
    ModuleInterface* getModule() override { return module_; }
    /// Marks that a status answered the current request, and hands it on to
    /// the device.
    void statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status) override;
    void logMotionOutput(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats,
                         int result) override;

    /// A ring of `n` samples (0 counts as 1); buffered samples are dropped.
    /// False when the ring cannot be made (the host then has none).
    bool setMaxBufferedSamples(size_t n);

  private:
    struct SideLoggers;

    // Module life.
    int initializeModule();
    int destroyModule();
    /// Shapes the output store after the module's output interface.
    bool shapeOutputs();
    // Calibration.
    int loadDcd(vnx_dcdMemory_s& buffer);
    int deviceGuid(vnx_DomainGuid_s& guid);
    vnx_dcdMemory_s& externalBuffer();
    // Samples.
    bool makeRing(uint64_t slots);
    void autoSaveDcd(std::optional<uint32_t> sampleNumber, int64_t nowNs);
    /// Runs one stored sample through the module and reports its outputs;
    /// the module's answer. `matched` turns false when no input interface
    /// fits the sample (nothing is run).
    int runSample(size_t n, const vnx_StructOutput_s** inputs, const vnx_StructFormat_s** formats,
                  bool& matched);
    size_t inputCountOf(int inputId, size_t n) const;
    void markSequenceNumber(uint32_t sampleNumber);
    // Configs and commands.
    int setDeviceConfig(const vnx_Device_Config_s& config);
    int deviceCommand(uint32_t code);
    /// Answers a request for its result as a Status record when it asks for
    /// one and nothing answered it yet.
    int reply(const vnx_StructConfig_s& request, int result);
    // Reports and logs.
    void sendDeviceStatus(uint32_t kind, int result, uint64_t count, const void* record);
    void logReturn(int code) const;
    static constexpr int kNameSize = 255;
    void deviceName(char (&name)[kNameSize]) const;
    DeviceInterface* deviceSelf() const;
    NodeInterface* deviceNode();
    void openRawInputLog(const vnx_dcdData_s* dcd);
    void openOutputLog();

    std::unique_ptr<SideLoggers> sideLoggers_;
    ModuleManagerListenerInterface* device_ = nullptr;
    ModuleInterface* module_ = nullptr;
    /// Present while sample counters are 8 bits wide.
    std::optional<SampleCounter> counter_;
    union {
        vnx_scdData_s head;
        uint8_t bytes[kMaxScdSize];
    } scd_;
    vnx_Device_Config_s config_;
    std::unique_ptr<InputStore[]> ring_;
    uint64_t stored_ = 0;
    uint64_t ringSize_ = 0;
    InputStore outputs_;
    InputMatch inputMatch_;
    int64_t lastSaveNs_ = 0;
    uint32_t lastSaveSample_ = 0;
    uint32_t periodUs_ = 0;
    bool statusSent_ = false;
    bool initFailed_ = false;
    int64_t captureStartNs_ = 0;
    std::unique_ptr<DsfWriter> rawLog_;
    std::unique_ptr<DsfWriter> outputLog_;
    vnx_ExtendedCursor_SetBoundsData_s bounds_;
    bool boundsKnown_ = false;
    NodeInterface* deviceNode_ = nullptr;
    bool dcdExternal_ = false;
    std::unique_ptr<vnx_dcdMemory_s> externalDcd_;
};

} // namespace vnx
