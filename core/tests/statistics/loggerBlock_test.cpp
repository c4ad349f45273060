// The statistics objects log in the block of the module that owns them; the
// stability detectors in the block of the weighted fusion.

#include <gtest/gtest.h>

#include <string>

#include "common/NodeManager.h"
#include "log/LogManager.h"
#include "statistics/IsStable.h"
#include "statistics/IsStableMultiRate.h"
#include "statistics/RunningMean.h"
#include "statistics/RunningMeanStd.h"
#include "statistics/StabilityDetect.h"

namespace vnx {
namespace {

using Fp = FloatingPoint<float>;

// Places `object` in the ROOT tree for the test and reads the block of its
// default logger; the node is removed again afterwards.
std::string blockOfLoggerUnder(const void* object)
{
    NodeManager& nodes = NodeManager::getInstance();
    EXPECT_NE(nodes.addNode(nullptr, object, NodeInterface::NODE_SUBNODE, "statisticsLoggerTest"), nullptr);
    const log::Logger* logger = log::LogManager::getInstance().get("statisticsLoggerTest");
    const std::string block = logger != nullptr ? logger->getBlockName() : "(none)";
    nodes.removeNode(object);
    return block;
}

TEST(StatisticsLoggers, TemplatesTakeTheBlockOfTheirOwner)
{
    RunningStats<Fp, 9, 10> stats("vnx_core_ZroFromStable");
    RunningMeanStd<Fp, 3, 10> meanStd("vnx_core_ZroFromStable");
    RunningMean<Fp, 3> mean("vnx_core_InclAngFromStable");
    StabilityDetect<Fp, 9, 9> detector("vnx_core_InclAngFromStable");
    EXPECT_EQ(blockOfLoggerUnder(&stats), "vnx_core_ZroFromStable");
    EXPECT_EQ(blockOfLoggerUnder(&meanStd), "vnx_core_ZroFromStable");
    EXPECT_EQ(blockOfLoggerUnder(&mean), "vnx_core_InclAngFromStable");
    EXPECT_EQ(blockOfLoggerUnder(&detector), "vnx_core_InclAngFromStable");
    EXPECT_EQ(blockOfLoggerUnder(&detector.stats), "vnx_core_InclAngFromStable");
}

TEST(StatisticsLoggers, StabilityDetectorsLogInTheWeightedFusionBlock)
{
    IsStable isStable;
    IsStableMultiRate multiRate;
    EXPECT_EQ(blockOfLoggerUnder(&isStable), "vnx_core_SensorFusionWeightedFusion");
    EXPECT_EQ(blockOfLoggerUnder(&multiRate), "vnx_core_SensorFusionWeightedFusion");
}

} // namespace
} // namespace vnx
