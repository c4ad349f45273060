#include <gtest/gtest.h>

#include <string>

#include "../common/scopedEnv.h"
#include "common/NodeManager.h"
#include "log/DefaultLogger.h"
#include "log/Formatter.h"
#include "log/LogManager.h"
#include "log/Logger.h"

namespace {

using namespace vnx::log;
using vnx::NodeInterface;
using vnx::NodeManager;

// A module whose logger is built before the module has a node.
class Module
{
    VNX_LOG_DEFAULT(SensorFusion);

  public:
    const Logger& logger() const { return dftLog_; }
    // Logs a warning and gives the line it was logged from.
    int warn(const char* text) const
    {
        // clang-format off
        VNX_LOGF(dftLog_, WARN, "%s", text); return __LINE__;
        // clang-format on
    }
};

// Removes an object's node before the object goes: a plain Logger does not
// remove its own node, and the log manager must not hear of a dead one.
struct NodeRemover
{
    const void* object;
    ~NodeRemover() { NodeManager::getInstance().removeNode(object); }
};

class LogManagerTest : public ::testing::Test
{
  protected:
    void SetUp() override { LogManager::getInstance(); }
    void TearDown() override
    {
        nodes.reset();
        LogManager::getInstance().reset();
    }

    // Builds domain D and device V in the ROOT tree.
    void addDomainAndDevice()
    {
        nodes.addNode(nullptr, &domain, NodeInterface::NODE_DOMAIN, "D");
        nodes.addNode(&domain, &device, NodeInterface::NODE_DEVICE, "V");
    }

    NodeManager& nodes = NodeManager::getInstance();
    int domain = 0;
    int device = 0;
};

TEST_F(LogManagerTest, ModuleLoggerIsSilentUntilItsModuleJoinsTheRootTree)
{
    Module module;
    addDomainAndDevice();
    ::testing::internal::CaptureStderr();
    module.warn("before");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    nodes.addNode(&device, &module, NodeInterface::NODE_MODULE, "M");
    EXPECT_STREQ(module.logger().getName(), "D.V.M");
    ::testing::internal::CaptureStderr();
    const int line = module.warn("after");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "WARN   D.V.M(" + std::to_string(line) + "): after\n");

    nodes.removeNode(&module);
    ::testing::internal::CaptureStderr();
    module.warn("removed");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "a removed logger loses its output";
}

TEST_F(LogManagerTest, TraceEventOfTheNodeManagerLoggerPrintsOneConsoleLine)
{
    Logger* logger = LogManager::getInstance().get("sys.NodeManager");
    ASSERT_NE(logger, nullptr);
    EXPECT_STREQ(logger->getName(), "sys.NodeManager");
    EXPECT_STREQ(logger->getBlockName(), "VNX_CORE_NODE_MANAGER");
    logger->setLevel(TRACE);
    ::testing::internal::CaptureStderr();
    logger->log("anywhere.cpp", 7, TRACE, "x");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "TRACE  sys.NodeManager(7): x\n");
}

TEST_F(LogManagerTest, UnnamedNodeIsAddedWithAWarningFromAFixedSite)
{
    int object = 0;
    ::testing::internal::CaptureStderr();
    EXPECT_NE(nodes.addNode(nullptr, &object, NodeInterface::NODE_SUBNODE, nullptr), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "WARN   sys.NodeManager(212): WARNING: addNode with unspecified name.\n");
    EXPECT_EQ(nodes.getNode(&object)->getLocalName(), "");
}

TEST_F(LogManagerTest, GetFindsAModuleLoggerByTheModuleOrTheLoggerNode)
{
    Module module;
    addDomainAndDevice();
    nodes.addNode(&device, &module, NodeInterface::NODE_MODULE, "M");
    LogManager& logs = LogManager::getInstance();
    EXPECT_EQ(logs.get("D.V.M"), &module.logger());
    EXPECT_EQ(logs.get("D.V.M.dftLog"), &module.logger());
    EXPECT_EQ(logs.get("D.V"), nullptr);
    EXPECT_EQ(logs.get("D.V.X"), nullptr);
    EXPECT_EQ(logs.get(nullptr), nullptr);

    EXPECT_TRUE(logs.setLevel("D.V.M", FINER));
    EXPECT_EQ(module.logger().getLevel(), FINER);
    EXPECT_FALSE(logs.setLevel("D.V.X", FINER));
}

