#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "../common/scopedEnv.h"
#include "binaryFileSupport.h"
#include "common/NodeManager.h"
#include "log/LogManager.h"
#include "log/Logger.h"
#include "log/SingleLoggerFileAppender.h"
#include "log/SingleLoggerFileFormatter.h"
#include "log/lowByteConversion.h"
#include "scopedTempDir.h"

namespace {

using namespace vnx::log;
using vnx::NodeInterface;
using vnx::NodeManager;

constexpr uint32_t kSequenceNumber = 7;
constexpr size_t kHeaderSize = 64;

struct HeaderFields
{
    uint32_t magic;
    uint16_t size;
    uint16_t version;
    uint16_t testPoint;
    uint16_t second;
    uint32_t countA;
    uint32_t countB;
    bool operator==(const HeaderFields&) const = default;
};

HeaderFields headerOf(const std::vector<uint8_t>& bytes)
{
    return {fieldAt<uint32_t>(bytes, 0), fieldAt<uint16_t>(bytes, 4),  fieldAt<uint16_t>(bytes, 6),
            fieldAt<uint16_t>(bytes, 8), fieldAt<uint16_t>(bytes, 10), fieldAt<uint32_t>(bytes, 12),
            fieldAt<uint32_t>(bytes, 16)};
}

void PrintTo(const HeaderFields& h, std::ostream* os)
{
    *os << "{" << std::hex << h.magic << std::dec << ", " << h.size << ", " << h.version << ", "
        << h.testPoint << ", " << h.second << ", " << h.countA << ", " << h.countB << "}";
}

// Domain D and device V in the ROOT tree, in a fresh working directory; the
// file loggers the tests create are placed under V.
class SingleLoggerFileTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (LogManager::getInstance().getFilenamePrefix() != "./") {
            GTEST_SKIP() << "log files are not written to the working directory";
        }
        nodes.addNode(nullptr, &domain, NodeInterface::NODE_DOMAIN, "D");
        nodes.addNode(&domain, &device, NodeInterface::NODE_DEVICE, "V")
            ->setSequenceNumber(kSequenceNumber, false);
    }
    void TearDown() override
    {
        nodes.reset();
        LogManager::getInstance().reset();
    }

    // A type-8 logger "scd" under V, wired by the log manager.
    std::unique_ptr<Logger> placeFileLogger(const char* localName = "scd")
    {
        auto logger = std::make_unique<Logger>("vnx_ext_Device", localName, TRACE, TYPE_SINGLE_FILE);
        nodes.addNode(&device, logger.get(), NodeInterface::NODE_LOG, localName);
        return logger;
    }

    // Removes the logger's node and destroys it, which closes its file.
    void destroy(std::unique_ptr<Logger>& logger)
    {
        nodes.removeNode(logger.get());
        logger.reset();
    }

    std::vector<uint8_t> file(const char* name = "D_V_scd.dbg")
    {
        return readFileBytes(directory.path() / name);
    }

    ScopedEnv noPrefix{"VNX_LOG_OUTPUT_PREFIX", nullptr};
    ScopedTempDir directory;
    NodeManager& nodes = NodeManager::getInstance();
    int domain = 0;
    int device = 0;
};

TEST_F(SingleLoggerFileTest, FileLoggerWritesHeaderAndTextLineToItsOwnFileNotTheConsole)
{
    auto logger = placeFileLogger();
    EXPECT_STREQ(logger->getName(), "D.V.scd");
    ::testing::internal::CaptureStderr();
    logger->log("device.cpp", 31, WARN, "text");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    destroy(logger);

    const std::vector<uint8_t> bytes = file();
    EXPECT_EQ(headerOf(bytes), (HeaderFields{0x24601042, 64, 1, 392, 7, 1, 1}));
    ASSERT_GE(bytes.size(), kHeaderSize + 4);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 20, bytes.begin() + 64), std::vector<uint8_t>(44, 0));
    EXPECT_EQ(fieldAt<uint32_t>(bytes, kHeaderSize), kSequenceNumber);
    EXPECT_EQ(std::string(bytes.begin() + kHeaderSize + 4, bytes.end()), "WARN D.V.scd(31): text\n");
}

