#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../common/scopedEnv.h"
#include "binaryFileSupport.h"
#include "common/NodeManager.h"
#include "log/BinaryFileAppender.h"
#include "log/BinaryFileFormatter.h"
#include "log/BinaryFileReader.h"
#include "log/LogManager.h"
#include "log/Logger.h"
#include "log/SingleLoggerFileAppender.h"
#include "log/SingleLoggerFileFormatter.h"
#include "scopedTempDir.h"

namespace {

using namespace vnx::log;
using vnx::NodeInterface;
using vnx::NodeManager;

constexpr uint32_t kSequenceNumber = 42;
constexpr size_t kFileHeaderSize = 64;
constexpr size_t kIdentifierRecordSize = 1076;

// A logger "L" in the ROOT tree whose node counts sequence number 42, writing
// through a binary formatter into "capture.dat" of a fresh directory.
class BinaryFileWriterTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (LogManager::getInstance().getFilenamePrefix() != "./") {
            GTEST_SKIP() << "log files are not written to the working directory";
        }
        nodes.addNode(nullptr, &logger, NodeInterface::NODE_LOG, "L")
            ->setSequenceNumber(kSequenceNumber, false);
        formatter = new BinaryFileFormatter();
        formatter->setAppender(new BinaryFileAppender("capture"), true);
        logger.addFormatter(formatter, true);
    }
    void TearDown() override
    {
        nodes.reset();
        LogManager::getInstance().reset();
    }

    // Closes the file (the formatter owns the appender) and returns its bytes.
    std::vector<uint8_t> finish()
    {
        logger.removeFormatter(formatter);
        formatter = nullptr;
        return readFileBytes(directory.path() / "capture.dat");
    }

    ScopedEnv noPrefix{"VNX_LOG_OUTPUT_PREFIX", nullptr};
    ScopedTempDir directory;
    NodeManager& nodes = NodeManager::getInstance();
    Logger logger{"vnx_core_Test", "L", TRACE, TYPE_NONE};
    BinaryFileFormatter* formatter = nullptr;
};

TEST_F(BinaryFileWriterTest, OneTextEventWritesHeaderIdentifierAndDataRecord)
{
    logger.log("site.cpp", 10, WARN, "hello");
    const std::vector<uint8_t> bytes = finish();
    ASSERT_EQ(bytes.size(), kFileHeaderSize + kIdentifierRecordSize + 12 + 5);

    const std::vector<uint8_t> headerStart{0x43, 0x10, 0x60, 0x24, 0x40, 0x00, 0x01, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), headerStart);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 8, bytes.begin() + 64), std::vector<uint8_t>(56, 0));

    size_t at = kFileHeaderSize;
    EXPECT_EQ(fieldAt<uint32_t>(bytes, at), 1076u);
    EXPECT_EQ(fieldAt<uint32_t>(bytes, at + 4), 0u);
    EXPECT_EQ(fieldAt<uint32_t>(bytes, at + 8), kSequenceNumber);
    at += 12;
    const uint32_t id = fieldAt<uint32_t>(bytes, at);
    EXPECT_GE(id, 1u);
    EXPECT_EQ(fieldAt<uint16_t>(bytes, at + 4), 392);
    EXPECT_EQ(fieldAt<uint16_t>(bytes, at + 6), 1);
    EXPECT_EQ(fieldAt<uint16_t>(bytes, at + 8), 1);
    EXPECT_EQ(fieldAt<uint16_t>(bytes, at + 10), 0);
    EXPECT_EQ(fieldAt<uint32_t>(bytes, at + 12), 1u) << "kind text";
    EXPECT_EQ(fieldAt<uint32_t>(bytes, at + 16), 392u);
    EXPECT_EQ(fieldAt<int32_t>(bytes, at + 20), WARN);
    EXPECT_EQ(fieldAt<uint64_t>(bytes, at + 24), reinterpret_cast<uintptr_t>(&logger));
    EXPECT_EQ(fieldAt<int32_t>(bytes, at + 32), 10);
    EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[at + 36]), "site.cpp");
    EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[at + 548]), "L");
    EXPECT_EQ(fieldAt<uint32_t>(bytes, at + 1060), 0u);
    at += 1064;
    EXPECT_EQ(fieldAt<uint32_t>(bytes, at), 17u);
    EXPECT_EQ(fieldAt<uint32_t>(bytes, at + 4), id);
    EXPECT_EQ(fieldAt<uint32_t>(bytes, at + 8), kSequenceNumber);
    EXPECT_EQ(std::string(bytes.begin() + at + 12, bytes.end()), "hello");
}

