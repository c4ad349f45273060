#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/StructPipe.h"
#include "support/fifoDirectory.h"
#include "support/logCapture.h"

namespace {

using vnx::NamedPipe;
using vnx::StructPipe;
using vnx::testsupport::FifoDirectory;
using vnx::testsupport::LogCapture;

// A record of `size` bytes: a header saying so, then a body whose bytes name
// the record.
std::vector<unsigned char> record(uint16_t size, uint8_t mark)
{
    std::vector<unsigned char> bytes(size, mark);
    vnx_Struct_s header = {};
    header.size = size;
    header.type = 5;
    header.kind = VNX_KIND_OUTPUT;
    header.version = 1;
    header.instanceId = mark;
    std::memcpy(bytes.data(), &header, std::min<size_t>(size, sizeof header));
    return bytes;
}

const vnx_Struct_s* asRecord(const std::vector<unsigned char>& bytes)
{
    return reinterpret_cast<const vnx_Struct_s*>(bytes.data());
}

// A record pipe read through StructPipe, written by a raw writer that can
// send any bytes, or by a StructPipe.
class StructPipeTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        fifo_ = dir_.fifo("records");
        ASSERT_EQ(reader_.open(fifo_.c_str(), NamedPipe::ACCESS_READ, NamedPipe::CREATE_BY_PROPERTY), 0);
        rawWriter_ = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK);
        ASSERT_GE(rawWriter_, 0);
    }
    void TearDown() override { ::close(rawWriter_); }

    void send(const std::vector<unsigned char>& bytes, size_t length = SIZE_MAX)
    {
        const size_t n = std::min(length, bytes.size());
        ASSERT_EQ(::write(rawWriter_, bytes.data(), n), static_cast<ssize_t>(n));
    }
    void sendTail(const std::vector<unsigned char>& bytes, size_t from)
    {
        ASSERT_EQ(::write(rawWriter_, bytes.data() + from, bytes.size() - from),
                  static_cast<ssize_t>(bytes.size() - from));
    }

    FifoDirectory dir_;
    std::string fifo_;
    StructPipe reader_;
    LogCapture log_{LogCapture::defaultLoggerOf(&reader_)};
    int rawWriter_ = -1;
    alignas(8) unsigned char buffer_[8192] = {};
    vnx_Struct_s* into() { return reinterpret_cast<vnx_Struct_s*>(buffer_); }
};

TEST_F(StructPipeTest, RecordsOfEverySizeComeThroughWhole)
{
    ASSERT_TRUE(log_.attached());
    StructPipe writer;
    ASSERT_EQ(writer.open(fifo_.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY), 0);
    const uint16_t sizes[] = {16, 32, 40, 96, 4096};
    for (uint16_t size : sizes) {
        ASSERT_EQ(writer.write(asRecord(record(size, uint8_t(size)))), 0) << size;
    }
    for (uint16_t size : sizes) {
        ASSERT_EQ(reader_.read(into(), sizeof buffer_), 0) << size;
        EXPECT_EQ(std::vector<unsigned char>(buffer_, buffer_ + size), record(size, uint8_t(size)));
    }
    EXPECT_EQ(reader_.read(into(), sizeof buffer_), -1010);
    EXPECT_TRUE(log_.lines().empty()) << "an empty pipe is no warning";
}

TEST_F(StructPipeTest, LargestRecordIs8192Bytes)
{
    StructPipe writer;
    ASSERT_EQ(writer.open(fifo_.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY), 0);
    std::vector<unsigned char> tooLarge = record(8192, 9);
    tooLarge.push_back(9);
    const uint16_t size8193 = 8193;
    std::memcpy(tooLarge.data(), &size8193, 2);
    EXPECT_EQ(writer.write(asRecord(tooLarge)), -2);
    EXPECT_EQ(reader_.read(into(), sizeof buffer_), -1010) << "nothing reached the pipe";

    const std::vector<unsigned char> largest = record(8192, 8);
    ASSERT_EQ(writer.write(asRecord(largest)), 0);
    // The FIFO may hand a record this large over in parts; the writer
    // finishes it with an empty write.
    int status = -1010;
    for (int attempt = 0; attempt < 100 && status != 0; ++attempt) {
        status = reader_.read(into(), sizeof buffer_);
        if (status == -1030) {
            break;
        }
    }
    ASSERT_EQ(status, 0);
    EXPECT_EQ(std::vector<unsigned char>(buffer_, buffer_ + 8192), largest);

    EXPECT_EQ(writer.write(nullptr), -2);
    const std::vector<unsigned char> headless = record(8, 1);
    EXPECT_EQ(writer.write(asRecord(headless)), -2);
}