TEST_F(SingleLoggerFileTest, RecordsAndOutputListsAreWrittenAsRawBytes)
{
    auto logger = placeFileLogger();
    const std::vector<uint8_t> record = recordBytes(24, VNX_KIND_CONFIG, 0x31);
    const std::vector<uint8_t> out = recordBytes(18, VNX_KIND_OUTPUT, 0x32);
    const std::vector<uint8_t> fmt = recordBytes(16, VNX_KIND_FORMAT, 0x33);
    const vnx_StructOutput_s* outputs[] = {reinterpret_cast<const vnx_StructOutput_s*>(out.data()),
                                           reinterpret_cast<const vnx_StructOutput_s*>(out.data())};
    const vnx_StructFormat_s* formats[] = {nullptr, reinterpret_cast<const vnx_StructFormat_s*>(fmt.data())};
    logger->log("f.cpp", 1, INFO, reinterpret_cast<const vnx_Struct_s*>(record.data()));
    logger->log("f.cpp", 2, INFO, 2, outputs, formats);
    logger->log("f.cpp", 3, INFO, static_cast<const vnx_Struct_s*>(nullptr));
    destroy(logger);

    const std::vector<uint8_t> bytes = file();
    EXPECT_EQ(headerOf(bytes), (HeaderFields{0x24601042, 64, 1, 393, 7, 1, 1}));
    const std::vector<uint8_t> seq{kSequenceNumber, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + kHeaderSize, bytes.end()),
              concat({seq, record, seq, out, out, fmt}));
}

TEST_F(SingleLoggerFileTest, FirstDataPieceSetsTheKindAndLaterKindsAreConvertedToBytes)
{
    auto logger = placeFileLogger();
    const int8_t small[] = {1, -2, 3};
    const float floats[] = {2.9f, -1.5f, 300.0f};
    LogEvent event("f.cpp", 5, INFO, logger.get());
    logger->log(event, 3, 1, small, static_cast<TestPoint_e>(5));
    logger->log(event, 3, 1, floats, TP_FLOAT);
    destroy(logger);

    const std::vector<uint8_t> bytes = file();
    EXPECT_EQ(headerOf(bytes), (HeaderFields{0x24601042, 64, 1, 5, 7, 3, 1}));
    EXPECT_EQ(
        std::vector<uint8_t>(bytes.begin() + kHeaderSize, bytes.end()),
        (std::vector<uint8_t>{kSequenceNumber, 0, 0, 0, 1, 0xFE, 3, kSequenceNumber, 0, 0, 0, 2, 255, 44}));
}

TEST_F(SingleLoggerFileTest, ConversionIntoAWiderKindZeroFillsTheRestOfTheRecord)
{
    // Stored as 4-byte integers: a float piece yields one byte per element,
    // then zeros up to the stored size.
    Logger logger("vnx_core_Test", "wide", TRACE, TYPE_NONE);
    const int32_t ints[] = {0x01020304, -1};
    const float floats[] = {2.9f, 300.0f};
    {
        SingleLoggerFileFormatter formatter(static_cast<TestPoint_e>(3));
        formatter.setAppender(new SingleLoggerFileAppender(), true);
        LogEvent event("f.cpp", 5, INFO, &logger);
        formatter.log(event, 2, 1, ints, static_cast<TestPoint_e>(3));
        formatter.log(event, 2, 1, floats, TP_FLOAT);
    }
    const std::vector<uint8_t> bytes = file("wide.dbg");
    EXPECT_EQ(headerOf(bytes), (HeaderFields{0x24601042, 64, 1, 3, 7, 2, 1}));
    const std::vector<uint8_t> seq{0, 0, 0, 0};
    const std::vector<uint8_t> original(reinterpret_cast<const uint8_t*>(ints),
                                        reinterpret_cast<const uint8_t*>(ints) + sizeof(ints));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + kHeaderSize, bytes.end()),
              concat({seq, original, seq, {2, 44, 0, 0, 0, 0, 0, 0}}));
}

