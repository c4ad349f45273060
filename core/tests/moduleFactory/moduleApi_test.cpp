#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "fakeWidget.h"
#include "moduleFactory/ModuleHandle.h"
#include "moduleFactory/moduleApi.h"

namespace {

struct Call
{
    vnx_ModuleHandle_s* handle;
    uint64_t instanceId;
    void* userData;
};

std::vector<Call> calls;

void recordCall(vnx_ModuleHandle_s* handle, const vnx_StructStatus_s* status, void* userData)
{
    calls.push_back({handle, status->header.instanceId, userData});
}

void answerNine(vnx_ModuleHandle_s*, const vnx_StructStatus_s* status, void*)
{
    const_cast<vnx_StructStatus_s*>(status)->result = 9;
}

class ModuleApi : public ::testing::Test
{
  protected:
    void SetUp() override { calls.clear(); }
    void TearDown() override
    {
        WidgetModule::constructionFailure = WidgetModule::Failure::None;
        WidgetModule::processFailure = WidgetModule::Failure::None;
        EXPECT_EQ(WidgetModule::live, 0) << "a test left a module behind";
        EXPECT_EQ(vnx::moduleHandles().size(), 0u) << "a test left a handle behind";
        vnx::NodeManager::getInstance().reset();
    }

    WidgetModule& widgetOf(vnx_ModuleHandle_s* handle)
    {
        return *dynamic_cast<WidgetModule*>(vnx::liveModuleHandle(handle)->module);
    }

    ScopedWidgetFactories factories;
};

TEST_F(ModuleApi, TypesWithoutModuleGiveNoHandle)
{
    EXPECT_EQ(vnx_ModuleFactory_createModule(kSprocketType), nullptr);
    EXPECT_EQ(vnx_ModuleFactory_createModule(212), nullptr);
}

TEST_F(ModuleApi, HandleDrivesItsModuleAndDestroysIt)
{
    vnx_ModuleHandle_s* handle = vnx_ModuleFactory_createModule(kWidgetType);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(WidgetModule::live, 1);
    EXPECT_EQ(vnx_Module_getType(handle), kWidgetType);

    int scdOffset = 1;
    int dcdOffset = 2;
    EXPECT_EQ(vnx_Module_init(handle, nullptr, &scdOffset, nullptr, &dcdOffset), 0);
    EXPECT_EQ(scdOffset, 5);
    EXPECT_EQ(dcdOffset, 10);
    EXPECT_EQ(vnx_Module_getDcd(handle, nullptr, 30, &dcdOffset), 0);
    EXPECT_EQ(dcdOffset, 40);
    EXPECT_EQ(vnx_Module_term(handle), 3);

    size_t count = 0;
    EXPECT_EQ(vnx_Module_getInputInterfaceCount(handle), 2);
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 1, 0, nullptr, &count), -11);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(vnx_Module_getOutputInterfaceCount(handle), 1);
    EXPECT_EQ(vnx_Module_getOutputInterface(handle, 0, 0, nullptr, &count), -17);
    EXPECT_EQ(vnx_Module_process(handle, 1, 2, nullptr, nullptr, 3, 4, nullptr, nullptr), 1234);

    EXPECT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_SUCCESS);
    EXPECT_EQ(WidgetModule::live, 0);
}

