#include "support/FakeModule.h"

#include <algorithm>
#include <cstring>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/interfaceDescription.h"

namespace vnx::testsupport {

namespace {

std::vector<std::uint8_t> bytesOf(const vnx_Struct_s* header)
{
    if (header == nullptr) {
        return {};
    }
    const auto* begin = reinterpret_cast<const std::uint8_t*>(header);
    return std::vector<std::uint8_t>(begin, begin + header->size);
}

/// A calibration block's bytes as its 16-bit size field (byte 0) says.
std::vector<std::uint8_t> blockBytes(const void* block)
{
    if (block == nullptr) {
        return {};
    }
    std::uint16_t size = 0;
    std::memcpy(&size, block, sizeof size);
    const auto* begin = static_cast<const std::uint8_t*>(block);
    return std::vector<std::uint8_t>(begin, begin + size);
}

class FakeModule : public ModuleInterface
{
  public:
    explicit FakeModule(FakeModuleType& type) : type_(type) {}

    int setModuleListener(ModuleListenerInterface* listener) override
    {
        FakeCall call = base("setModuleListener");
        call.listener = listener;
        type_.record(call);
        return type_.answer("setModuleListener");
    }
    int getConfig(vnx_StructConfig_s* config) const override
    {
        FakeCall call = base("getConfig");
        call.record = bytesOf(config != nullptr ? &config->header : nullptr);
        type_.record(call);
        if (!ownRecord(config != nullptr ? &config->header : nullptr, VNX_KIND_CONFIG)) {
            return VNX_STATUS_NOT_FOR_ME;
        }
        const std::vector<std::uint8_t>& bytes = type_.script().config;
        if (!bytes.empty()) {
            std::memcpy(config, bytes.data(), std::min<std::size_t>(bytes.size(), config->header.size));
        }
        return type_.answer("getConfig");
    }
    int setConfig(const vnx_StructConfig_s* config) override
    {
        return recordAndAnswer("setConfig", config != nullptr ? &config->header : nullptr, VNX_KIND_CONFIG);
    }
    int sendCommand(const vnx_StructCommand_s* command) override
    {
        return recordAndAnswer("sendCommand", command != nullptr ? &command->header : nullptr,
                               VNX_KIND_COMMAND);
    }
    std::uint8_t getType() const override { return type_.script().type; }

    int init(const vnx_scdData_s* scd, int&, const vnx_dcdData_s* dcd, int&) override
    {
        FakeCall call = base("init");
        call.scd = blockBytes(scd);
        call.dcd = blockBytes(dcd);
        type_.record(call);
        return type_.answer("init");
    }
    int term() override { return plain("term"); }
    int getDcd(vnx_dcdData_s*, int, int&) const override
    {
        type_.record(base("getDcd"));
        return type_.answer("getDcd");
    }

    int getInputInterfaceCount() const override
    {
        return static_cast<int>(type_.script().inputInterfaces.size());
    }
    int getInputInterface(int index, size_t capacity, std::uint8_t* typeIds, size_t& count) const override
    {
        return describe(type_.script().inputInterfaces, index, capacity, typeIds, count);
    }
    int getOutputInterfaceCount() const override
    {
        return static_cast<int>(type_.script().outputInterfaces.size());
    }
    int getOutputInterface(int index, size_t capacity, std::uint8_t* typeIds, size_t& count) const override
    {
        return describe(type_.script().outputInterfaces, index, capacity, typeIds, count);
    }

    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s**, int, size_t outputCount, vnx_StructOutput_s** outputs,
                vnx_StructFormat_s** outputFormats) override
    {
        FakeCall call = base("process");
        call.inputInterface = inputInterface;
        for (size_t i = 0; inputs != nullptr && i < inputCount; ++i) {
            call.inputTypes.push_back(inputs[i] != nullptr ? inputs[i]->header.type : 0);
            call.inputs.push_back(inputs[i]);
        }
        call.outputCount = outputCount;
        type_.record(call);
        if (type_.script().process) {
            return type_.script().process(outputCount, outputs, outputFormats);
        }
        return type_.answer("process");
    }

  private:
    FakeCall base(const char* operation) const
    {
        FakeCall call;
        call.operation = operation;
        call.module = this;
        return call;
    }
    bool ownRecord(const vnx_Struct_s* header, std::uint8_t kind) const
    {
        const FakeModuleScript& script = type_.script();
        const std::uint8_t own = script.recordType != 0 ? script.recordType : script.type;
        return header != nullptr && header->type == own && header->kind == kind;
    }
    int recordAndAnswer(const char* operation, const vnx_Struct_s* header, std::uint8_t kind) const
    {
        FakeCall call = base(operation);
        call.record = bytesOf(header);
        type_.record(call);
        return ownRecord(header, kind) ? type_.answer(operation) : VNX_STATUS_NOT_FOR_ME;
    }
    int plain(const char* operation)
    {
        type_.record(base(operation));
        return type_.answer(operation);
    }
    static int describe(const std::vector<std::vector<std::uint8_t>>& interfaces, int index, size_t capacity,
                        std::uint8_t* typeIds, size_t& count)
    {
        if (index < 0 || index >= static_cast<int>(interfaces.size())) {
            return VNX_STATUS_INVALID_INTERFACE;
        }
        return describeInterface(interfaces[index], capacity, typeIds, count);
    }

    FakeModuleType& type_;
};

} // namespace

FakeModuleType::FakeModuleType(FakeModuleScript script) : script_(std::move(script))
{
    factoryRegister();
}

FakeModuleType::~FakeModuleType()
{
    factoryUnregister();
    for (ModuleInterface* module : live_) {
        NodeManager::getInstance().removeNode(static_cast<const ModuleConfigInterface*>(module));
        delete module;
    }
}

std::vector<FakeCall> FakeModuleType::calls(const std::string& operation) const
{
    std::vector<FakeCall> matching;
    for (const FakeCall& call : calls_) {
        if (call.operation == operation) {
            matching.push_back(call);
        }
    }
    return matching;
}

std::vector<std::string> FakeModuleType::operations() const
{
    std::vector<std::string> names;
    for (const FakeCall& call : calls_) {
        names.push_back(call.operation);
    }
    return names;
}

int FakeModuleType::answer(const std::string& operation) const
{
    const auto it = script_.answers.find(operation);
    return it != script_.answers.end() ? it->second : VNX_STATUS_SUCCESS;
}

ModuleInterface* FakeModuleType::createModule()
{
    live_.push_back(new FakeModule(*this));
    ++created_;
    return live_.back();
}

int FakeModuleType::destroyModule(ModuleInterface* module)
{
    if (module == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    const auto it = std::find(live_.begin(), live_.end(), module);
    if (it == live_.end()) {
        return VNX_STATUS_INTERNAL_ERROR;
    }
    live_.erase(it);
    delete module;
    return VNX_STATUS_SUCCESS;
}

bool FakeModuleType::isStructValid(vnx_Struct_s* record)
{
    return record != nullptr && record->type == script_.type;
}

int FakeModuleType::factoryRegister()
{
    return ModuleFactory::registerModule(this);
}

int FakeModuleType::factoryUnregister()
{
    return ModuleFactory::unregisterModule(this);
}

} // namespace vnx::testsupport