TEST_F(SingleLoggerFileTest, PieceOfAKindWithoutElementSizeAllocatesNothingForItsCounts)
{
    // Stored as doubles; a piece of a kind with no element size carries no
    // data, so its counts (65535 x 8191, 4.29 GB of doubles) are not sized.
    Logger logger("vnx_core_Test", "counts", TRACE, TYPE_NONE);
    const double value = 1.5;
    const uint8_t oneByte = 7;
    {
        SingleLoggerFileFormatter formatter(TP_DOUBLE);
        formatter.setAppender(new SingleLoggerFileAppender(), true);
        LogEvent event("f.cpp", 5, INFO, &logger);
        formatter.log(event, 1, 1, &value, TP_DOUBLE);
        formatter.log(event, 65535, 8191, &oneByte, static_cast<TestPoint_e>(20));
    }
    const std::vector<uint8_t> bytes = file("counts.dbg");
    ASSERT_EQ(bytes.size(), kHeaderSize + 4 + sizeof value);
}

TEST(LowByteConversion, ElementsOfEveryKindBecomeTheirLowEightBits)
{
    struct Case
    {
        const char* name;
        uint32_t testPoint;
        std::vector<uint8_t> element;
        bool converted;
        uint8_t expected;
    };
    auto bytesOf = [](auto value) {
        const auto* p = reinterpret_cast<const uint8_t*>(&value);
        return std::vector<uint8_t>(p, p + sizeof(value));
    };
    const Case cases[] = {
        {"1-byte integer", 1, {0xC8}, true, 0xC8},
        {"2-byte integer", 2, bytesOf(int16_t{0x1234}), true, 0x34},
        {"8-byte integer, second set", 8, bytesOf(int64_t{-2}), true, 0xFE},
        {"float truncates toward zero", 9, bytesOf(-1.9f), true, 0xFF},
        {"float out of int32 range", 9, bytesOf(3e9f), true, 0x00},
        {"float NaN", 9, bytesOf(std::numeric_limits<float>::quiet_NaN()), true, 0x00},
        {"double", 10, bytesOf(257.75), true, 0x01},
        {"double just below -2^31 - 1", 10, bytesOf(-2147483648.5), true, 0x00},
        {"32-bit fixed point, no fraction", 170, bytesOf(int32_t{300}), true, 44},
        {"32-bit fixed point, one fractional bit", 169, bytesOf(int32_t{-3}), true, 0xFF},
        {"64-bit fixed point, 0 fractional bits", 106, bytesOf(int64_t{0x1FF}), true, 0xFF},
        {"64-bit fixed point, 63 fractional bits", 43, bytesOf(int64_t{1} << 62), true, 0},
        {"16-bit fixed point scaled up", 267, bytesOf(int16_t{3}), true, 12},
        {"8-bit fixed point", 360, bytesOf(int8_t{-7}), true, 0xF9},
        {"unused kind", 20, {9, 9, 9, 9}, false, 0x5A},
        {"text", TP_TEXT, {9}, false, 0x5A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t out = 0x5A;
        EXPECT_EQ(convertToLowByte(c.element.data(), c.testPoint, out), c.converted);
        EXPECT_EQ(out, c.expected);
    }
}

TEST_F(SingleLoggerFileTest, PiecesOfAnotherLoggerAreDropped)
{
    auto logger = placeFileLogger();
    Logger other("vnx_core_Test", "other", TRACE, TYPE_NONE);
    SingleLoggerFileFormatter* formatter = nullptr;
    for (size_t i = 0; Formatter* f = logger->getFormatter(i); ++i) {
        formatter = dynamic_cast<SingleLoggerFileFormatter*>(f);
    }
    ASSERT_NE(formatter, nullptr);
    other.addFormatter(formatter, false);
    logger->log("f.cpp", 1, WARN, "mine");
    other.log("f.cpp", 2, WARN, "theirs");
    other.removeFormatter(formatter);
    destroy(logger);
    const std::vector<uint8_t> bytes = file();
    EXPECT_EQ(std::string(bytes.begin() + kHeaderSize + 4, bytes.end()), "WARN D.V.scd(1): mine\n");
}

TEST_F(SingleLoggerFileTest, LateFileStillStartsWithItsHeader)
{
    // The first piece cannot be written (a directory holds the name); the
    // file that opens at a later piece gets the header first.
    std::filesystem::create_directory(directory.path() / "D_V_scd.dbg");
    auto logger = placeFileLogger();
    logger->log("f.cpp", 1, WARN, "lost");
    std::filesystem::remove(directory.path() / "D_V_scd.dbg");
    logger->log("f.cpp", 2, WARN, "kept");
    destroy(logger);
    const std::vector<uint8_t> bytes = file();
    EXPECT_EQ(headerOf(bytes), (HeaderFields{0x24601042, 64, 1, 392, 7, 1, 1}));
    ASSERT_GE(bytes.size(), kHeaderSize + 4);
    EXPECT_EQ(std::string(bytes.begin() + kHeaderSize + 4, bytes.end()), "WARN D.V.scd(2): kept\n");
}

TEST_F(SingleLoggerFileTest, NodeAddedAgainKeepsItsOneFile)
{
    auto logger = placeFileLogger();
    logger->log("f.cpp", 1, WARN, "a");
    nodes.removeNode(logger.get());
    logger->log("f.cpp", 2, WARN, "b"); // still attached after leaving the tree
    nodes.addNode(&device, logger.get(), NodeInterface::NODE_LOG, "scd");
    LogManager::getInstance().reset(); // a replay of the tree must not wire it again either
    logger->log("f.cpp", 3, WARN, "c");
    EXPECT_EQ(logger->getFormatter(1), nullptr);
    destroy(logger);
    const std::vector<uint8_t> bytes = file();
    EXPECT_EQ(headerOf(bytes).magic, 0x24601042u);
    const std::string text(bytes.begin() + kHeaderSize, bytes.end());
    EXPECT_NE(text.find("WARN D.V.scd(1): a\n"), std::string::npos);
    EXPECT_NE(text.find("(2): b\n"), std::string::npos);
    EXPECT_NE(text.find("WARN D.V.scd(3): c\n"), std::string::npos);
    EXPECT_EQ(bytes.size(), kHeaderSize + 3 * 4 + 3 * std::string("WARN D.V.scd(1): a\n").size());
}

TEST_F(SingleLoggerFileTest, WithoutAnAppenderNothingIsBoundOrWritten)
{
    Logger first("vnx_core_Test", "first", TRACE, TYPE_NONE);
    Logger second("vnx_core_Test", "second", TRACE, TYPE_NONE);
    {
        SingleLoggerFileFormatter formatter(TP_NONE);
        LogEvent event("f.cpp", 1, WARN, &first);
        formatter.log(event, "dropped");
        formatter.setAppender(new SingleLoggerFileAppender(), true);
        LogEvent later("f.cpp", 2, WARN, &second);
        formatter.log(later, "bound");
    }
    EXPECT_FALSE(std::filesystem::exists(directory.path() / "first.dbg"));
    const std::vector<uint8_t> bytes = file("second.dbg");
    EXPECT_EQ(std::string(bytes.begin() + kHeaderSize + 4, bytes.end()), "WARN second(2): bound\n");
}

} // namespace