TEST_F(BinaryFileWriterTest, ASiteGetsOneIdentifierAndAnotherLineANewOne)
{
    logger.log("site.cpp", 10, WARN, "a");
    logger.log("site.cpp", 10, WARN, "bb");
    logger.log("site.cpp", 11, WARN, "c");
    const std::vector<uint8_t> bytes = finish();
    const size_t first = kFileHeaderSize + kIdentifierRecordSize + 13;
    ASSERT_EQ(bytes.size(), first + 14 + kIdentifierRecordSize + 13);
    const uint32_t id10 = fieldAt<uint32_t>(bytes, kFileHeaderSize + 12);
    EXPECT_EQ(fieldAt<uint32_t>(bytes, first), 14u) << "the same site again: a data record only";
    EXPECT_EQ(fieldAt<uint32_t>(bytes, first + 4), id10);
    const size_t second = first + 14;
    EXPECT_EQ(fieldAt<uint32_t>(bytes, second + 4), 0u) << "line 11 is a new site";
    const uint32_t id11 = fieldAt<uint32_t>(bytes, second + 12);
    EXPECT_GT(id11, id10);
    EXPECT_EQ(fieldAt<uint32_t>(bytes, second + kIdentifierRecordSize + 4), id11);
}

TEST_F(BinaryFileWriterTest, ArrayPayloadIsCountsTimesElementSize)
{
    struct Case
    {
        uint32_t testPoint;
        size_t a;
        size_t b;
        uint32_t payload;
    };
    const Case cases[] = {
        {110, 3, 2, 24},                                 // 32-bit fixed point
        {20, 3, 2, 0},                                   // unused kind: no elements
        {1, 5, 1, 5},    {10, 2, 2, 32}, {300, 4, 1, 4}, // 8-bit fixed point
    };
    const uint8_t source[64] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    int line = 100;
    for (const Case& c : cases) {
        LogEvent event("site.cpp", line++, INFO, &logger);
        logger.log(event, c.a, c.b, source, static_cast<TestPoint_e>(c.testPoint));
    }
    const std::vector<uint8_t> bytes = finish();
    size_t at = kFileHeaderSize;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.testPoint);
        ASSERT_LE(at + kIdentifierRecordSize + 12, bytes.size());
        EXPECT_EQ(fieldAt<uint32_t>(bytes, at + 12 + 12), 8u) << "kind: other data";
        EXPECT_EQ(fieldAt<uint32_t>(bytes, at + 12 + 16), c.testPoint);
        at += kIdentifierRecordSize;
        EXPECT_EQ(fieldAt<uint32_t>(bytes, at), 12 + c.payload);
        ASSERT_LE(at + 12 + c.payload, bytes.size());
        EXPECT_EQ(std::memcmp(&bytes[at + 12], source, c.payload), 0);
        at += 12 + c.payload;
    }
    EXPECT_EQ(at, bytes.size());
}

TEST_F(BinaryFileWriterTest, OutputListSkipsNullFormatsAndReadsBackAsTwoEntries)
{
    const std::vector<uint8_t> out0 = recordBytes(20, VNX_KIND_OUTPUT, 0x11);
    const std::vector<uint8_t> fmt0 = recordBytes(24, VNX_KIND_FORMAT, 0x22);
    const std::vector<uint8_t> out1 = recordBytes(18, VNX_KIND_OUTPUT, 0x33);
    const vnx_StructOutput_s* outputs[] = {reinterpret_cast<const vnx_StructOutput_s*>(out0.data()),
                                           reinterpret_cast<const vnx_StructOutput_s*>(out1.data())};
    const vnx_StructFormat_s* formats[] = {reinterpret_cast<const vnx_StructFormat_s*>(fmt0.data()), nullptr};
    logger.log("site.cpp", 10, WARN, 2, outputs, formats);
    const std::vector<uint8_t> bytes = finish();

    const size_t at = kFileHeaderSize + kIdentifierRecordSize;
    EXPECT_EQ(fieldAt<uint16_t>(bytes, kFileHeaderSize + 12 + 6), 2) << "count a is the entry count";
    EXPECT_EQ(fieldAt<uint32_t>(bytes, kFileHeaderSize + 12 + 12), 4u) << "kind output list";
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + at + 12, bytes.end()), concat({out0, fmt0, out1}));

    BinaryFileReader reader((directory.path() / "capture.dat").c_str());
    CapturingFormatter captured;
    reader.setFormatter(&captured, false);
    ASSERT_TRUE(reader.getNext());
    ASSERT_EQ(captured.deliveries.size(), 1u);
    const Delivery& d = captured.deliveries[0];
    EXPECT_EQ(d.slot, "outputs");
    EXPECT_EQ(d.count, 2u);
    EXPECT_EQ(d.records, (std::vector<std::vector<uint8_t>>{out0, fmt0, out1, {}}));
    EXPECT_FALSE(reader.getNext());
}

