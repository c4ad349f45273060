#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../moduleFactory/factoryLogCapture.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/stringTable.h"
#include "coreEntry/coreEntry.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleApi.h"
#include "moduleFactory/moduleInterface.h"

namespace {

using vnx::ModuleFactory;

// Every core type that has a factory, and whether it has a module class.
struct CoreType
{
    uint8_t id;
    const char* name;
    bool hasModule;
};

constexpr CoreType kRegistered[] = {
    {VNX_TYPE_DEVICE_SUPPORT, "DeviceSupport", false},
    {VNX_TYPE_DEVICE_SUPPORT_6AG, "DeviceSupport6AG", false},
    {VNX_TYPE_DEVICE_SUPPORT_9AGM, "DeviceSupport9AGM", false},
    {VNX_TYPE_ACTIVITY_CLASSIFICATION, "ActivityClassification", true},
    {VNX_TYPE_BUTTON_ACTIVITY, "ButtonActivity", true},
    {VNX_TYPE_CURSOR_GESTURE, "CursorGesture", true},
    {VNX_TYPE_MULTISTROKE_GESTURE, "MultistrokeGesture", true},
    {VNX_TYPE_DEVICE_MOTION, "DeviceMotion", true},
    {VNX_TYPE_DEVICE_MOTION_FLOAT, "DeviceMotionFloat", true},
    {VNX_TYPE_EXTENDED_CURSOR, "ExtendedCursor", true},
    {VNX_TYPE_LINEAR_GESTURE, "LinearGesture", true},
    {VNX_TYPE_SHAKE_DETECTOR, "ShakeDetector", true},
    {VNX_TYPE_STANDARD_CURSOR, "StandardCursor", true},
    {VNX_TYPE_TEST_MODULE, "TestModule", true},
};

// Each type has its factory and makes what it should: a module when it has a
// module class, and records of every kind.
void expectCreatable(const CoreType& type)
{
    SCOPED_TRACE(type.name);
    EXPECT_STREQ(ModuleFactory::typeIdToString(type.id), type.name);
    vnx::ModuleInterface* module = ModuleFactory::createModule(type.id);
    EXPECT_EQ(module != nullptr, type.hasModule);
    if (module != nullptr) {
        EXPECT_EQ(module->getType(), type.id);
        EXPECT_EQ(ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
    }
    vnx_StructOutput_s* output = ModuleFactory::createOutput(type.id);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->header.type, type.id);
    EXPECT_EQ(ModuleFactory::destroyOutput(output), VNX_STATUS_SUCCESS);
}

class CoreLibrary : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_EQ(vnx_core_initialize(), 1); }
    void TearDown() override
    {
        if (started_) {
            vnx_core_finalize();
        }
    }

    void finalize()
    {
        ASSERT_EQ(vnx_core_finalize(), 1);
        started_ = false;
    }

  private:
    bool started_ = true;
};

TEST_F(CoreLibrary, StartedLibraryNamesTypesAndCodesAndHasTheRegistryNode)
{
    EXPECT_STREQ(ModuleFactory::typeIdToString(VNX_TYPE_BUTTON_ACTIVITY), "ButtonActivity");
    EXPECT_STREQ(vnx_statusToString(-3), "NOT_FOR_ME");
    EXPECT_STREQ(vnx_typeToString(VNX_TYPE_BUTTON_ACTIVITY), "ButtonActivity");
    EXPECT_NE(vnx::NodeManager::getInstance().getNode("sys"), nullptr);
    EXPECT_NE(vnx::NodeManager::getInstance().getNode("sys.ModuleFactory"), nullptr);
}

TEST_F(CoreLibrary, EveryRegisteredTypeIsCreatable)
{
    for (const CoreType& type : kRegistered) {
        expectCreatable(type);
    }
}

TEST_F(CoreLibrary, NamedTypesWithoutFactoryAreUndefined)
{
    for (uint8_t id : {8, 15, 17, 19, 20}) {
        SCOPED_TRACE(static_cast<int>(id));
        EXPECT_STREQ(ModuleFactory::typeIdToString(id), "Undefined");
        EXPECT_EQ(ModuleFactory::createOutput(id), nullptr);
    }
}

TEST_F(CoreLibrary, MissingModuleLogsExactlyOneWarning)
{
    FactoryLogCapture log;
    ASSERT_TRUE(log.attached());
    log.expect(vnx::log::WARN, "Module not available:   8 (StandardCursorSixteen)");
    EXPECT_EQ(ModuleFactory::createModule(VNX_TYPE_STANDARD_CURSOR_SIXTEEN), nullptr);
    EXPECT_TRUE(log.matches());

    // A type whose factory has no module class is not "missing".
    EXPECT_EQ(ModuleFactory::createModule(VNX_TYPE_DEVICE_SUPPORT), nullptr);
    EXPECT_TRUE(log.matches());
}

TEST_F(CoreLibrary, SixAxisOutputFromTheFactoryIsZeroBeyondItsHeader)
{
    vnx_StructOutput_s* output = ModuleFactory::createOutput(VNX_TYPE_DEVICE_SUPPORT_6AG);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->header.size, 40);
    EXPECT_EQ(output->header.type, 22);
    EXPECT_EQ(output->header.kind, 5);
    EXPECT_EQ(output->header.version, 1);
    const uint8_t zero[40] = {};
    EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(output) + 5, zero, 35), 0);
    EXPECT_EQ(ModuleFactory::destroyOutput(output), VNX_STATUS_SUCCESS);
}

TEST_F(CoreLibrary, FlatApiNullHandlesAreHarmless)
{
    EXPECT_EQ(vnx_Module_getType(nullptr), 0);
    EXPECT_EQ(vnx_ModuleFactory_destroyModule(nullptr), 0);
    EXPECT_EQ(vnx_ModuleFactory_createModule(VNX_TYPE_DEVICE_SUPPORT_6AG), nullptr);
}

TEST_F(CoreLibrary, StoppedLibraryCreatesNothingAndNamesNothing)
{
    finalize();
    EXPECT_EQ(ModuleFactory::createModule(VNX_TYPE_BUTTON_ACTIVITY), nullptr);
    EXPECT_STREQ(vnx_typeToString(VNX_TYPE_BUTTON_ACTIVITY), "<Unknown Type (5)>");
    for (const CoreType& type : kRegistered) {
        SCOPED_TRACE(type.name);
        EXPECT_STREQ(ModuleFactory::typeIdToString(type.id), "Undefined");
    }
    EXPECT_EQ(vnx::NodeManager::getInstance().getNode("sys.ModuleFactory"), nullptr);
}

TEST_F(CoreLibrary, RestartLeavesEveryTypeCreatableOnce)
{
    finalize();
    ASSERT_EQ(vnx_core_initialize(), 1);
    for (const CoreType& type : kRegistered) {
        expectCreatable(type);
    }
    EXPECT_NE(vnx::NodeManager::getInstance().getNode("sys.ModuleFactory"), nullptr);
    finalize();
    // One stop takes out what one start put in: no second entry survives.
    for (const CoreType& type : kRegistered) {
        SCOPED_TRACE(type.name);
        EXPECT_STREQ(ModuleFactory::typeIdToString(type.id), "Undefined");
    }
}

} // namespace