TEST_F(ModuleApi, CallbackGetsHandleStatusAndUserData)
{
    vnx_ModuleHandle_s* handle = vnx_ModuleFactory_createModule(kWidgetType);
    ASSERT_NE(handle, nullptr);
    int userData = 0;
    // The module's own answer (42) is not passed on.
    EXPECT_EQ(vnx_Module_setModuleListener(handle, recordCall, &userData), VNX_STATUS_SUCCESS);
    EXPECT_EQ(widgetOf(handle).listener(), vnx::liveModuleHandle(handle));

    vnx_Widget_Command_s command;
    vnx_Widget_initCommand(&command);
    command.header.instanceId = 77;
    EXPECT_EQ(vnx_Module_sendCommand(handle, &command), 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].handle, handle);
    EXPECT_EQ(calls[0].instanceId, 77u);
    EXPECT_EQ(calls[0].userData, &userData);

    // The listener's answer in the status record comes back as the result.
    vnx_Module_setModuleListener(handle, answerNine, nullptr);
    EXPECT_EQ(vnx_Module_sendCommand(handle, &command), 9);

    EXPECT_EQ(vnx_Module_setModuleListener(handle, nullptr, &userData), VNX_STATUS_SUCCESS);
    EXPECT_EQ(widgetOf(handle).listener(), nullptr);
    EXPECT_EQ(vnx_Module_sendCommand(handle, &command), 0);
    EXPECT_EQ(calls.size(), 1u);

    vnx_Module_setModuleListener(handle, recordCall, nullptr);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_SUCCESS);
}

TEST_F(ModuleApi, DestroyingTwiceOrAForeignPointerTouchesNothing)
{
    vnx_ModuleHandle_s* handle = vnx_ModuleFactory_createModule(kWidgetType);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_SUCCESS);
    // The pointer is stale now: it must not be read (the sanitizer build
    // would report the use after free).
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_INTERNAL_ERROR);

    // A handle-shaped object the API did not make: its module is left alone.
    WidgetModule module;
    vnx_ModuleHandle_s foreign;
    foreign.module = &module;
    module.setModuleListener(&foreign);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(&foreign), VNX_STATUS_INTERNAL_ERROR);
    EXPECT_EQ(module.listener(), &foreign);
    EXPECT_EQ(WidgetModule::live, 1);

    EXPECT_EQ(vnx_ModuleFactory_destroyModule(nullptr), VNX_STATUS_SUCCESS);
}

// Every operation through a handle that is not live: -2 (0 for the type),
// with nothing read through it; the sanitizer build reports any read.
void expectRefusedEverywhere(vnx_ModuleHandle_s* handle)
{
    size_t count = 77;
    int scdOffset = 5;
    int dcdOffset = 6;
    vnx_Widget_Config_s config;
    vnx_Widget_initConfig(&config);
    const vnx_Widget_Config_s before = config;
    EXPECT_EQ(vnx_Module_getType(handle), 0);
    EXPECT_EQ(vnx_Module_setModuleListener(handle, recordCall, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getConfig(handle, &config), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_setConfig(handle, &config), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_sendCommand(handle, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_init(handle, nullptr, &scdOffset, nullptr, &dcdOffset),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_term(handle), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getDcd(handle, nullptr, 0, &dcdOffset), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getInputInterfaceCount(handle), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 0, 0, nullptr, &count), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getOutputInterfaceCount(handle), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getOutputInterface(handle, 0, 0, nullptr, &count), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_process(handle, 0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_ModuleFactory_createModuleWithParent(handle, kWidgetType), nullptr);
    EXPECT_EQ(count, 77u);
    EXPECT_EQ(scdOffset, 5);
    EXPECT_EQ(dcdOffset, 6);
    EXPECT_EQ(std::memcmp(&config, &before, sizeof config), 0);
}

TEST_F(ModuleApi, DestroyedHandleIsRefusedAndNeverNamesALaterModule)
{
    vnx_ModuleHandle_s* kept = vnx_ModuleFactory_createModule(kWidgetType);
    vnx_ModuleHandle_s* stale = vnx_ModuleFactory_createModule(kWidgetType);
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(stale, nullptr);
    vnx_Module_setModuleListener(kept, recordCall, nullptr);
    ASSERT_EQ(vnx_ModuleFactory_destroyModule(stale), VNX_STATUS_SUCCESS);

    // Created at once, so that it takes the place the stale handle had.
    vnx_ModuleHandle_s* fresh = vnx_ModuleFactory_createModule(kWidgetType);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, stale);
    expectRefusedEverywhere(stale);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(stale), VNX_STATUS_INTERNAL_ERROR);

    // The stale handle reached neither the new module nor the live one.
    EXPECT_EQ(widgetOf(fresh).listener(), nullptr);
    EXPECT_EQ(vnx_Module_getType(fresh), kWidgetType);
    vnx_Widget_Command_s command;
    vnx_Widget_initCommand(&command);
    EXPECT_EQ(vnx_Module_sendCommand(kept, &command), 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].handle, kept);
    EXPECT_EQ(WidgetModule::live, 2);

    EXPECT_EQ(vnx_ModuleFactory_destroyModule(fresh), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(kept), VNX_STATUS_SUCCESS);
}

