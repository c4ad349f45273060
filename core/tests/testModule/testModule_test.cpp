#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/moduleApi.h"
#include "moduleFactory/moduleListenerInterface.h"
#include "testModule/TestModule.h"
#include "testModule/TestModuleRecords.h"

namespace {

struct Report
{
    vnx_ModuleHandle_s* handle;
    uint32_t code;
    void* userData;
    bool isTestModuleStatus;
};

struct Listener
{
    std::vector<Report> reports;
    uint32_t answer = 0; // written into `result` of every status
};

void listen(vnx_ModuleHandle_s* handle, const vnx_StructStatus_s* status, void* userData)
{
    auto* listener = static_cast<Listener*>(userData);
    const auto* own = vnx_TestModule_dynamicDownCastConstStatus(status);
    listener->reports.push_back({handle, own != nullptr ? own->code : 0u, userData, own != nullptr});
    const_cast<vnx_StructStatus_s*>(status)->result = listener->answer;
}

class TestModuleThroughTheFlatApi : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(vnx_TestModule_moduleFactoryRegister(), VNX_STATUS_SUCCESS);
        handle = vnx_ModuleFactory_createModule(VNX_TYPE_TEST_MODULE);
        ASSERT_NE(handle, nullptr);
    }
    void TearDown() override
    {
        EXPECT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_SUCCESS);
        vnx_TestModule_moduleFactoryUnregister();
        vnx::NodeManager::getInstance().reset();
    }

    vnx_ModuleHandle_s* handle = nullptr;
    Listener listener;
};

struct Operation
{
    std::string name;
    uint32_t code;
    std::function<int(vnx_ModuleHandle_s*)> call;
    bool returnsListenerAnswer;
};

std::vector<Operation> operations()
{
    static vnx_TestModule_Config_s config;
    static vnx_TestModule_Command_s command;
    static int offset = 0;
    static size_t count = 0;
    static uint8_t ids[1];
    return {
        {"getConfig", 2, [](auto h) { return vnx_Module_getConfig(h, &config.config); }, true},
        {"setConfig", 3, [](auto h) { return vnx_Module_setConfig(h, &config.config); }, true},
        {"sendCommand", 4, [](auto h) { return vnx_Module_sendCommand(h, &command.command); }, true},
        {"getType", 5, [](auto h) { return int{vnx_Module_getType(h)}; }, false},
        {"init", 6, [](auto h) { return vnx_Module_init(h, nullptr, &offset, nullptr, &offset); }, true},
        {"term", 7, [](auto h) { return vnx_Module_term(h); }, true},
        {"getDcd", 8, [](auto h) { return vnx_Module_getDcd(h, nullptr, 0, &offset); }, true},
        {"getInputInterfaceCount", 9, [](auto h) { return vnx_Module_getInputInterfaceCount(h); }, false},
        {"getInputInterface", 10, [](auto h) { return vnx_Module_getInputInterface(h, 0, 1, ids, &count); },
         true},
        {"getOutputInterfaceCount", 11, [](auto h) { return vnx_Module_getOutputInterfaceCount(h); }, false},
        {"getOutputInterface", 12, [](auto h) { return vnx_Module_getOutputInterface(h, 0, 1, ids, &count); },
         true},
        {"process", 13,
         [](auto h) { return vnx_Module_process(h, 0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr); }, true},
    };
}

TEST_F(TestModuleThroughTheFlatApi, EveryOperationReportsItsCodeWithHandleAndUserData)
{
    ASSERT_EQ(vnx_Module_setModuleListener(handle, listen, &listener), VNX_STATUS_SUCCESS);
    // The new listener hears of its own installation at once.
    ASSERT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(listener.reports[0].code, 1u);

    for (const Operation& operation : operations()) {
        SCOPED_TRACE(operation.name);
        listener.reports.clear();
        operation.call(handle);
        ASSERT_EQ(listener.reports.size(), 1u);
        const Report& report = listener.reports[0];
        EXPECT_EQ(report.handle, handle);
        EXPECT_TRUE(report.isTestModuleStatus);
        EXPECT_EQ(report.code, operation.code);
        EXPECT_EQ(report.userData, &listener);
    }
}