TEST_F(StructPipeTest, TooSmallBufferKeepsTheHeaderAndSkipsTheRest)
{
    send(record(40, 1));
    send(record(24, 2));
    EXPECT_EQ(reader_.read(into(), 32), -11);
    EXPECT_EQ(log_.texts(), std::vector<std::string>{"Provided structure is too small: 40 > 32"});
    EXPECT_EQ(into()->size, 40);
    EXPECT_EQ(into()->instanceId, 1u);

    // The next read starts on the next record, not inside the first.
    ASSERT_EQ(reader_.read(into(), 64), 0);
    EXPECT_EQ(into()->size, 24);
    EXPECT_EQ(into()->instanceId, 2u);
    EXPECT_EQ(reader_.read(into(), 64), -1010);
}

TEST_F(StructPipeTest, RestOfATooLargeRecordIsSkippedWhenItArrives)
{
    const std::vector<unsigned char> large = record(200, 1);
    send(large, 30);
    EXPECT_EQ(reader_.read(into(), 64), -11);
    // The rest of the record has not arrived: nothing to read yet.
    EXPECT_EQ(reader_.read(into(), 256), -1010);
    sendTail(large, 30);
    send(record(48, 2));
    ASSERT_EQ(reader_.read(into(), 256), 0);
    EXPECT_EQ(into()->size, 48);
    EXPECT_EQ(into()->instanceId, 2u);
}

std::vector<unsigned char> firstBytes(std::vector<unsigned char> bytes, size_t n)
{
    bytes.resize(n, 0x5A);
    return bytes;
}

TEST_F(StructPipeTest, MalformedInputIsDiscarded)
{
    const struct
    {
        const char* what;
        std::vector<unsigned char> sent;
        const char* logged;
    } cases[] = {
        {"short header", std::vector<unsigned char>(10, 0x11), "Could not read the entire header: 10 < 16"},
        {"size beyond the data", firstBytes(record(100, 3), 40),
         "Message header size and actual size mismatch: 100 != 40"},
        {"header only", firstBytes(record(100, 4), 16),
         "Message header size and actual size mismatch: 100 != 16"},
        {"size below a header", firstBytes(record(8, 5), 30),
         "Message header size below the header's own: 8 < 16"},
    };
    for (const auto& c : cases) {
        log_.clear();
        send(c.sent);
        EXPECT_EQ(reader_.read(into(), sizeof buffer_), -1030) << c.what;
        EXPECT_EQ(log_.texts(), std::vector<std::string>{c.logged}) << c.what;
        EXPECT_EQ(reader_.read(into(), sizeof buffer_), -1010) << c.what << ": the pipe is left empty";
    }
}

TEST_F(StructPipeTest, BufferBelowAHeaderIsRefusedBeforeReading)
{
    send(record(24, 6));
    EXPECT_EQ(reader_.read(into(), 15), -11);
    ASSERT_EQ(reader_.read(into(), 24), 0) << "the record is still there";
    EXPECT_EQ(into()->instanceId, 6u);
    EXPECT_EQ(reader_.read(nullptr, 0), -1010);
}

TEST_F(StructPipeTest, WriterWithoutReaderIsNotReady)
{
    const std::string lonely = dir_.fifo("lonely");
    StructPipe writer;
    ASSERT_EQ(writer.open(lonely.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY), 0);
    EXPECT_TRUE(writer.isOpen());
    EXPECT_EQ(writer.write(asRecord(record(32, 1))), -1010);
    EXPECT_EQ(writer.close(), 0);
    EXPECT_FALSE(writer.isOpen());
}

} // namespace