TEST_F(BinaryFileWriterTest, EveryKindReadsBackAsItWasLogged)
{
    const std::vector<uint8_t> record = recordBytes(40, VNX_KIND_STATUS, 0x5A);
    const int32_t values[] = {-1, 2, 300000};
    logger.log("a.cpp", 1, ERROR, "first line");
    logger.log("a.cpp", 2, FINE, reinterpret_cast<const vnx_Struct_s*>(record.data()));
    LogEvent event("b.cpp", 3, TRACE, &logger);
    logger.log(event, 3, 1, values, static_cast<TestPoint_e>(3));
    logger.log("a.cpp", 1, ERROR, "second line");
    finish();

    BinaryFileReader reader((directory.path() / "capture.dat").c_str());
    ASSERT_TRUE(reader.isOpen());
    CapturingFormatter captured;
    reader.setFormatter(&captured, false);
    while (reader.getNext()) {
    }
    EXPECT_FALSE(reader.isOpen());
    ASSERT_EQ(captured.deliveries.size(), 4u);
    for (const Delivery& d : captured.deliveries) {
        EXPECT_EQ(d.loggerName, "L");
        EXPECT_EQ(d.sequenceNumber, kSequenceNumber);
    }
    EXPECT_EQ(captured.deliveries[0].slot, "text");
    EXPECT_EQ(captured.deliveries[0].text, "first line");
    EXPECT_EQ(captured.deliveries[0].file, "a.cpp");
    EXPECT_EQ(captured.deliveries[0].line, 1);
    EXPECT_EQ(captured.deliveries[0].level, ERROR);
    EXPECT_EQ(captured.deliveries[1].slot, "record");
    EXPECT_EQ(captured.deliveries[1].records, std::vector<std::vector<uint8_t>>{record});
    EXPECT_EQ(captured.deliveries[1].level, FINE);
    EXPECT_EQ(captured.deliveries[2].slot, "data");
    EXPECT_EQ(captured.deliveries[2].testPoint, 3u);
    EXPECT_EQ(captured.deliveries[2].count, 3u);
    EXPECT_EQ(captured.deliveries[2].countB, 1u);
    EXPECT_EQ(captured.deliveries[2].data.size(), sizeof(values));
    EXPECT_EQ(std::memcmp(captured.deliveries[2].data.data(), values, sizeof(values)), 0);
    EXPECT_EQ(captured.deliveries[2].file, "b.cpp");
    EXPECT_EQ(captured.deliveries[3].text, "second line");
}

/// Hands every event to each formatter in turn, as a logger with several
/// formatters does.
class FanOut : public Formatter
{
  public:
    FanOut(Formatter& first, Formatter& second) : formatters_{&first, &second} {}
    void setAppender(Appender*, bool) override {}
    void log(LogEvent& event, const char* text) override
    {
        for (Formatter* f : formatters_)
            f->log(event, text);
    }
    void log(LogEvent& event, const vnx_Struct_s* record) override
    {
        for (Formatter* f : formatters_)
            f->log(event, record);
    }
    void log(LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
             const vnx_StructFormat_s* const* formats) override
    {
        for (Formatter* f : formatters_)
            f->log(event, count, outputs, formats);
    }
    void log(const LogEvent& event, size_t countA, size_t countB, const void* data,
             TestPoint_e testPoint) override
    {
        for (Formatter* f : formatters_)
            f->log(event, countA, countB, data, testPoint);
    }

  private:
    Formatter* formatters_[2];
};