TEST_F(TestModuleThroughTheFlatApi, ListenerSteersTheReturnValues)
{
    listener.answer = 5;
    vnx_Module_setModuleListener(handle, listen, &listener);
    for (const Operation& operation : operations()) {
        SCOPED_TRACE(operation.name);
        const int result = operation.call(handle);
        if (operation.returnsListenerAnswer) {
            EXPECT_EQ(result, 5);
        }
    }
    EXPECT_EQ(vnx_Module_getType(handle), VNX_TYPE_TEST_MODULE);
    EXPECT_EQ(vnx_Module_getInputInterfaceCount(handle), 1);
    EXPECT_EQ(vnx_Module_getOutputInterfaceCount(handle), 1);
}

TEST_F(TestModuleThroughTheFlatApi, WithoutListenerEveryOperationReturnsZero)
{
    for (const Operation& operation : operations()) {
        SCOPED_TRACE(operation.name);
        const int result = operation.call(handle);
        if (operation.returnsListenerAnswer) {
            EXPECT_EQ(result, 0);
        }
    }
    EXPECT_EQ(vnx_Module_getType(handle), VNX_TYPE_TEST_MODULE);
}

TEST_F(TestModuleThroughTheFlatApi, ClearedListenerHearsNothingMore)
{
    vnx_Module_setModuleListener(handle, listen, &listener);
    listener.reports.clear();
    EXPECT_EQ(vnx_Module_setModuleListener(handle, nullptr, &listener), VNX_STATUS_SUCCESS);
    vnx_Module_term(handle);
    vnx_Module_getType(handle);
    EXPECT_TRUE(listener.reports.empty());
}

TEST_F(TestModuleThroughTheFlatApi, InterfaceQueriesRefuseSilently)
{
    listener.answer = 5;
    vnx_Module_setModuleListener(handle, listen, &listener);
    listener.reports.clear();

    uint8_t ids[2] = {0, 0};
    size_t count = 42;
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 1, 2, ids, &count), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getOutputInterface(handle, -1, 2, ids, &count), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(count, 42u);
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 0, 0, ids, &count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(listener.reports.empty());

    EXPECT_EQ(vnx_Module_getOutputInterface(handle, 0, 2, ids, &count), 5);
    EXPECT_EQ(ids[0], VNX_TYPE_TEST_MODULE);
    EXPECT_EQ(ids[1], 0);
}

TEST(TestModuleRecords, StatusStartsWithResultZeroExtraMinusOneAndNoCode)
{
    vnx_TestModule_Status_s status;
    std::memset(&status, 0xAA, sizeof(status));
    ASSERT_EQ(vnx_TestModule_initStatus(&status), VNX_STATUS_SUCCESS);
    EXPECT_EQ(status.status.header.size, 40);
    EXPECT_EQ(status.status.header.type, VNX_TYPE_TEST_MODULE);
    EXPECT_EQ(status.status.header.kind, VNX_KIND_STATUS);
    EXPECT_EQ(status.status.header.version, 1);
    EXPECT_EQ(status.status.header.instanceId, 0u);
    EXPECT_EQ(status.status.result, 0u);
    EXPECT_EQ(status.status.extra, -1);
    EXPECT_EQ(status.code, 0u);

    vnx_TestModule_Config_s config;
    ASSERT_EQ(vnx_TestModule_initConfig(&config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(config.config.header.size, 40);
    EXPECT_EQ(config.value, 0u);
    vnx_TestModule_Output_s output;
    ASSERT_EQ(vnx_TestModule_initOutput(&output), VNX_STATUS_SUCCESS);
    EXPECT_EQ(output.header.size, 16);
}

// The reporting step itself, with a listener that checks the record as sent.
TEST(TestModuleClass, ReportSendsAFreshStatusWithExtraZeroAndNoSource)
{
    struct Checker : vnx::ModuleListenerInterface
    {
        void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override
        {
            sourceWasNull = source == nullptr;
            extra = status->extra;
            result = status->result;
            const_cast<vnx_StructStatus_s*>(status)->result = 0xFFFFFFFFu;
        }
        bool sourceWasNull = false;
        int64_t extra = 7;
        uint32_t result = 7;
    } checker;
    TestModule module;
    EXPECT_EQ(module.setModuleListener(&checker), -1);
    EXPECT_TRUE(checker.sourceWasNull);
    EXPECT_EQ(checker.extra, 0);
    EXPECT_EQ(checker.result, 0u);
    EXPECT_EQ(module.setModuleListener(nullptr), 0);
}

} // namespace
