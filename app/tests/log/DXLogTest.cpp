#include "log/DXLog.h"
#include "log/DXLogConfig.h"
#include "support/LogCapture.h"
#include "support/StdoutCapture.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

struct PrintCase
{
    const char* name;
    void (*log)(const char* text);
    const char* expected; ///< what standard output shows for the text "x %s y"
};

const PrintCase printCases[] = {
    {"Debug", [](const char* t) { DXLogDebug("%s", t); }, ""},
    {"Warn", [](const char* t) { DXLogWarn("%s", t); }, ""},
    {"Alert", [](const char* t) { DXLogAlert("%s", t); }, "[Alert] x %s y\n"},
    {"MessageLevel2", [](const char* t) { DXLogMessage(2, "%s", t); }, "[Alert] x %s y\n"},
    {"MessageLevel3", [](const char* t) { DXLogMessage(3, "%s", t); }, "x %s y\n"},
    {"MessageLevel1", [](const char* t) { DXLogMessage(1, "%s", t); }, ""},
    {"TaggedAlertTag1", [](const char* t) { DXLogTaggedAlert(1, "%s", t); }, "[Alert 0] x %s y\n"},
    {"TaggedAlertTag2", [](const char* t) { DXLogTaggedAlert(2, "%s", t); }, "[Alert 1] x %s y\n"},
    {"TaggedAlertTag4", [](const char* t) { DXLogTaggedAlert(4, "%s", t); }, ""},
    {"TaggedAlertTag8", [](const char* t) { DXLogTaggedAlert(8, "%s", t); }, "[Alert 3] x %s y\n"},
    // Several bits: the lowest one that is set names the tag.
    {"TaggedAlertTag12", [](const char* t) { DXLogTaggedAlert(12, "%s", t); }, "[Alert 2] x %s y\n"},
    {"TaggedAlertTag0", [](const char* t) { DXLogTaggedAlert(0, "%s", t); }, ""},
    {"TaggedWarnTag8", [](const char* t) { DXLogTaggedWarn(8, "%s", t); }, ""},
    {"TaggedDebugTag1", [](const char* t) { DXLogTaggedDebug(1, "%s", t); }, ""},
    {"TaggedLevel5", [](const char* t) { DXLogTagged(2, 5, "%s", t); }, "[(null) 1] x %s y\n"},
};

class PrintedLine : public ::testing::TestWithParam<PrintCase>
{
};

TEST_P(PrintedLine, ShowsWhatTheFilterLetsThrough)
{
    const PrintCase& c = GetParam();
    StdoutCapture capture;
    c.log("x %s y");
    EXPECT_EQ(capture.text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Log, PrintedLine, ::testing::ValuesIn(printCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Log, SinkSeesEveryCallBeforeTheFilter)
{
    LogCapture log;
    StdoutCapture out;
    DXLogDebug("count %d", 3);
    DXLogWarn("nil value to update at key %s", "pointer_size");
    DXLogTaggedDebug(4, "view %s", "loaded");
    DXLogAlert("%s", "shown");

    const std::vector<DXLogEntry> entries = log.entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_FALSE(entries[0].tagged);
    EXPECT_EQ(entries[0].tag, DXLogAllTags);
    EXPECT_EQ(entries[0].level, DXLogLevelDebug);
    EXPECT_EQ(entries[0].text, "count 3");
    EXPECT_EQ(entries[1].level, DXLogLevelWarn);
    EXPECT_EQ(entries[1].text, "nil value to update at key pointer_size");
    EXPECT_TRUE(entries[2].tagged);
    EXPECT_EQ(entries[2].tag, 4u);
    EXPECT_EQ(entries[2].text, "view loaded");
    EXPECT_EQ(entries[3].level, DXLogLevelAlert);
    EXPECT_EQ(out.text(), "[Alert] shown\n");
}

TEST(Log, LongTextIsPrintedWhole)
{
    const std::string text(5000, 'q');
    StdoutCapture capture;
    DXLogAlert("%s!", text.c_str());
    EXPECT_EQ(capture.text(), "[Alert] " + text + "!\n");
}

TEST(Log, LinesOfManyThreadsNeverInterleave)
{
    constexpr int threads = 8;
    constexpr int linesPerThread = 200;
    StdoutCapture capture;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t] {
            const std::string body(100, static_cast<char>('a' + t));
            for (int i = 0; i < linesPerThread; ++i) {
                DXLogAlert("%s", body.c_str());
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }

    const std::string text = capture.text();
    size_t lines = 0;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(start, end - start);
        ASSERT_EQ(line.size(), 108u) << line;
        ASSERT_EQ(line.find_first_not_of(line[8], 8), std::string::npos) << line;
        ++lines;
        start = end + 1;
    }
    EXPECT_EQ(lines, size_t{threads * linesPerThread});
}

TEST(LogConfig, FilterPassesTags1_2_8AtAlertOnly)
{
    const DXLogConfig& config = DXLogConfig::sharedInstance();
    EXPECT_EQ(&config, &DXLogConfig::sharedInstance());
    EXPECT_EQ(config.tagMask(), 11u);
    EXPECT_EQ(config.logLevel(), 2u);
    EXPECT_FALSE(config.lock());
    struct
    {
        unsigned tag, level;
        bool passes;
    } cases[] = {{1, 2, true},  {2, 2, true},  {8, 2, true}, {4, 2, false},          {16, 2, false},
                 {1, 1, false}, {8, 0, false}, {1, 3, true}, {0xFFFFFFFFu, 2, true}, {0, 2, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(config.canLog(c.tag, c.level), c.passes) << "tag " << c.tag << " level " << c.level;
    }
}

} // namespace