std::vector<Delivery> deliveriesOf(const std::filesystem::path& path)
{
    BinaryFileReader reader(path.c_str());
    CapturingFormatter captured;
    reader.setFormatter(&captured, false);
    while (reader.getNext()) {
    }
    return captured.deliveries;
}

// A file the project's writer made, read and written again: every record,
// output list and array comes out byte for byte, also when a ".dbg"
// formatter (which sets its own buffers into the event) sees each event first.
TEST_F(BinaryFileWriterTest, CopyThroughTheReaderKeepsEveryRecordListAndArray)
{
    const std::vector<uint8_t> record = recordBytes(40, VNX_KIND_STATUS, 0x5A);
    const std::vector<uint8_t> out0 = recordBytes(20, VNX_KIND_OUTPUT, 0x11);
    const std::vector<uint8_t> fmt0 = recordBytes(24, VNX_KIND_FORMAT, 0x22);
    const vnx_StructOutput_s* outputs[] = {reinterpret_cast<const vnx_StructOutput_s*>(out0.data())};
    const vnx_StructFormat_s* formats[] = {reinterpret_cast<const vnx_StructFormat_s*>(fmt0.data())};
    const int32_t values[] = {-1, 2, 300000, 7};
    for (int round = 0; round < 3; ++round) {
        logger.log("a.cpp", 2, FINE, reinterpret_cast<const vnx_Struct_s*>(record.data()));
        logger.log("a.cpp", 3, WARN, 1, outputs, formats);
        LogEvent event("b.cpp", 4, TRACE, &logger);
        logger.log(event, 2, 2, values, static_cast<TestPoint_e>(3));
    }
    finish();
    {
        BinaryFileFormatter copy;
        copy.setAppender(new BinaryFileAppender("copy"), true);
        SingleLoggerFileFormatter debug(TP_NONE);
        debug.setAppender(new SingleLoggerFileAppender(), true);
        FanOut both(debug, copy);
        BinaryFileReader reader((directory.path() / "capture.dat").c_str());
        reader.setFormatter(&both, false);
        while (reader.getNext()) {
        }
    }
    const std::vector<Delivery> original = deliveriesOf(directory.path() / "capture.dat");
    const std::vector<Delivery> copied = deliveriesOf(directory.path() / "copy.dat");
    ASSERT_EQ(original.size(), 9u);
    ASSERT_EQ(copied.size(), original.size());
    for (size_t i = 0; i < copied.size(); ++i) {
        EXPECT_EQ(copied[i].slot, original[i].slot) << i;
        EXPECT_EQ(copied[i].records, original[i].records) << i;
        EXPECT_EQ(copied[i].data, original[i].data) << i;
    }
    EXPECT_EQ(copied[0].records, std::vector<std::vector<uint8_t>>{record});
    EXPECT_EQ(copied[1].records, (std::vector<std::vector<uint8_t>>{out0, fmt0}));
    ASSERT_EQ(copied[2].data.size(), sizeof values);
    EXPECT_EQ(std::memcmp(copied[2].data.data(), values, sizeof values), 0);
}

TEST_F(BinaryFileWriterTest, LongFileNameFillsItsFieldAndReadsBackCut)
{
    const std::string longName(600, 'f');
    logger.log(longName.c_str(), 10, WARN, "x");
    const std::vector<uint8_t> bytes = finish();
    const size_t field = kFileHeaderSize + 12 + 36;
    EXPECT_EQ(std::string(bytes.begin() + field, bytes.begin() + field + 512), longName.substr(0, 512));
    EXPECT_EQ(bytes[field + 512], 'L') << "no terminator: the logger name follows at once";

    BinaryFileReader reader((directory.path() / "capture.dat").c_str());
    CapturingFormatter captured;
    reader.setFormatter(&captured, false);
    ASSERT_TRUE(reader.getNext());
    EXPECT_EQ(captured.deliveries.at(0).file, longName.substr(0, 512));
}

TEST_F(BinaryFileWriterTest, SecondFormatterStartsItsOwnListButContinuesTheIds)
{
    logger.log("site.cpp", 10, WARN, "one");
    const std::vector<uint8_t> first = finish();
    const uint32_t firstId = fieldAt<uint32_t>(first, kFileHeaderSize + 12);

    auto* other = new BinaryFileFormatter();
    other->setAppender(new BinaryFileAppender("other"), true);
    logger.addFormatter(other, true);
    logger.log("site.cpp", 10, WARN, "one");
    logger.removeFormatter(other);
    const std::vector<uint8_t> second = readFileBytes(directory.path() / "other.dat");
    EXPECT_EQ(fieldAt<uint32_t>(second, kFileHeaderSize + 4), 0u) << "the new file defines the site again";
    EXPECT_GT(fieldAt<uint32_t>(second, kFileHeaderSize + 12), firstId);
}

