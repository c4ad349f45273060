#pragma once

// A configurable stand-in module for tests of modules that create others by
// type id (bundles, module hosts): it registers a factory for any type id
// while it lives, answers each operation with a scripted status code,
// describes scripted interfaces and records every call it receives.
//
//   FakeModuleType fusion({.type = 17, .answers = {{"sendCommand", 0}}});
//   ... code under test creates type 17 and sends it a Command ...
//   ASSERT_EQ(fusion.calls("sendCommand").size(), 1u);
//   fusion.calls("sendCommand")[0].record   // the Command's bytes
//
// Configs and Commands of another type id are answered -3 (NOT_FOR_ME), as a
// real module does, and recorded too.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "moduleFactory/ModuleFactoryInterface.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx::testsupport {

/// One call a fake module received.
struct FakeCall
{
    std::string operation;            ///< "init", "setConfig", "process", ...
    const void* module = nullptr;     ///< the fake module that received it
    std::vector<std::uint8_t> record; ///< Config or Command bytes, as its size field says
    std::vector<std::uint8_t> scd;    ///< init: the SCD's bytes, as its size field says
    std::vector<std::uint8_t> dcd;    ///< init: the DCD's bytes, as its size field says
    int inputInterface = -1;          ///< process
    std::vector<std::uint8_t> inputTypes;
    std::vector<const void*> inputs;
    std::size_t outputCount = 0;
    const void* listener = nullptr; ///< setModuleListener
};

/// Fills the output records of one process call; its result is the answer.
using FakeProcess = std::function<int(std::size_t outputCount, vnx_StructOutput_s** outputs,
                                      vnx_StructFormat_s** outputFormats)>;

struct FakeModuleScript
{
    std::uint8_t type = 0;
    /// Type id of the Configs and Commands it takes as its own (0: `type`),
    /// for a stand-in of a module that works on another type's records.
    std::uint8_t recordType = 0;
    /// Status code by operation name; operations not named answer 0.
    std::map<std::string, int> answers;
    std::vector<std::vector<std::uint8_t>> inputInterfaces;
    std::vector<std::vector<std::uint8_t>> outputInterfaces;
    /// Bytes getConfig copies over a Config of the fake's type (at most its size).
    std::vector<std::uint8_t> config;
    /// Run by process after the call is recorded, instead of answering
    /// answers["process"].
    FakeProcess process;
};

/// The factory of fake modules of one type id, registered while it lives.
class FakeModuleType : public ModuleFactoryInterface
{
  public:
    explicit FakeModuleType(FakeModuleScript script);
    /// Unregisters the factory; destroys the modules still alive.
    ~FakeModuleType() override;
    FakeModuleType(const FakeModuleType&) = delete;
    FakeModuleType& operator=(const FakeModuleType&) = delete;

    FakeModuleScript& script() { return script_; }
    /// Every call received by any module of this type, in order.
    const std::vector<FakeCall>& calls() const { return calls_; }
    /// The calls of one operation.
    std::vector<FakeCall> calls(const std::string& operation) const;
    /// The operation names in the order they were called.
    std::vector<std::string> operations() const;
    void clearCalls() { calls_.clear(); }
    /// Modules created and not destroyed.
    std::size_t liveModules() const { return live_.size(); }
    int createdModules() const { return created_; }

    int answer(const std::string& operation) const;
    void record(FakeCall call) { calls_.push_back(std::move(call)); }

    ModuleInterface* createModule() override;
    int destroyModule(ModuleInterface* module) override;
    vnx_StructConfig_s* createConfig() override { return nullptr; }
    int destroyConfig(vnx_StructConfig_s*) override { return 0; }
    vnx_StructCommand_s* createCommand() override { return nullptr; }
    int destroyCommand(vnx_StructCommand_s*) override { return 0; }
    vnx_StructStatus_s* createStatus() override { return nullptr; }
    int destroyStatus(vnx_StructStatus_s*) override { return 0; }
    vnx_StructFormat_s* createFormat() override { return nullptr; }
    int destroyFormat(vnx_StructFormat_s*) override { return 0; }
    vnx_StructOutput_s* createOutput() override { return nullptr; }
    int destroyOutput(vnx_StructOutput_s*) override { return 0; }
    bool isStructValid(vnx_Struct_s* record) override;
    const char* getName() const override { return "FakeModule"; }
    std::uint8_t getType() const override { return script_.type; }
    int factoryRegister() override;
    int factoryUnregister() override;

  private:
    FakeModuleScript script_;
    std::vector<FakeCall> calls_;
    std::vector<ModuleInterface*> live_;
    int created_ = 0;
};

} // namespace vnx::testsupport