TEST_F(ModuleApi, PointersThatWereNeverHandlesAreRefused)
{
    WidgetModule module;
    vnx_ModuleHandle_s foreign;
    foreign.module = &module;
    expectRefusedEverywhere(&foreign);
    expectRefusedEverywhere(reinterpret_cast<vnx_ModuleHandle_s*>(uintptr_t{1}));
    EXPECT_EQ(module.listener(), nullptr);
}

int destroyAnswer = 1;
int liveInCallback = -1;

void destroyOwnHandle(vnx_ModuleHandle_s* handle, const vnx_StructStatus_s*, void*)
{
    calls.push_back({handle, 0, nullptr});
    destroyAnswer = vnx_ModuleFactory_destroyModule(handle);
    liveInCallback = WidgetModule::live;
}

TEST_F(ModuleApi, CallbackThatDestroysItsModuleDefersTheDestructionToTheCallsEnd)
{
    vnx_ModuleHandle_s* handle = vnx_ModuleFactory_createModule(kWidgetType);
    ASSERT_NE(handle, nullptr);
    vnx_Module_setModuleListener(handle, destroyOwnHandle, nullptr);
    vnx_Widget_Command_s command;
    vnx_Widget_initCommand(&command);
    // The module reports, the callback destroys the handle, and the module
    // then goes on with its call (the sanitizer build sees any use of freed
    // memory); it is destroyed when the call returns.
    EXPECT_EQ(vnx_Module_sendCommand(handle, &command), 0);
    EXPECT_EQ(destroyAnswer, VNX_STATUS_SUCCESS);
    EXPECT_EQ(liveInCallback, 1);
    EXPECT_EQ(WidgetModule::live, 0);
    EXPECT_EQ(calls.size(), 1u);
    expectRefusedEverywhere(handle);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_INTERNAL_ERROR);
}

