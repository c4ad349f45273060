#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/NodeManager.h"
#include "log/ExpectAppender.h"
#include "log/LogManager.h"
#include "log/Logger.h"
#include "log/TransparentFormatter.h"

namespace {

using namespace vnx::log;

LogEvent event(const Logger* logger, Priority_e level, const char* text)
{
    LogEvent e("f.cpp", 1, level, logger);
    e.setText(text);
    return e;
}

class ExpectAppenderTest : public ::testing::Test
{
  protected:
    void feed(const std::vector<LogEvent>& expected, const std::vector<LogEvent>& actual)
    {
        appender.setMode(ExpectAppender::MODE_EXPECT);
        for (const LogEvent& e : expected) {
            appender.log(e);
        }
        appender.setMode(ExpectAppender::MODE_ACTUAL);
        for (const LogEvent& e : actual) {
            appender.log(e);
        }
    }

    Logger logger{"vnx_core_Test", "test", WARN, TYPE_CONSOLE};
    ExpectAppender appender;
};

TEST_F(ExpectAppenderTest, ComparesEventByEventInOrder)
{
    const LogEvent p = event(&logger, WARN, "P");
    const LogEvent q = event(&logger, WARN, "Q");
    const LogEvent r = event(&logger, WARN, "R");
    const LogEvent pOtherLevel = event(&logger, ERROR, "P");
    struct Case
    {
        const char* name;
        std::vector<LogEvent> expected;
        std::vector<LogEvent> actual;
        bool same;
    };
    const std::vector<Case> cases = {
        {"[P,Q] vs [P,Q]", {p, q}, {p, q}, true},
        {"[P,Q] vs [P]", {p, q}, {p}, false},
        {"[P,Q] vs [P,R]", {p, q}, {p, r}, false},
        {"[P,Q] vs [Q,P]", {p, q}, {q, p}, false},
        {"[] vs []", {}, {}, true},
        {"[P] vs [P,Q]", {p}, {p, q}, false},
        {"level differs", {p}, {pOtherLevel}, false},
    };
    for (const Case& c : cases) {
        feed(c.expected, c.actual);
        EXPECT_EQ(appender.compare(), c.same) << c.name;
        EXPECT_TRUE(appender.compare()) << c.name << ": both lists are empty after a compare";
    }
}

TEST_F(ExpectAppenderTest, ModesOutsideTheTwoRecordNothing)
{
    appender.setMode(static_cast<ExpectAppender::Mode_e>(2));
    appender.log(event(&logger, WARN, "ignored"));
    EXPECT_TRUE(appender.compare());
    EXPECT_EQ(appender.getMode(), 2);
    appender.setMode(ExpectAppender::MODE_ACTUAL);
    appender.logExpect(event(&logger, WARN, "expected whatever the mode"));
    appender.log(event(&logger, WARN, "expected whatever the mode"));
    EXPECT_TRUE(appender.compare());
}

TEST_F(ExpectAppenderTest, ExpectationByNameOfAnUnknownLoggerMatchesAnyLogger)
{
    appender.logExpect("no.such.logger", WARN, "text");
    appender.log(event(&logger, WARN, "text"));
    EXPECT_TRUE(appender.compare());

    appender.logExpect("no.such.logger", WARN, "text");
    appender.log(event(&logger, WARN, "other text"));
    EXPECT_FALSE(appender.compare());
}

TEST_F(ExpectAppenderTest, ExpectationByNameOfAKnownLoggerNeedsThatLogger)
{
    LogManager::getInstance();
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    nodes.addNode(nullptr, &logger, vnx::NodeInterface::NODE_LOG, "mine");

    appender.logExpect("mine", WARN, "text");
    appender.log(event(&logger, WARN, "text"));
    EXPECT_TRUE(appender.compare());

    Logger other("vnx_core_Test", "other", WARN, TYPE_CONSOLE);
    appender.logExpect("mine", WARN, "text");
    appender.log(event(&other, WARN, "text"));
    EXPECT_FALSE(appender.compare());

    nodes.reset();
    LogManager::getInstance().reset();
}

TEST_F(ExpectAppenderTest, ChecksWhatALoggerPrintsThroughAFormatter)
{
    TransparentFormatter formatter;
    formatter.setAppender(&appender, false);
    logger.addFormatter(&formatter, false);

    appender.setMode(ExpectAppender::MODE_EXPECT);
    logger.log("f.cpp", 1, WARN, "first");
    logger.log("f.cpp", 2, ERROR, "second");
    appender.setMode(ExpectAppender::MODE_ACTUAL);
    logger.log("g.cpp", 10, WARN, "first");
    logger.log("g.cpp", 20, ERROR, "second");
    logger.log("g.cpp", 30, INFO, "filtered out");
    EXPECT_TRUE(appender.compare());
    logger.removeFormatter(&formatter);
}

} // namespace
