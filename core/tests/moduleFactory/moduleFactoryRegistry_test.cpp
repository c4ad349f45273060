#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "factoryLogCapture.h"
#include "fakeWidget.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/ModuleFactoryInterface.h"

namespace {

using vnx::ModuleFactory;
using vnx::NodeInterface;
using vnx::NodeManager;

class ModuleFactoryRegistry : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        EXPECT_EQ(WidgetModule::live, 0) << "a test left a module behind";
        NodeManager::getInstance().reset();
    }
};

TEST_F(ModuleFactoryRegistry, RegisteredTypeIsCreatedByIdAndNamed)
{
    ScopedWidgetFactories factories;
    EXPECT_STREQ(ModuleFactory::typeIdToString(kWidgetType), "Widget");
    EXPECT_STREQ(ModuleFactory::typeIdToString(kSprocketType), "Sprocket");

    vnx::ModuleInterface* module = ModuleFactory::createModule(kWidgetType);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(dynamic_cast<WidgetModule*>(module), nullptr);
    EXPECT_EQ(WidgetModule::live, 1);
    EXPECT_EQ(ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
    EXPECT_EQ(WidgetModule::live, 0);
}

TEST_F(ModuleFactoryRegistry, UnregisteredTypeIsUndefinedAndNotCreated)
{
    {
        ScopedWidgetFactories factories;
    }
    EXPECT_STREQ(ModuleFactory::typeIdToString(kWidgetType), "Undefined");
    EXPECT_EQ(ModuleFactory::createModule(kWidgetType), nullptr);
    EXPECT_EQ(ModuleFactory::createOutput(kWidgetType), nullptr);
    EXPECT_EQ(ModuleFactory::createConfig(kSprocketType), nullptr);
}

TEST_F(ModuleFactoryRegistry, MissingTypeLogsOneWarningWithIdAndTypeName)
{
    ScopedWidgetFactories factories; // brings up the factory's logger
    FactoryLogCapture log;
    ASSERT_TRUE(log.attached());
    // Type 212 has no name in any lookup: the fallback name is printed.
    log.expect(vnx::log::WARN, "Module not available: 212 (<Unknown Type (212)>)");
    EXPECT_EQ(ModuleFactory::createModule(212), nullptr);
    EXPECT_TRUE(log.matches());
}

TEST_F(ModuleFactoryRegistry, RecordOnlyTypeHasNoModuleAndLogsNothing)
{
    ScopedWidgetFactories factories;
    FactoryLogCapture log;
    ASSERT_TRUE(log.attached());
    EXPECT_EQ(ModuleFactory::createModule(kSprocketType), nullptr);
    EXPECT_TRUE(log.matches());

    // Destroying is a no-op whatever it is handed.
    WidgetModule stranger;
    EXPECT_EQ(sprocketFactory().destroyModule(&stranger), VNX_STATUS_SUCCESS);
    EXPECT_EQ(sprocketFactory().destroyModule(nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(WidgetModule::live, 1);
}

TEST_F(ModuleFactoryRegistry, NullRegistrationsAreRefusedAndLogged)
{
    ScopedWidgetFactories factories;
    FactoryLogCapture log;
    ASSERT_TRUE(log.attached());
    log.expect(vnx::log::WARN, "Attempted to register NULL factory");
    log.expect(vnx::log::WARN, "Attempted to unregister NULL factory");
    EXPECT_EQ(ModuleFactory::registerModule(nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(ModuleFactory::unregisterModule(nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_TRUE(log.matches());
}

TEST_F(ModuleFactoryRegistry, UnregisterReportsOneEvenWithoutEntry)
{
    EXPECT_EQ(vnx_Widget_moduleFactoryRegister(), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_Widget_moduleFactoryUnregister(), 1);
    EXPECT_EQ(vnx_Widget_moduleFactoryUnregister(), 1);
}

TEST_F(ModuleFactoryRegistry, SecondRegistrationNeedsASecondUnregistration)
{
    ScopedWidgetFactories factories;
    ASSERT_EQ(vnx_Widget_moduleFactoryRegister(), VNX_STATUS_SUCCESS);
    ASSERT_EQ(vnx_Widget_moduleFactoryUnregister(), 1);

    vnx::ModuleInterface* module = ModuleFactory::createModule(kWidgetType);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
    EXPECT_STREQ(ModuleFactory::typeIdToString(kWidgetType), "Widget");
}

TEST_F(ModuleFactoryRegistry, ModuleNotMadeByTheFactoryIsNotFreed)
{
    ScopedWidgetFactories factories;
    WidgetModule stranger;
    EXPECT_EQ(ModuleFactory::destroyModule(&stranger), VNX_STATUS_INTERNAL_ERROR);
    EXPECT_EQ(WidgetModule::live, 1);
    EXPECT_EQ(ModuleFactory::destroyModule(nullptr), VNX_STATUS_SUCCESS);
}

TEST_F(ModuleFactoryRegistry, ModuleWhoseFactoryLeftCannotBeDestroyed)
{
    vnx::ModuleInterface* module = nullptr;
    {
        ScopedWidgetFactories factories;
        module = ModuleFactory::createModule(kWidgetType);
        ASSERT_NE(module, nullptr);
    }
    EXPECT_EQ(ModuleFactory::destroyModule(module), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(WidgetModule::live, 1);

    // The factory object outlives its registration: registered again, it
    // still knows the module.
    ScopedWidgetFactories again;
    EXPECT_EQ(ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
}

TEST_F(ModuleFactoryRegistry, ModuleWithParentIsNamedUnderTheParentsNode)
{
    ScopedWidgetFactories factories;
    NodeManager& nodes = NodeManager::getInstance();
    int owner = 0;
    ASSERT_NE(nodes.addNode(nullptr, &owner, NodeInterface::NODE_DEVICE, "Dev"), nullptr);

    vnx::ModuleInterface* module = ModuleFactory::createModule(&owner, kWidgetType);
    ASSERT_NE(module, nullptr);
    const NodeInterface* node = nodes.getNode("Dev.Widget");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getNodeType(), NodeInterface::NODE_MODULE);
    EXPECT_EQ(**node, static_cast<const void*>(static_cast<vnx::ModuleConfigInterface*>(module)));

    EXPECT_EQ(ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
    EXPECT_EQ(nodes.getNode("Dev.Widget"), nullptr);
    EXPECT_NE(nodes.getNode("Dev"), nullptr);
}

TEST_F(ModuleFactoryRegistry, RegistryStandsInTheNodeTreeAgainAfterAReset)
{
    ScopedWidgetFactories factories;
    NodeManager& nodes = NodeManager::getInstance();
    const NodeInterface* node = nodes.getNode("sys.ModuleFactory");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getNodeType(), NodeInterface::NODE_SUBNODE);
    EXPECT_NE(nodes.getNode("sys.ModuleFactory.dftLog"), nullptr);

    nodes.reset();
    EXPECT_EQ(nodes.getNode("sys.ModuleFactory"), nullptr);
    ASSERT_EQ(vnx_Widget_moduleFactoryRegister(), VNX_STATUS_SUCCESS);
    EXPECT_NE(nodes.getNode("sys.ModuleFactory"), nullptr);
    EXPECT_NE(nodes.getNode("sys.ModuleFactory.dftLog"), nullptr);
    FactoryLogCapture log;
    EXPECT_TRUE(log.attached());
    EXPECT_EQ(vnx_Widget_moduleFactoryUnregister(), 1);
}

TEST_F(ModuleFactoryRegistry, CreatedRecordsAreZeroFilledAndInitialised)
{
    ScopedWidgetFactories factories;
    vnx_StructOutput_s* output = ModuleFactory::createOutput(kWidgetType);
    ASSERT_NE(output, nullptr);
    const auto* widget = vnx_Widget_dynamicDownCastConstOutput(output);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->value, 7);
    const uint8_t zero[8] = {};
    EXPECT_EQ(std::memcmp(output->header.padding, zero, sizeof(output->header.padding)), 0);
    EXPECT_EQ(std::memcmp(widget->padding, zero, sizeof(widget->padding)), 0);
    EXPECT_EQ(ModuleFactory::destroyOutput(output), VNX_STATUS_SUCCESS);

    vnx_StructConfig_s* config = ModuleFactory::createConfig(kSprocketType);
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->header.size, 32);
    EXPECT_EQ(config->header.kind, VNX_KIND_CONFIG);
    EXPECT_EQ(config->extra, -1);
    EXPECT_EQ(ModuleFactory::destroyStruct(&config->header), VNX_STATUS_SUCCESS);
}

// One record of each kind, destroyed through destroyStruct's dispatch; the
// sanitizer build checks that each is freed exactly once.
TEST_F(ModuleFactoryRegistry, DestroyStructDispatchesOnTheKind)
{
    ScopedWidgetFactories factories;
    std::vector<vnx_Struct_s*> records = {
        &ModuleFactory::createConfig(kWidgetType)->header, &ModuleFactory::createCommand(kWidgetType)->header,
        &ModuleFactory::createStatus(kWidgetType)->header, &ModuleFactory::createFormat(kWidgetType)->header,
        &ModuleFactory::createOutput(kWidgetType)->header,
    };
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i]->kind, i + 1);
        EXPECT_EQ(ModuleFactory::destroyStruct(records[i]), VNX_STATUS_SUCCESS);
    }
}

TEST_F(ModuleFactoryRegistry, RecordsOfUnknownTypeOrKindAreNotFreed)
{
    ScopedWidgetFactories factories;
    vnx_StructOutput_s stray{};
    stray.header = {16, 212, VNX_KIND_OUTPUT, 1, {}, 0};
    EXPECT_EQ(ModuleFactory::destroyOutput(&stray), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(ModuleFactory::destroyStruct(&stray.header), VNX_STATUS_INVALID_PARAMETER);

    // Kind 0 of a known type: nothing is freed (the record is on the stack).
    stray.header = {16, kWidgetType, 0, 1, {}, 0};
    EXPECT_EQ(ModuleFactory::destroyStruct(&stray.header), VNX_STATUS_INVALID_PARAMETER);
    stray.header.kind = 6;
    EXPECT_EQ(ModuleFactory::destroyStruct(&stray.header), VNX_STATUS_INVALID_PARAMETER);

    EXPECT_EQ(ModuleFactory::destroyStruct(nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(ModuleFactory::destroyConfig(nullptr), VNX_STATUS_SUCCESS);
}

TEST_F(ModuleFactoryRegistry, FactoryDescribesItsTypeAndChecksItsOwnRecords)
{
    vnx::ModuleFactoryInterface& factory = widgetFactory();
    EXPECT_STREQ(factory.getName(), "Widget");
    EXPECT_EQ(factory.getType(), kWidgetType);
    EXPECT_STREQ(sprocketFactory().getName(), "Sprocket");

    vnx_StructOutput_s* output = factory.createOutput();
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(factory.isStructValid(&output->header));
    EXPECT_FALSE(sprocketFactory().isStructValid(&output->header));
    output->header.version = 1; // Widget Outputs are version 2
    EXPECT_FALSE(factory.isStructValid(&output->header));
    EXPECT_EQ(factory.destroyOutput(output), VNX_STATUS_SUCCESS);
    EXPECT_EQ(factory.destroyOutput(nullptr), VNX_STATUS_SUCCESS);
}

} // namespace
