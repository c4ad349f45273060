#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../common/scopedEnv.h"
#include "common/NodeManager.h"
#include "common/record.h"
#include "log/DefaultLogger.h"
#include "log/LogEvent.h"
#include "log/Logger.h"
#include "recording.h"

namespace {

using namespace vnx::log;

class SensorFusion
{
    VNX_LOG_DEFAULT(SensorFusion);

  public:
    const Logger& logger() const { return dftLog_; }
};

class SensorInterpretation
{
    VNX_LOG_DEFAULT(SensorInterpretation);

  public:
    const Logger& logger() const { return dftLog_; }
};

template <const char* Block> class BlockOfItsUser
{
    VNX_LOG_DEFAULT_BLOCK(Block);

  public:
    const Logger& logger() const { return dftLog_; }
};

constexpr char kOrphanBlock[] = "vnxLogOrphan";

class LoggerTest : public ::testing::Test
{
  protected:
    void TearDown() override { vnx::NodeManager::getInstance().reset(); }
};

TEST_F(LoggerTest, LevelPropertiesApplyGlobalThenBlockThenLocal)
{
    ScopedEnv global("VNX_LOG_GLOBAL_LEVEL", "INFO");
    ScopedEnv block("VNX_LOG_LEVEL_vnx_core_SensorFusion", "ERROR");
    ScopedEnv local("VNX_LOG_LEVEL_vnx_core_SensorFusion_dftLog", nullptr);
    {
        SensorFusion fusion;
        SensorInterpretation interpretation;
        EXPECT_EQ(fusion.logger().getLevel(), ERROR);
        EXPECT_EQ(interpretation.logger().getLevel(), INFO);
    }
    ScopedEnv localSet("VNX_LOG_LEVEL_vnx_core_SensorFusion_dftLog", "TRACE");
    SensorFusion fusion;
    SensorInterpretation interpretation;
    EXPECT_EQ(fusion.logger().getLevel(), TRACE);
    EXPECT_EQ(interpretation.logger().getLevel(), INFO);
}

TEST_F(LoggerTest, UnknownOrEmptyLevelWordsChangeNothing)
{
    ScopedEnv block("VNX_LOG_LEVEL_vnx_core_SensorFusion", nullptr);
    ScopedEnv local("VNX_LOG_LEVEL_vnx_core_SensorFusion_dftLog", nullptr);
    for (const char* word : {"info", "DEBUG", "", "WARN ", "Trace", "7"}) {
        ScopedEnv global("VNX_LOG_GLOBAL_LEVEL", word);
        SensorFusion fusion;
        EXPECT_EQ(fusion.logger().getLevel(), WARN) << '"' << word << '"';
    }
    for (const char* word :
         {"OFF", "FATAL", "ALERT", "CRIT", "ERROR", "WARN", "NOTICE", "INFO", "FINE", "FINER", "TRACE"}) {
        ScopedEnv global("VNX_LOG_GLOBAL_LEVEL", word);
        SensorFusion fusion;
        EXPECT_STREQ(priority_toString(fusion.logger().getLevel()), word);
    }
}

TEST_F(LoggerTest, DefaultLoggerNamesAndBlocks)
{
    SensorFusion fusion;
    EXPECT_STREQ(fusion.logger().getBlockName(), "vnx_core_SensorFusion");
    EXPECT_STREQ(fusion.logger().getLocalName(), "dftLog");
    EXPECT_STREQ(fusion.logger().getName(), "dftLog") << "named after its place only once wired";
    EXPECT_EQ(fusion.logger().getType(), TYPE_CONSOLE);

    BlockOfItsUser<kOrphanBlock> helper;
    EXPECT_STREQ(helper.logger().getBlockName(), "vnxLogOrphan");
}

TEST_F(LoggerTest, EventsAboveTheLevelReachNoFormatterOthersReachAllInOrder)
{
    std::vector<std::string> calls;
    Logger logger("vnx_core_Test", "test", WARN, TYPE_CONSOLE);
    RecordingFormatter first(&calls, "first");
    RecordingFormatter second(&calls, "second");
    ASSERT_TRUE(logger.addFormatter(&first, false));
    ASSERT_TRUE(logger.addFormatter(&second, false));

    logger.log("f.cpp", 1, NOTICE, "dropped");
    logger.logf("f.cpp", 2, NOTICE, "dropped %d", 1);
    vnx_StructOutput_s output{};
    logger.log("f.cpp", 3, NOTICE, &output.header);
    EXPECT_TRUE(calls.empty());

    logger.log("f.cpp", 4, WARN, "kept");
    logger.logf("f.cpp", 5, ERROR, "kept %d", 2);
    logger.log("f.cpp", 6, WARN, &output.header);
    const vnx_StructOutput_s* outputs[] = {&output};
    const vnx_StructFormat_s* formats[] = {nullptr};
    logger.log("f.cpp", 7, WARN, 1, outputs, formats);
    const std::vector<std::string> expected = {
        "first text 4 kept", "second text 4 kept", "first text 3 kept 2", "second text 3 kept 2",
        "first record",      "second record",      "first outputs 1",     "second outputs 1",
    };
    EXPECT_EQ(calls, expected);
}

TEST_F(LoggerTest, OffPassesOnlyOffEventsAndRawDataPassesAlways)
{
    std::vector<std::string> calls;
    Logger logger("vnx_core_Test", "test", OFF, TYPE_CONSOLE);
    RecordingFormatter formatter(&calls, "f");
    logger.addFormatter(&formatter, false);
    logger.log("f.cpp", 1, FATAL, "no");
    logger.log("f.cpp", 1, OFF, "yes");
    const float data[6] = {};
    logger.log(LogEvent("f.cpp", 2, TRACE, &logger), 2, 3, data, static_cast<TestPoint_e>(9));
    EXPECT_EQ(calls, (std::vector<std::string>{"f text -1 yes", "f data 2x3 tp9"}));
}

TEST_F(LoggerTest, FormattedTextIsCutTo8191Characters)
{
    Logger logger("vnx_core_Test", "test", WARN, TYPE_CONSOLE);
    std::vector<std::string> calls;
    RecordingFormatter formatter(&calls, "f");
    logger.addFormatter(&formatter, false);
    const std::string longText(9000, 'a');
    logger.logf("f.cpp", 1, WARN, "%s", longText.c_str());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "f text 4 " + longText.substr(0, 8191));
}

