#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "binaryFileSupport.h"
#include "log/BinaryFileReader.h"
#include "scopedTempDir.h"

namespace {

using namespace vnx::log;

std::vector<uint8_t> u16Bytes(uint16_t value)
{
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
}

class BinaryFileReaderTest : public ::testing::Test
{
  protected:
    // Writes the bytes to a file, reads it to the end and keeps what was
    // delivered; returns the results of getNext in order.
    std::vector<bool> readAll(const std::vector<uint8_t>& bytes)
    {
        const std::filesystem::path path = directory.path() / "input.dat";
        writeFileBytes(path, bytes);
        BinaryFileReader reader(path.c_str());
        reader.setFormatter(&captured, false);
        std::vector<bool> results;
        while (results.size() < 100) {
            results.push_back(reader.getNext());
            if (!results.back()) {
                break;
            }
        }
        openAfter = reader.isOpen();
        secondFalse = !reader.getNext();
        return results;
    }

    ScopedTempDir directory;
    CapturingFormatter captured;
    bool openAfter = true;
    bool secondFalse = false;
};

TEST_F(BinaryFileReaderTest, FileHeaderMustMatchExactly)
{
    struct Case
    {
        const char* name;
        size_t offset;
        std::vector<uint8_t> bytes;
        bool open;
    };
    const Case cases[] = {
        {"valid", 0, {}, true},
        {"version 2", 6, {2, 0}, false},
        {"header size 65", 4, {65, 0}, false},
        {"other magic", 0, {0x42}, false},
        {"reserved bytes are not compared", 20, {0xFF, 0xFF}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DatFileBuilder file;
        std::copy(c.bytes.begin(), c.bytes.end(), file.bytes.begin() + c.offset);
        writeFileBytes(directory.path() / "h.dat", file.bytes);
        BinaryFileReader reader((directory.path() / "h.dat").c_str());
        EXPECT_EQ(reader.isOpen(), c.open);
        if (!c.open) {
            EXPECT_FALSE(reader.getNext());
        }
    }
}

TEST_F(BinaryFileReaderTest, ShortOrMissingFileIsNotOpen)
{
    DatFileBuilder file;
    file.bytes.resize(63);
    writeFileBytes(directory.path() / "short.dat", file.bytes);
    EXPECT_FALSE(BinaryFileReader((directory.path() / "short.dat").c_str()).isOpen());
    EXPECT_FALSE(BinaryFileReader((directory.path() / "missing.dat").c_str()).isOpen());
    EXPECT_FALSE(BinaryFileReader(directory.path().c_str()).isOpen()) << "a directory";
    EXPECT_FALSE(BinaryFileReader(nullptr).isOpen());
}

// Paths that are not regular files are refused at once: a FIFO with no
// writer, a directory, a device node and a symbolic link (not followed), even
// one to a good file.
TEST_F(BinaryFileReaderTest, OnlyRegularFilesAreOpenedAndNothingBlocks)
{
    DatFileBuilder file;
    const std::filesystem::path good = directory.path() / "good.dat";
    writeFileBytes(good, file.bytes);
    ASSERT_TRUE(BinaryFileReader(good.c_str()).isOpen());

    const std::filesystem::path fifo = directory.path() / "fifo.dat";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::filesystem::path link = directory.path() / "link.dat";
    std::filesystem::create_symlink(good, link);

    const std::filesystem::path refused[] = {fifo, directory.path(), "/dev/null", link};
    for (const std::filesystem::path& path : refused) {
        auto opened = std::async(std::launch::async, [&] { return BinaryFileReader(path.c_str()).isOpen(); });
        if (opened.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            ADD_FAILURE() << path << " blocked the reader";
            // A writer releases an open that waits on the FIFO.
            const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) {
                close(writer);
            }
        }
        EXPECT_FALSE(opened.get()) << path;
    }
}

// Array data of a kind with no element size describes nothing its payload
// holds: it is not delivered, whatever its counts (a ".dbg" formatter would
// size a buffer by them).
TEST_F(BinaryFileReaderTest, ArrayOfAKindWithoutElementSizeIsNotDelivered)
{
    DatFileBuilder file;
    file.identifier(1, TP_DOUBLE, 1, 1).data(1, std::vector<uint8_t>(8, 0x40));
    file.identifier(2, 20, 65535, 8191).data(2, {0x01});
    file.data(1, std::vector<uint8_t>(8, 0x41));
    EXPECT_EQ(readAll(file.bytes), (std::vector<bool>{true, false}));
    // Reading goes on after the refused record.
    ASSERT_EQ(captured.deliveries.size(), 2u);
    for (const Delivery& d : captured.deliveries)
        EXPECT_EQ(d.testPoint, uint32_t{TP_DOUBLE});
}

TEST_F(BinaryFileReaderTest, BrokenRecordFramingClosesTheFile)
{
    struct Case
    {
        const char* name;
        DatFileBuilder file;
    };
    DatFileBuilder base;
    base.identifier(1, TP_TEXT, 1, 1).data(1, {'o', 'k'});
    std::vector<Case> cases;
    cases.push_back({"length beyond the end of the file", base});
    cases.back().file.recordWithLength(0xFFFFFFF0u, 1, {'x'});
    cases.push_back({"length one byte beyond the end", base});
    cases.back().file.recordWithLength(12 + 4, 1, {'a', 'b', 'c'});
    cases.push_back({"length below the record header", base});
    cases.back().file.recordWithLength(11, 1, {});
    cases.push_back({"record header cut short", base});
    cases.back().file.bytes.insert(cases.back().file.bytes.end(), {16, 0, 0, 0, 1, 0});
    cases.push_back({"identifier record of another length", base});
    cases.back().file.recordWithLength(1075, 0, std::vector<uint8_t>(1063, 0));
    cases.push_back({"identifier cut short", base});
    cases.back().file.identifier(2, TP_TEXT, 1, 1).bytes.resize(cases.back().file.bytes.size() - 1);
    cases.push_back({"identifier without a data record", base});
    cases.back().file.identifier(2, TP_TEXT, 1, 1);
    cases.push_back({"plain end of file", base});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        captured.deliveries.clear();
        EXPECT_EQ(readAll(c.file.bytes), (std::vector<bool>{true, false}));
        ASSERT_EQ(captured.deliveries.size(), 1u);
        EXPECT_EQ(captured.deliveries[0].text, "ok");
        EXPECT_FALSE(openAfter);
        EXPECT_TRUE(secondFalse);
    }
}

