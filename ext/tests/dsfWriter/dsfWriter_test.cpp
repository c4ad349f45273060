#include "dsfWriter/DsfWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/fifoDirectory.h"

namespace {

using vnx::DsfWriter;

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DsfWriterTest : public ::testing::Test
{
  protected:
    // What `write` puts into a fresh file.
    std::string written(const std::function<void(DsfWriter&)>& write)
    {
        const std::string path = scratch / ("file" + std::to_string(++files_) + ".dsf");
        DsfWriter writer;
        EXPECT_EQ(writer.open(path.c_str(), 64), 0);
        write(writer);
        writer.close();
        return readText(path);
    }

    vnx::testsupport::FifoDirectory scratch;

  private:
    int files_ = 0;
};

TEST_F(DsfWriterTest, ChannelDefinitionsNameTypeDimsAndUnitAndCountFromOne)
{
    int numbers[3] = {};
    const std::string text = written([&](DsfWriter& w) {
        numbers[0] = w.addChannel(DsfWriter::LIN_ACC_GRAVITY, DsfWriter::UNIT_ADC, true);
        numbers[1] = w.addChannel(DsfWriter::ANG_POS_GLOBAL, DsfWriter::UNIT_QUATERNION, false);
        numbers[2] =
            w.addChannel(static_cast<DsfWriter::ColumnType_e>(41), static_cast<DsfWriter::Units_e>(17), true);
    });
    EXPECT_EQ(text, "+1 TIME{s},SAMPLE_ID{samples},LIN_ACC_GRAVITY[xyz]{ADC}\n"
                    "+2 TIME{s},ANG_POS_GLOBAL[wxyz]{quaternion}\n"
                    "+3 TIME{s},SAMPLE_ID{samples},UNKNOWN[?]{?}\n");
    EXPECT_EQ(numbers[0], 1);
    EXPECT_EQ(numbers[1], 2);
    EXPECT_EQ(numbers[2], 3);
}

TEST_F(DsfWriterTest, EveryChannelTypeAndUnitPrintsItsVocabulary)
{
    struct Case
    {
        DsfWriter::ColumnType_e type;
        DsfWriter::Units_e unit;
        const char* line;
    };
    const Case cases[] = {
        {DsfWriter::ACTIVITY, DsfWriter::UNIT_M_PER_S2, "ACTIVITY[xyz]{m/s^2}"},
        {DsfWriter::AAR_P, DsfWriter::UNIT_DEG, "AAR_P[0123456789]{deg}"},
        {DsfWriter::ANG_POS_ACCURACY, DsfWriter::UNIT_RAD, "ANG_POS_ACCURACY[x]{rad}"},
        {DsfWriter::ANG_VEL, DsfWriter::UNIT_RAD_PER_S, "ANG_VEL[xyz]{rad/s}"},
        {DsfWriter::MAG, DsfWriter::UNIT_MICROTESLA, "MAG[xyz]{uT}"},
        {DsfWriter::CURSOR_VEL, DsfWriter::UNIT_MICKEYS, "CURSOR_VEL[xy]{mickeys}"},
        {DsfWriter::CURSOR_POS, DsfWriter::UNIT_PX, "CURSOR_POS[xy]{px}"},
        {DsfWriter::SAMPLE_ID, DsfWriter::UNIT_SAMPLES, "SAMPLE_ID[x]{samples}"},
        {DsfWriter::TIME, DsfWriter::UNIT_S, "TIME[x]{s}"},
        {DsfWriter::POINTER_STATE, DsfWriter::UNIT_STATE, "POINTER_STATE[x]{state}"},
        {DsfWriter::TEMPERATURE, DsfWriter::UNIT_DEGC, "TEMPERATURE[x]{degc}"},
        {DsfWriter::STEP_COUNTER, DsfWriter::UNIT_INTEGER, "STEP_COUNTER[x]{integer}"},
        {DsfWriter::TAP_DETECTED, DsfWriter::UNIT_PERCENT, "TAP_DETECTED[xyz]{percent}"},
        {DsfWriter::PRESSURE, DsfWriter::UNIT_HPA, "PRESSURE[x]{hPa}"},
        {DsfWriter::STATUS, DsfWriter::UNIT_NONE, "STATUS[x]{}"},
        {static_cast<DsfWriter::ColumnType_e>(-1), DsfWriter::UNIT_NONE, "UNKNOWN[?]{}"},
    };
    for (const Case& c : cases) {
        const std::string text = written([&](DsfWriter& w) { w.addChannel(c.type, c.unit, false); });
        EXPECT_EQ(text, std::string("+1 TIME{s},") + c.line + "\n") << c.line;
    }
}

TEST_F(DsfWriterTest, MultiColumnDefinitionRefusesASecondStartAndColumnsOutsideOne)
{
    int first = 0;
    int second = 0;
    int columns[3] = {};
    int stray = 0;
    const std::string text = written([&](DsfWriter& w) {
        w.addChannel(DsfWriter::TICK_INPUT, DsfWriter::UNIT_NONE, true);
        w.addColumn(DsfWriter::TIME, DsfWriter::UNIT_S, &stray);
        w.addMultiColumnChannel(&first)
            .addColumn(DsfWriter::TIME, DsfWriter::UNIT_S, &columns[0])
            .addMultiColumnChannel(&second)
            .addColumn(DsfWriter::SAMPLE_ID, DsfWriter::UNIT_SAMPLES, &columns[1])
            .addColumn(DsfWriter::CURSOR_POS, DsfWriter::UNIT_PX, &columns[2])
            .addMultiColumnChannelEnd();
        w.addMultiColumnChannelEnd();
    });
    EXPECT_EQ(text, "+1 TIME{s},SAMPLE_ID{samples},TICK_INPUT[x]{}\n"
                    "+2 TIME[x]{s}, SAMPLE_ID[x]{samples}, CURSOR_POS[xy]{px}\n");
    EXPECT_EQ(stray, -1);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, -1);
    EXPECT_EQ(columns[0], 1);
    EXPECT_EQ(columns[1], 2);
    EXPECT_EQ(columns[2], 3);
}