TEST_F(ModuleApi, NullHandleIsAnsweredWithoutACall)
{
    size_t count = 0;
    int offset = 0;
    EXPECT_EQ(vnx_Module_getType(nullptr), 0);
    EXPECT_EQ(vnx_Module_setModuleListener(nullptr, recordCall, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getConfig(nullptr, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_setConfig(nullptr, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_sendCommand(nullptr, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_init(nullptr, nullptr, &offset, nullptr, &offset), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_term(nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getDcd(nullptr, nullptr, 0, &offset), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getInputInterfaceCount(nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getInputInterface(nullptr, 0, 0, nullptr, &count), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getOutputInterfaceCount(nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getOutputInterface(nullptr, 0, 0, nullptr, &count), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_process(nullptr, 0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_TRUE(calls.empty());
}

TEST_F(ModuleApi, NullReferenceArgumentsAreRefused)
{
    vnx_ModuleHandle_s* handle = vnx_ModuleFactory_createModule(kWidgetType);
    ASSERT_NE(handle, nullptr);
    int offset = 0;
    EXPECT_EQ(vnx_Module_init(handle, nullptr, nullptr, nullptr, &offset), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_init(handle, nullptr, &offset, nullptr, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getDcd(handle, nullptr, 0, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 0, 0, nullptr, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_getOutputInterface(handle, 0, 0, nullptr, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_SUCCESS);
}

TEST_F(ModuleApi, ChildModuleIsNamedUnderItsParentsModule)
{
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    vnx_ModuleHandle_s* parent = vnx_ModuleFactory_createModule(kWidgetType);
    ASSERT_NE(parent, nullptr);
    int owner = 0;
    ASSERT_NE(nodes.addNode(nullptr, &owner, vnx::NodeInterface::NODE_DEVICE, "Dev"), nullptr);
    ASSERT_NE(nodes.addNode(&owner, static_cast<vnx::ModuleConfigInterface*>(&widgetOf(parent)),
                            vnx::NodeInterface::NODE_MODULE, "Top"),
              nullptr);

    vnx_ModuleHandle_s* child = vnx_ModuleFactory_createModuleWithParent(parent, kWidgetType);
    ASSERT_NE(child, nullptr);
    EXPECT_NE(nodes.getNode("Dev.Top.Widget"), nullptr);

    vnx_ModuleHandle_s* orphan = vnx_ModuleFactory_createModuleWithParent(nullptr, kWidgetType);
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(WidgetModule::live, 3);

    EXPECT_EQ(vnx_ModuleFactory_destroyModule(child), VNX_STATUS_SUCCESS);
    EXPECT_EQ(nodes.getNode("Dev.Top.Widget"), nullptr);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(orphan), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(parent), VNX_STATUS_SUCCESS);
}

TEST_F(ModuleApi, ParentThatIsNotAHandleGivesNoModule)
{
    vnx_ModuleHandle_s foreign;
    EXPECT_EQ(vnx_ModuleFactory_createModuleWithParent(&foreign, kWidgetType), nullptr);
    EXPECT_EQ(WidgetModule::live, 0);
}

TEST_F(ModuleApi, ExceptionsStayInsideTheLibrary)
{
    WidgetModule::constructionFailure = WidgetModule::Failure::OutOfMemory;
    EXPECT_EQ(vnx_ModuleFactory_createModule(kWidgetType), nullptr);
    WidgetModule::constructionFailure = WidgetModule::Failure::Other;
    EXPECT_EQ(vnx_ModuleFactory_createModule(kWidgetType), nullptr);
    WidgetModule::constructionFailure = WidgetModule::Failure::None;

    vnx_ModuleHandle_s* handle = vnx_ModuleFactory_createModule(kWidgetType);
    ASSERT_NE(handle, nullptr);
    WidgetModule::processFailure = WidgetModule::Failure::OutOfMemory;
    EXPECT_EQ(vnx_Module_process(handle, 0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr),
              VNX_STATUS_OUT_OF_MEMORY);
    WidgetModule::processFailure = WidgetModule::Failure::Other;
    EXPECT_EQ(vnx_Module_process(handle, 0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr),
              VNX_STATUS_INTERNAL_ERROR);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_SUCCESS);
}

TEST_F(ModuleApi, RecordsAndNamesThroughTheFlatFunctions)
{
    EXPECT_STREQ(vnx_ModuleFactory_typeIdToString(kWidgetType), "Widget");
    EXPECT_STREQ(vnx_ModuleFactory_typeIdToString(212), "Undefined");
    EXPECT_EQ(vnx_ModuleFactory_createOutput(212), nullptr);

    vnx_StructOutput_s* output = vnx_ModuleFactory_createOutput(kWidgetType);
    ASSERT_NE(output, nullptr);
    EXPECT_NE(vnx_Widget_dynamicDownCastOutput(output), nullptr);
    EXPECT_EQ(vnx_ModuleFactory_destroyOutput(output), VNX_STATUS_SUCCESS);

    vnx_StructStatus_s* status = vnx_ModuleFactory_createStatus(kSprocketType);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->header.type, kSprocketType);
    EXPECT_EQ(vnx_ModuleFactory_destroyStruct(&status->header), VNX_STATUS_SUCCESS);

    vnx_ModuleFactory_destroyConfig(vnx_ModuleFactory_createConfig(kWidgetType));
    vnx_ModuleFactory_destroyCommand(vnx_ModuleFactory_createCommand(kWidgetType));
    vnx_ModuleFactory_destroyFormat(vnx_ModuleFactory_createFormat(kWidgetType));
    EXPECT_EQ(vnx_ModuleFactory_destroyStatus(nullptr), VNX_STATUS_SUCCESS);
}

} // namespace