TEST_F(BinaryFileReaderTest, RecordOfAnUnknownSiteIsNotDelivered)
{
    DatFileBuilder file;
    file.identifier(1, TP_TEXT, 1, 1).data(2, {'x'});
    EXPECT_EQ(readAll(file.bytes), std::vector<bool>{false});
    EXPECT_TRUE(captured.deliveries.empty());
}

TEST_F(BinaryFileReaderTest, PayloadThatDoesNotFitItsKindIsNotDelivered)
{
    struct Case
    {
        const char* name;
        uint32_t testPoint;
        uint16_t countA;
        uint16_t countB;
        std::vector<uint8_t> payload;
        bool delivered;
    };
    const std::vector<uint8_t> out = recordBytes(20, VNX_KIND_OUTPUT);
    const std::vector<uint8_t> fmt = recordBytes(16, VNX_KIND_FORMAT);
    std::vector<uint8_t> tooBig = recordBytes(20, VNX_KIND_OUTPUT);
    tooBig[0] = 21;
    const Case cases[] = {
        {"record", TP_RECORD, 1, 1, recordBytes(24, VNX_KIND_CONFIG), true},
        {"record shorter than its header", TP_RECORD, 1, 1, {8, 0, 1, 1, 1, 0, 0, 0}, false},
        {"record whose size is below 16", TP_RECORD, 1, 1, concat({recordBytes(15, VNX_KIND_CONFIG), {0}}),
         false},
        {"record larger than the payload", TP_RECORD, 1, 1, tooBig, false},
        {"output list", TP_OUTPUT_LIST, 2, 1, concat({out, fmt, out}), true},
        {"output list entry below 16 bytes", TP_OUTPUT_LIST, 2, 1,
         concat({out, recordBytes(12, VNX_KIND_OUTPUT), std::vector<uint8_t>(8, 0)}), false},
        {"output list entry of size 0", TP_OUTPUT_LIST, 1, 1,
         concat({u16Bytes(0), std::vector<uint8_t>(30, 5)}), false},
        {"output list entry that is not an Output", TP_OUTPUT_LIST, 1, 1, fmt, false},
        {"output list Format beyond the payload", TP_OUTPUT_LIST, 1, 1,
         concat({out, {30, 0, 7, VNX_KIND_FORMAT}}), false},
        {"output list with fewer entries than counted", TP_OUTPUT_LIST, 3, 1, concat({out, out}), false},
        {"output list count beyond any payload", TP_OUTPUT_LIST, 65535, 1, concat({out, out}), false},
        {"array", 3, 2, 3, std::vector<uint8_t>(24, 1), true},
        {"array shorter than its counts", 3, 2, 3, std::vector<uint8_t>(23, 1), false},
        {"array of an unused kind", 20, 9, 9, {}, false},
        {"text", TP_TEXT, 1, 1, {'a', 'b'}, true},
        {"empty text", TP_TEXT, 1, 1, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        captured.deliveries.clear();
        DatFileBuilder file;
        file.identifier(7, c.testPoint, c.countA, c.countB).data(7, c.payload);
        EXPECT_EQ(readAll(file.bytes).front(), c.delivered);
        EXPECT_EQ(captured.deliveries.size(), c.delivered ? 1u : 0u);
    }
}

TEST_F(BinaryFileReaderTest, OutputListRecordsAreDeliveredAlignedWhateverTheirOffset)
{
    const std::vector<uint8_t> out = recordBytes(19, VNX_KIND_OUTPUT, 0x01);
    const std::vector<uint8_t> fmt = recordBytes(17, VNX_KIND_FORMAT, 0x02);
    DatFileBuilder file;
    file.identifier(3, TP_OUTPUT_LIST, 3, 1).data(3, concat({out, fmt, out, out, fmt}));
    struct AlignmentCheck : CapturingFormatter
    {
        using CapturingFormatter::log;
        void log(LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
                 const vnx_StructFormat_s* const* formats) override
        {
            for (size_t i = 0; i < count; ++i) {
                EXPECT_EQ(reinterpret_cast<uintptr_t>(outputs[i]) % alignof(vnx_Struct_s), 0u);
                EXPECT_EQ(reinterpret_cast<uintptr_t>(formats[i]) % alignof(vnx_Struct_s), 0u);
            }
            CapturingFormatter::log(event, count, outputs, formats);
        }
    } aligned;
    writeFileBytes(directory.path() / "a.dat", file.bytes);
    BinaryFileReader reader((directory.path() / "a.dat").c_str());
    reader.setFormatter(&aligned, false);
    ASSERT_TRUE(reader.getNext());
    ASSERT_EQ(aligned.deliveries.size(), 1u);
    EXPECT_EQ(aligned.deliveries[0].records,
              (std::vector<std::vector<uint8_t>>{out, fmt, out, {}, out, fmt}));
}

TEST_F(BinaryFileReaderTest, WithoutAFormatterRecordsAreStillReadThrough)
{
    DatFileBuilder file;
    file.identifier(1, TP_TEXT, 1, 1).data(1, {'a'}).data(1, {'b'});
    writeFileBytes(directory.path() / "n.dat", file.bytes);
    BinaryFileReader reader((directory.path() / "n.dat").c_str());
    EXPECT_TRUE(reader.getNext());
    EXPECT_TRUE(reader.getNext());
    EXPECT_FALSE(reader.getNext());
}

TEST_F(BinaryFileReaderTest, OwnedFormatterIsDeletedWithTheReader)
{
    bool destroyed = false;
    struct Watched : CapturingFormatter
    {
        explicit Watched(bool* flag) : flag_(flag) {}
        ~Watched() override { *flag_ = true; }
        bool* flag_;
    };
    {
        BinaryFileReader reader((directory.path() / "missing.dat").c_str());
        reader.setFormatter(new Watched(&destroyed), true);
    }
    EXPECT_TRUE(destroyed);
}

TEST_F(BinaryFileReaderTest, SeedFilesOfTheFuzzerReadAsIntended)
{
    struct Case
    {
        const char* file;
        std::vector<std::string> slots;
    };
    const Case cases[] = {
        {"text.dat", {"text", "text"}},  {"record.dat", {"record"}}, {"outputs.dat", {"outputs"}},
        {"array.dat", {"data", "data"}}, {"header-only.dat", {}},    {"truncated.dat", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        captured.deliveries.clear();
        const std::vector<uint8_t> bytes =
            readFileBytes(std::filesystem::path(KINEMORA_LOG_CORPUS_DIR) / c.file);
        ASSERT_FALSE(bytes.empty());
        const std::vector<bool> results = readAll(bytes);
        EXPECT_EQ(results.size(), c.slots.size() + 1);
        std::vector<std::string> slots;
        for (const Delivery& d : captured.deliveries) {
            slots.push_back(d.slot);
        }
        EXPECT_EQ(slots, c.slots);
        EXPECT_FALSE(openAfter);
    }
}

} // namespace