TEST_F(DsfWriterTest, PropertiesOfTheFileAndOfChannels)
{
    const unsigned char bytes[] = {0x01, 0xab, 0x00};
    const std::string text = written([&](DsfWriter& w) {
        w.setProperty("text", "say \"hi\"\\now\n\tdone\a\b\v\f\r");
        w.setProperty("real", 1.25);
        w.setProperty("integer", -7);
        w.setProperty("bytes", bytes, 3);
        w.setProperty("none", bytes + 1, 0);
        w.setChannelProperty(2, "unit", "m/s^2");
        w.setChannelProperty(2, "scale", 0.5);
        w.setChannelProperty(3, "raw", bytes, 2);
        w.setChannelProperty(-1, "lost", "x");
        w.setChannelProperty(-1, "lost", 1.0);
        w.setChannelProperty(-1, "lost", bytes, 3);
    });
    EXPECT_EQ(text, "! text=\"say \\\"hi\\\"\\\\now\\n\\tdone\\a\\b\\v\\f\\r\"\n"
                    "! real=1.250000\n"
                    "! integer=-7\n"
                    "! bytes=\"01,ab,00\"\n"
                    "! none=\"ab\"\n"
                    "!2 unit=\"m/s^2\"\n"
                    "!2 scale=0.500000\n"
                    "!3 raw=\"01,ab\"\n");
}

TEST_F(DsfWriterTest, ALongTextValueIsCutBeforeEscapingAndEscapedWhole)
{
    // 300 double quotes: the first 256 are taken and every one keeps its
    // backslash, even where the escaped text is far longer than 256.
    const std::string value(300, '"');
    std::string expected = "! long=\"";
    for (int i = 0; i < 256; ++i) {
        expected += "\\\"";
    }
    expected += "\"\n";
    EXPECT_EQ(written([&](DsfWriter& w) { w.setProperty("long", value.c_str()); }), expected);
}

TEST_F(DsfWriterTest, SampleLinesInEveryForm)
{
    const std::string text = written([&](DsfWriter& w) {
        w.reportChannel(1, 0.5, 1, -2, 3, true, 7);
        w.reportChannel(1, 0.5, 1, -2, 3, false, 7);
        w.reportChannel(2, 1.0, 0.25, -0.5, 2.0, true, 8);
        w.reportChannel(2, 1.0, 0.25, -0.5, 2.0, false, 8);
        w.reportChannel(3, 2.0, 42, true, 9);
        w.reportChannel(3, 2.0, 42, false, 9);
        w.reportChannel(4, 3.0, 1.5, true, 10);
        w.reportChannel(4, 3.0, 1.5, false, 10);
    });
    EXPECT_EQ(text, ".1 0.500000, 7,1,-2,3\n"
                    ".1 0.500000, 1,-2,3\n"
                    ".2 1.000000, 8,0.250000,-0.500000,2.000000\n"
                    ".2 1.000000, 0.250000,-0.500000,2.000000\n"
                    ".3 2.000000, 9, 42\n"
                    ".3 2.000000, 42\n"
                    ".4 3.000000, 10, 1.500000\n"
                    ".4 3.000000, 1.500000\n");
}

