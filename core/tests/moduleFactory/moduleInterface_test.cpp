#include <gtest/gtest.h>

#include <type_traits>

#include "common/statusCode.h"
#include "moduleFactory/moduleInterface.h"
#include "moduleFactory/moduleListenerInterface.h"

namespace {

static_assert(std::is_abstract_v<vnx::ModuleConfigInterface>);
static_assert(std::is_abstract_v<vnx::ModuleInterface>);
static_assert(std::is_abstract_v<vnx::ModuleListenerInterface>);
static_assert(std::is_base_of_v<vnx::ModuleConfigInterface, vnx::ModuleInterface>);
static_assert(std::has_virtual_destructor_v<vnx::ModuleInterface>);
static_assert(std::has_virtual_destructor_v<vnx::ModuleListenerInterface>);

// A minimal module without interfaces: it reports every command of its own
// type as a status record to its listener and returns what the listener wrote.
class EchoModule final : public vnx::ModuleInterface
{
  public:
    static constexpr uint8_t kType = 201;

    int setModuleListener(vnx::ModuleListenerInterface* listener) override
    {
        listener_ = listener;
        return VNX_STATUS_SUCCESS;
    }
    int getConfig(vnx_StructConfig_s*) const override { return VNX_STATUS_FEATURE_NOT_IMPLEMENTED; }
    int setConfig(const vnx_StructConfig_s*) override { return VNX_STATUS_FEATURE_NOT_IMPLEMENTED; }
    int sendCommand(const vnx_StructCommand_s* command) override
    {
        if (command->header.type != kType) {
            return VNX_STATUS_NOT_FOR_ME;
        }
        vnx_StructStatus_s status{};
        status.header = {32, kType, VNX_KIND_STATUS, 1, {}, command->header.instanceId};
        if (listener_ != nullptr) {
            listener_->statusCallback(this, &status);
        }
        return static_cast<int>(status.result);
    }
    uint8_t getType() const override { return kType; }
    int init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&) override { return 0; }
    int term() override { return 0; }
    int getDcd(vnx_dcdData_s*, int, int&) const override { return 0; }
    int getInputInterfaceCount() const override { return 0; }
    int getInputInterface(int, size_t, uint8_t*, size_t&) const override
    {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    int getOutputInterfaceCount() const override { return 0; }
    int getOutputInterface(int, size_t, uint8_t*, size_t&) const override
    {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    int process(int, size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**, int, size_t,
                vnx_StructOutput_s**, vnx_StructFormat_s**) override
    {
        return VNX_STATUS_NO_WORK_DONE;
    }

  private:
    vnx::ModuleListenerInterface* listener_ = nullptr;
};

// Records what it hears and answers every status with a result of 9.
class RecordingListener final : public vnx::ModuleListenerInterface
{
  public:
    void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override
    {
        lastSource = source;
        lastInstanceId = status->header.instanceId;
        const_cast<vnx_StructStatus_s*>(status)->result = 9;
        ++calls;
    }

    vnx::ModuleConfigInterface* lastSource = nullptr;
    uint64_t lastInstanceId = 0;
    int calls = 0;
};

TEST(ModuleInterface, StatusReachesTheListenerWithTheModuleAsSource)
{
    EchoModule echo;
    RecordingListener listener;
    vnx::ModuleInterface& module = echo;
    ASSERT_EQ(module.setModuleListener(&listener), 0);

    vnx_StructCommand_s command{};
    command.header = {32, EchoModule::kType, VNX_KIND_COMMAND, 1, {}, 42};
    EXPECT_EQ(module.sendCommand(&command), 9);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.lastSource, static_cast<vnx::ModuleConfigInterface*>(&echo));
    EXPECT_EQ(listener.lastInstanceId, 42u);

    command.header.type = EchoModule::kType + 1;
    EXPECT_EQ(module.sendCommand(&command), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(listener.calls, 1);
}

} // namespace