TEST_F(LogManagerTest, RemovedAndAddedAgainTheLoggerIsWiredOnce)
{
    Logger logger("vnx_core_Test", "dftLog", WARN, TYPE_CONSOLE);
    NodeRemover remover{&logger};
    int owner = 0;
    nodes.addNode(nullptr, &owner, NodeInterface::NODE_SUBNODE, "owner");
    nodes.addNode(&owner, &logger, NodeInterface::NODE_LOG, "dftLog");
    ASSERT_TRUE(nodes.removeNode(&logger));
    nodes.addNode(&owner, &logger, NodeInterface::NODE_LOG, "dftLog");
    // Replays to a second listener must not wire it twice either.
    LogManager::getInstance().reset();
    ::testing::internal::CaptureStderr();
    logger.log("f.cpp", 3, WARN, "once");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "WARN   owner(3): once\n");
}

TEST_F(LogManagerTest, OnlyConsoleLoggersGetTheConsole)
{
    Logger capture("vnx_ext_Capture", "capture", WARN, TYPE_CAPTURE);
    Logger singleFile("vnx_core_Test", "single", WARN, TYPE_SINGLE_FILE);
    NodeRemover removers[] = {{&capture}, {&singleFile}};
    nodes.addNode(nullptr, &capture, NodeInterface::NODE_LOG, "capture");
    nodes.addNode(nullptr, &singleFile, NodeInterface::NODE_LOG, "single");
    EXPECT_STREQ(capture.getName(), "capture");
    ::testing::internal::CaptureStderr();
    capture.log("f.cpp", 1, WARN, "silent");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    // A single-file logger writes a file of its own (tested with the log
    // files); it never gets the shared console formatter.
    Formatter* console = LogManager::getInstance().getDefaultFormatter();
    for (size_t i = 0; Formatter* formatter = singleFile.getFormatter(i); ++i) {
        EXPECT_NE(formatter, console);
    }
    EXPECT_NE(singleFile.getFormatter(0), nullptr);
}

TEST_F(LogManagerTest, OnlyTheFirstDefaultLocalNameIsDropped)
{
    Logger logger("vnx_core_Test", "dftLog", WARN, TYPE_CONSOLE);
    NodeRemover remover{&logger};
    int a = 0;
    int b = 0;
    nodes.addNode(nullptr, &a, NodeInterface::NODE_SUBNODE, "dftLog");
    nodes.addNode(&a, &b, NodeInterface::NODE_SUBNODE, "inner");
    nodes.addNode(&b, &logger, NodeInterface::NODE_LOG, "dftLog");
    EXPECT_STREQ(logger.getName(), "dftLog.inner") << "only a dot followed by dftLog is dropped, once";
}

TEST_F(LogManagerTest, ResetOfTheTreeSilencesItsLoggersAndRewiresTheNewOnes)
{
    Logger logger("vnx_core_Test", "old", WARN, TYPE_CONSOLE);
    nodes.addNode(nullptr, &logger, NodeInterface::NODE_LOG, "old");
    nodes.reset();
    EXPECT_TRUE(LogManager::getInstance().reset());
    EXPECT_FALSE(LogManager::getInstance().reset()) << "already listening";

    ::testing::internal::CaptureStderr();
    logger.log("f.cpp", 1, WARN, "from the old tree");
    Logger* manager = LogManager::getInstance().get("sys.NodeManager");
    ASSERT_NE(manager, nullptr);
    manager->log("f.cpp", 2, WARN, "new tree");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "WARN   sys.NodeManager(2): new tree\n");
}

TEST_F(LogManagerTest, FilenamePrefixIsReadOnce)
{
    {
        ScopedEnv prefix("VNX_LOG_OUTPUT_PREFIX", "/tmp/run_");
        EXPECT_EQ(LogManager::getInstance().getFilenamePrefix(), "/tmp/run_");
    }
    ScopedEnv changed("VNX_LOG_OUTPUT_PREFIX", "/elsewhere/");
    EXPECT_EQ(LogManager::getInstance().getFilenamePrefix(), "/tmp/run_");
}

} // namespace