TEST_F(LoggerTest, FilteredCallsDoNotEvaluateTheirArguments)
{
    Logger logger("vnx_core_Test", "test", WARN, TYPE_CONSOLE);
    int evaluated = 0;
    VNX_LOGF(logger, FINE, "%d", ++evaluated);
    EXPECT_EQ(evaluated, 0);
    VNX_LOGF(logger, WARN, "%d", ++evaluated);
    EXPECT_EQ(evaluated, 1);
}

TEST_F(LoggerTest, AddAndRemoveFormatterWithOwnership)
{
    Logger logger("vnx_core_Test", "test", WARN, TYPE_CONSOLE);
    std::vector<std::string> calls;
    bool destroyed = false;
    auto* formatter = new RecordingFormatter(&calls, "f", &destroyed);
    EXPECT_TRUE(logger.addFormatter(formatter, false));
    EXPECT_FALSE(logger.addFormatter(formatter, true)) << "attached once; now owned";
    logger.log("f.cpp", 1, WARN, "once");
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_TRUE(logger.removeFormatter(formatter));
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(logger.removeFormatter(formatter));
    EXPECT_FALSE(logger.addFormatter(nullptr, false));

    bool ownedDestroyed = false;
    {
        Logger owner("vnx_core_Test", "owner", WARN, TYPE_CONSOLE);
        owner.addFormatter(new RecordingFormatter(&calls, "g", &ownedDestroyed), true);
    }
    EXPECT_TRUE(ownedDestroyed) << "a logger deletes the formatters it owns";
}

