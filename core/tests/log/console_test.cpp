#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "../common/scopedEnv.h"
#include "log/ConsoleAppender.h"
#include "log/ConsoleStringFormatter.h"
#include "log/LogEvent.h"
#include "log/Logger.h"
#include "log/SimpleStringFormatter.h"
#include "log/TransparentFormatter.h"
#include "recording.h"

namespace {

using namespace vnx::log;

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ConsoleStringFormatterTest, LineIsPrefixNameLineAndText)
{
    Logger logger("VNX_CORE_NODE_MANAGER", "dftLog", TRACE, TYPE_CONSOLE);
    logger.setName("sys.NodeManager");
    struct Case
    {
        int level;
        const Logger* logger;
        int line;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {TRACE, &logger, 7, "x", "TRACE  sys.NodeManager(7): x"},
        {WARN, &logger, 212, "WARNING: addNode with unspecified name.",
         "WARN   sys.NodeManager(212): WARNING: addNode with unspecified name."},
        {NOTICE, &logger, -3, "", "NOTICE sys.NodeManager(-3): "},
        {OFF, &logger, 0, "t", "OFF    sys.NodeManager(0): t"},
        {12, &logger, 1, "t", "sys.NodeManager(1): t"},
        {ERROR, nullptr, 5, "t", "ERROR  [NULL](5): t"},
    };
    for (const Case& c : cases) {
        ConsoleStringFormatter formatter;
        RecordingAppender appender;
        formatter.setAppender(&appender, false);
        LogEvent event("file.cpp", c.line, static_cast<Priority_e>(c.level), c.logger);
        formatter.log(event, c.text);
        ASSERT_EQ(appender.texts.size(), 1u);
        EXPECT_EQ(appender.texts[0], c.expected);
        EXPECT_EQ(event.getText(), c.expected) << "the line becomes the event's text";
    }
}

TEST(TextFormatters, DropEverythingWithoutAnAppenderAndAllButTextWithOne)
{
    ConsoleStringFormatter console;
    SimpleStringFormatter simple;
    TransparentFormatter transparent;
    for (Formatter* formatter : {static_cast<Formatter*>(&console), static_cast<Formatter*>(&simple),
                                 static_cast<Formatter*>(&transparent)}) {
        LogEvent event("f.cpp", 1, WARN, nullptr);
        formatter->log(event, "no appender");
        EXPECT_EQ(event.getText(), "");

        RecordingAppender appender;
        formatter->setAppender(&appender, false);
        formatter->log(event, static_cast<const vnx_Struct_s*>(nullptr));
        formatter->log(event, 0, nullptr, nullptr);
        formatter->log(event, 1, 1, "x", TP_NONE);
        EXPECT_TRUE(appender.texts.empty());
        formatter->setAppender(nullptr, false);
    }
}

TEST(TextFormatters, SimpleAndTransparentRendering)
{
    Logger logger("vnx_core_Test", "test", WARN, TYPE_CONSOLE);
    logger.setName("D.V.M");
    RecordingAppender appender;
    SimpleStringFormatter simple;
    simple.setAppender(&appender, false);
    TransparentFormatter transparent;
    transparent.setAppender(&appender, false);

    LogEvent event("f.cpp", 42, WARN, &logger);
    simple.log(event, "hello");
    transparent.log(event, "as is");
    const std::string longText(2000, 'z');
    simple.log(event, longText.c_str());
    ASSERT_EQ(appender.texts.size(), 3u);
    EXPECT_EQ(appender.texts[0], "D.V.M(42): hello");
    EXPECT_EQ(appender.texts[1], "as is");
    EXPECT_EQ(appender.texts[2].size(), 1023u);
    EXPECT_EQ(appender.texts[2].substr(0, 12), "D.V.M(42): z");
}

TEST(TextFormatters, OwnedAppenderIsDeletedWithTheFormatter)
{
    struct CountingAppender : Appender
    {
        explicit CountingAppender(int* deleted) : deleted_(deleted) {}
        ~CountingAppender() override { ++*deleted_; }
        void log(const LogEvent&) override {}
        int* deleted_;
    };
    int deleted = 0;
    CountingAppender notOwned(&deleted);
    {
        TransparentFormatter formatter;
        formatter.setAppender(new CountingAppender(&deleted), true);
    }
    EXPECT_EQ(deleted, 1);
    {
        TransparentFormatter formatter;
        formatter.setAppender(&notOwned, false);
    }
    EXPECT_EQ(deleted, 1);
}

class ConsoleAppenderTest : public ::testing::Test
{
  protected:
    static void write(ConsoleAppender& appender, const char* text)
    {
        LogEvent event;
        event.setText(text);
        appender.log(event);
    }
};

TEST_F(ConsoleAppenderTest, StandardErrorUnlessRedirected)
{
    for (const char* target : {static_cast<const char*>(nullptr), "stderr"}) {
        ScopedEnv redirect("VNX_LOG_REDIRECT", target);
        ConsoleAppender appender;
        ::testing::internal::CaptureStderr();
        write(appender, "to stderr");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "to stderr\n");
    }
}

TEST_F(ConsoleAppenderTest, StdoutAndUnopenablePathsGoToStandardOutput)
{
    for (const char* target : {"stdout", "/nonexistent-dir-of-kinemora/log.txt"}) {
        ScopedEnv redirect("VNX_LOG_REDIRECT", target);
        ConsoleAppender appender;
        ::testing::internal::CaptureStdout();
        write(appender, "to stdout");
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "to stdout\n") << target;
    }
}

TEST_F(ConsoleAppenderTest, FileIsTruncatedOnceAndReceivesEveryLine)
{
    char path[] = "/tmp/kinemora-console-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "old content\n", 12), 12);
    close(fd);
    {
        ScopedEnv redirect("VNX_LOG_REDIRECT", path);
        ConsoleAppender appender;
        EXPECT_EQ(readFile(path), "");
        write(appender, "first");
        EXPECT_EQ(readFile(path), "first\n") << "each line is flushed";
        write(appender, "second");
    }
    EXPECT_EQ(readFile(path), "first\nsecond\n");
    std::remove(path);
}

} // namespace