TEST_F(BinaryFileWriterTest, NewFileNameStartsANewFileWithItsOwnHeader)
{
    BinaryFileAppender appender("first");
    LogEvent event("site.cpp", 1, WARN, &logger);
    event.setBuffer("abc", 3);
    appender.log(event);
    appender.setFilename("second");
    event.setBuffer("de", 2);
    appender.log(event);
    appender.setFilename("third"); // closes "second"

    const std::vector<uint8_t> first = readFileBytes(directory.path() / "first.dat");
    const std::vector<uint8_t> second = readFileBytes(directory.path() / "second.dat");
    ASSERT_EQ(first.size(), kFileHeaderSize + 3);
    ASSERT_EQ(second.size(), kFileHeaderSize + 2);
    EXPECT_EQ(fieldAt<uint32_t>(second, 0), 0x24601043u);
    EXPECT_EQ(std::string(second.begin() + kFileHeaderSize, second.end()), "de");
    EXPECT_EQ(BinaryFileAppender::createFullFilename("x"), "./x.dat");
}

TEST_F(BinaryFileWriterTest, UnwritableFileDropsEventsAndRetriesWithTheNext)
{
    std::filesystem::create_directory(directory.path() / "capture.dat");
    BinaryFileAppender appender("capture");
    LogEvent event("site.cpp", 1, WARN, &logger);
    event.setBuffer("lost", 4);
    appender.log(event);
    std::filesystem::remove(directory.path() / "capture.dat");
    event.setBuffer("kept", 4);
    appender.log(event);
    appender.setFilename("closed");
    const std::vector<uint8_t> bytes = readFileBytes(directory.path() / "capture.dat");
    ASSERT_EQ(bytes.size(), kFileHeaderSize + 4);
    EXPECT_EQ(std::string(bytes.begin() + kFileHeaderSize, bytes.end()), "kept");
}

// Reads a file to the end; the deliveries, or none when a record failed.
std::vector<Delivery> readWhole(const std::filesystem::path& path)
{
    BinaryFileReader reader(path.c_str());
    CapturingFormatter captured;
    reader.setFormatter(&captured, false);
    while (reader.getNext()) {
    }
    EXPECT_FALSE(reader.isOpen()) << "a reader that stopped early left the file open: " << path;
    return captured.deliveries;
}

TEST_F(BinaryFileWriterTest, EveryFileOfARenamedAppenderReadsWhole)
{
    BinaryFileAppender appender("first");
    BinaryFileFormatter renamed;
    renamed.setAppender(&appender, false);
    logger.addFormatter(&renamed, false);
    logger.log("site.cpp", 10, WARN, "one");
    appender.setFilename("second");
    logger.log("site.cpp", 10, WARN, "two");
    logger.log("site.cpp", 10, WARN, "three");
    appender.setFilename("third"); // closes "second"
    logger.removeFormatter(&renamed);

    const std::vector<Delivery> first = readWhole(directory.path() / "first.dat");
    const std::vector<Delivery> second = readWhole(directory.path() / "second.dat");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].text, "one");
    ASSERT_EQ(second.size(), 2u) << "the site is defined again in the new file";
    EXPECT_EQ(second[0].text, "two");
    EXPECT_EQ(second[1].text, "three");
}

TEST_F(BinaryFileWriterTest, FileOpenedLateHoldsWholeRecordsOfDefinedSites)
{
    std::filesystem::create_directory(directory.path() / "capture.dat");
    logger.log("site.cpp", 10, WARN, "lost");
    std::filesystem::remove(directory.path() / "capture.dat");
    logger.log("site.cpp", 10, WARN, "kept");
    const std::vector<uint8_t> bytes = finish();
    EXPECT_EQ(bytes.size(), kFileHeaderSize + kIdentifierRecordSize + 12 + 4);
    const std::vector<Delivery> read = readWhole(directory.path() / "capture.dat");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].text, "kept");
}

} // namespace