TEST_F(LoggerTest, SequenceNumberComesFromTheNodesSource)
{
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    Logger logger("vnx_core_Test", "test", WARN, TYPE_CONSOLE);
    EXPECT_EQ(logger.getSequenceNumber(), 0u) << "no node yet";
    int device = 0;
    vnx::NodeInterface* deviceNode = nodes.addNode(nullptr, &device, vnx::NodeInterface::NODE_DEVICE, "V");
    nodes.addNode(&device, &logger, vnx::NodeInterface::NODE_LOG, "test");
    deviceNode->setSequenceNumber(41, false);
    EXPECT_EQ(logger.getSequenceNumber(), 41u);
    deviceNode->setSequenceNumber(42, false);
    EXPECT_EQ(logger.getSequenceNumber(), 42u);
    EXPECT_EQ(LogEvent("f", 1, WARN, &logger).getSequenceNumber(), 42u);
    nodes.removeNode(deviceNode);
    EXPECT_EQ(logger.getSequenceNumber(), 0u) << "the node and its source are gone";
}

TEST(Priority, WordsAndPrefixes)
{
    struct Case
    {
        int priority;
        const char* word;
        const char* prefix;
    };
    const Case cases[] = {
        {-2, "Unknown", ""},    {-1, "OFF", "OFF    "},  {0, "FATAL", "FATAL  "}, {1, "ALERT", "ALERT  "},
        {2, "CRIT", "CRIT   "}, {3, "ERROR", "ERROR  "}, {4, "WARN", "WARN   "},  {5, "NOTICE", "NOTICE "},
        {6, "INFO", "INFO   "}, {7, "FINE", "FINE   "},  {8, "FINER", "FINER  "}, {9, "TRACE", "TRACE  "},
        {10, "Unknown", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(priority_toString(c.priority), c.word) << c.priority;
        EXPECT_STREQ(priority_toPrefix(c.priority), c.prefix) << c.priority;
    }
}

TEST(LogEventTest, SimilarityIgnoresFileAndLineAndMatchesANullLogger)
{
    Logger a("vnx_core_Test", "a", WARN, TYPE_CONSOLE);
    Logger b("vnx_core_Test", "b", WARN, TYPE_CONSOLE);
    LogEvent base("x.cpp", 1, WARN, &a);
    base.setText("t");
    base.setBuffer("ab", 2);

    LogEvent sameElsewhere("y.cpp", 99, WARN, &a);
    sameElsewhere.setText("t");
    sameElsewhere.setBuffer("ab", 2);
    EXPECT_TRUE(base.isSimilar(sameElsewhere));

    LogEvent anyLogger("y.cpp", 2, WARN, nullptr);
    anyLogger.setText("t");
    anyLogger.setBuffer("ab", 2);
    EXPECT_TRUE(base.isSimilar(anyLogger));
    EXPECT_TRUE(anyLogger.isSimilar(base));
    EXPECT_STREQ(anyLogger.getLoggerName(), "[NULL]");
    EXPECT_EQ(anyLogger.getSequenceNumber(), 0u);

    LogEvent copy = base;
    EXPECT_TRUE(copy.isSimilar(base));
    copy.setBuffer("ac", 2);
    EXPECT_FALSE(copy.isSimilar(base)) << "buffer bytes differ";
    EXPECT_EQ(base.getBuffer()[1], 'b') << "a copy has its own buffer";

    LogEvent other = base;
    other.setBuffer(nullptr, 3);
    EXPECT_EQ(other.getBufferSize(), 3u);
    EXPECT_FALSE(other.isSimilar(base)) << "buffer sizes differ";

    LogEvent otherLogger("x.cpp", 1, WARN, &b);
    otherLogger.setText("t");
    otherLogger.setBuffer("ab", 2);
    EXPECT_FALSE(otherLogger.isSimilar(base));

    LogEvent otherLevel("x.cpp", 1, ERROR, &a);
    otherLevel.setText("t");
    otherLevel.setBuffer("ab", 2);
    EXPECT_FALSE(otherLevel.isSimilar(base));

    LogEvent fresh;
    EXPECT_EQ(fresh.getLevel(), OFF);
    EXPECT_EQ(fresh.getLine(), 0);
    EXPECT_TRUE(fresh.getText().empty());
    EXPECT_EQ(fresh.getBufferSize(), 0u);
}

} // namespace
