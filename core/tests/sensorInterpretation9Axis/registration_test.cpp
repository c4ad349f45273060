#include <gtest/gtest.h>

#include <string>

#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "coreEntry/coreEntry.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"

namespace {

using vnx::ModuleFactory;
using vnx::NodeManager;

constexpr const char* kParts[] = {"StateManagement", "Interpret", "ZroFromStable", "Cal",
                                  "MagCal",          "accFilt",   "magFilt"};

std::string partName(const char* part)
{
    return std::string("SensorInterpretation9Axis.") + part;
}

TEST(SensorInterpretation9AxisRegistration, StartedCoreMakesTheModuleWithItsNamedParts)
{
    ASSERT_EQ(vnx_core_initialize(), 1);
    EXPECT_STREQ(ModuleFactory::typeIdToString(VNX_TYPE_SENSOR_INTERPRETATION_9AXIS),
                 "SensorInterpretation9Axis");

    vnx::ModuleInterface* module = ModuleFactory::createModule(nullptr, VNX_TYPE_SENSOR_INTERPRETATION_9AXIS);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->getType(), VNX_TYPE_SENSOR_INTERPRETATION_9AXIS);
    for (const char* part : kParts) {
        EXPECT_NE(NodeManager::getInstance().getNode(partName(part).c_str()), nullptr) << part;
    }

    vnx_StructFormat_s* format = ModuleFactory::createFormat(VNX_TYPE_SENSOR_INTERPRETATION_9AXIS);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(vnx_SensorInterpretation9Axis_isStructValid(&format->header), 1);
    EXPECT_EQ(vnx_SensorInterpretation9Axis_downCastFormat(format)->magValueFormat, 127);
    EXPECT_EQ(ModuleFactory::destroyFormat(format), VNX_STATUS_SUCCESS);

    EXPECT_EQ(ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
    for (const char* part : kParts) {
        EXPECT_EQ(NodeManager::getInstance().getNode(partName(part).c_str()), nullptr) << part;
    }

    ASSERT_EQ(vnx_core_finalize(), 1);
    EXPECT_EQ(ModuleFactory::createModule(VNX_TYPE_SENSOR_INTERPRETATION_9AXIS), nullptr);
}

} // namespace