TEST_F(DsfWriterTest, EventsCommentsAndMultiColumnLines)
{
    const unsigned char bytes[] = {0x10, 0xff};
    const std::string text = written([&](DsfWriter& w) {
        w.reportEvent(0, 1.5, "x", 2.0, 3.0);
        w.reportEvent(4, 0.0, "period", 0.008, 0.008);
        w.reportEvent(0, 2.0, "raw", bytes, 2);
        w.reportEvent(5, 2.0, "raw", bytes, 1);
        w.addComment("replayed");
        w.nextColumn(1);
        w.reportMultiColumnBegin(1);
        w.nextColumn(0.25);
        w.nextColumn(7u);
        w.nextColumn(-3);
        w.nextColumn(1, 2);
        w.nextColumn(1, 2, 3);
        w.nextColumn(0.5, 1.5, 2.5);
        w.nextColumn(1.0, 0.0, 0.0, 0.0);
        w.reportMultiColumnEnd();
        w.reportMultiColumnEnd();
        w.reportMultiColumnBegin(2);
        w.nextColumn(4u);
        w.reportMultiColumnEnd();
    });
    EXPECT_EQ(text, "$ 1.500000, x(2.000000, 3.000000)\n"
                    "$4 0.000000, period(0.008000, 0.008000)\n"
                    "$ 2.000000, raw(\"10,ff\")\n"
                    "$5 2.000000, raw(\"10\")\n"
                    "# replayed\n"
                    ".1 0.250000, 7, -3, 1,2, 1,2,3, 0.500000,1.500000,2.500000, "
                    "1.000000,0.000000,0.000000,0.000000\n"
                    ".2 4\n");
}

TEST(ExpandEscapes, EscapesUpToCountCharactersAndStopsAtTheEnd)
{
    struct Case
    {
        const char* source;
        unsigned long count;
        const char* expected;
    };
    const Case cases[] = {
        {"plain", 10, "plain"},
        {"a\"b", 10, "a\\\"b"},
        {"back\\slash", 4, "back"},
        {"back\\slash", 5, "back\\\\"},
        {"\a\b\t\n\v\f\r", 7, "\\a\\b\\t\\n\\v\\f\\r"},
        {"anything", 0, ""},
        {"", 5, ""},
    };
    for (const Case& c : cases) {
        char destination[64];
        std::memset(destination, 'Z', sizeof destination);
        vnx::expand_escapes(c.source, destination, c.count);
        EXPECT_STREQ(destination, c.expected) << c.source << " / " << c.count;
    }
}

TEST_F(DsfWriterTest, OpenRefusesASecondOpenAndReportsFailure)
{
    DsfWriter writer;
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(writer.open((scratch / "missing/dir.dsf").c_str(), 0), -2);
    EXPECT_FALSE(writer.isOpen());
    const std::string path = scratch / "a.dsf";
    ASSERT_EQ(writer.open(path.c_str(), 0), 0);
    EXPECT_EQ(writer.open((scratch / "b.dsf").c_str(), 0), -1);
    writer.addChannel(DsfWriter::MAG, DsfWriter::UNIT_MICROTESLA, false);
    writer.close();
    writer.close();
    EXPECT_FALSE(writer.isOpen());

    // A closed writer writes nothing and does not fail.
    writer.addComment("lost");
    writer.setProperty("lost", 1);
    writer.reportChannel(1, 0.0, 1, true, 1);
    EXPECT_EQ(readText(path), "+1 TIME{s},MAG[xyz]{uT}\n");

    // Reopening truncates the file and restarts the numbering.
    ASSERT_EQ(writer.open(path.c_str(), 16), 0);
    EXPECT_EQ(writer.addChannel(DsfWriter::TIME, DsfWriter::UNIT_S, false), 1);
    writer.close();
    EXPECT_EQ(readText(path), "+1 TIME{s},TIME[x]{s}\n");
}

TEST_F(DsfWriterTest, OpenNewNeverReplacesAFileOrFollowsALink)
{
    const std::string taken = scratch / "taken.dsf";
    std::ofstream(taken) << "kept";
    const std::string target = scratch / "target";
    std::ofstream(target) << "target";
    const std::string link = scratch / "link.dsf";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

    DsfWriter writer;
    EXPECT_EQ(writer.openNew(taken.c_str(), 0), -3);
    EXPECT_EQ(writer.openNew(link.c_str(), 0), -3);
    EXPECT_EQ(writer.openNew((scratch / "no/such.dsf").c_str(), 0), -2);
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(readText(taken), "kept");
    EXPECT_EQ(readText(target), "target");

    const std::string fresh = scratch / "fresh.dsf";
    ASSERT_EQ(writer.openNew(fresh.c_str(), 16384), 0);
    EXPECT_EQ(writer.openNew(fresh.c_str(), 0), -1);
    writer.addComment("new");
    writer.close();
    EXPECT_EQ(readText(fresh), "# new\n");
}

TEST(DsfWriterStdout, WritesToStandardOutputAndLeavesItOpen)
{
    DsfWriter writer;
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(writer.open("stdout", 16384), 0);
    writer.addComment("to the console");
    writer.close();
    std::printf("still open\n");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "# to the console\nstill open\n");
}

} // namespace
