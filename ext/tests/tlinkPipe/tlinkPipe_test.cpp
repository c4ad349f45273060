#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"
#include "support/fifoDirectory.h"
#include "tlinkPipe/TlinkPipe.h"

namespace {

using vnx::NamedPipe;
using vnx::TlinkPipe;
using Bytes = std::vector<uint8_t>;

/// A frame as a writer puts it on the pipe: announced length, then `payload`.
Bytes frame(uint32_t announced, const Bytes& payload)
{
    Bytes bytes(4 + payload.size());
    std::memcpy(bytes.data(), &announced, 4);
    std::copy(payload.begin(), payload.end(), bytes.begin() + 4);
    return bytes;
}

Bytes counting(size_t n)
{
    Bytes bytes(n);
    for (size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<uint8_t>(i + 1);
    }
    return bytes;
}

class TlinkPipeTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        path_ = fifos_.fifo("link");
        ASSERT_EQ(reader_.open(path_.c_str(), NamedPipe::ACCESS_READ, NamedPipe::CREATE_BY_PROPERTY), 0);
        rawWriter_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
        ASSERT_GE(rawWriter_, 0);
    }
    void TearDown() override { ::close(rawWriter_); }

    void put(const Bytes& bytes)
    {
        ASSERT_EQ(::write(rawWriter_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    int read(Bytes& out, size_t capacity = 96)
    {
        out.assign(capacity, 0);
        size_t n = 99;
        const int status = reader_.read(out.data(), capacity, &n);
        out.resize(status == 0 ? n : 0);
        return status;
    }

    vnx::testsupport::FifoDirectory fifos_;
    std::string path_;
    TlinkPipe reader_;
    int rawWriter_ = -1;
};

TEST_F(TlinkPipeTest, FramesCarryReportsOfUpTo96Bytes)
{
    TlinkPipe writer;
    ASSERT_EQ(writer.open(path_.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY), 0);
    Bytes got;
    EXPECT_EQ(read(got), VNX_STATUS_IO_NOT_READY) << "nothing waiting";
    for (size_t n : {1u, 11u, 96u}) {
        ASSERT_EQ(writer.write(counting(n).data(), n), 0);
    }
    for (size_t n : {1u, 11u, 96u}) {
        ASSERT_EQ(read(got), 0);
        EXPECT_EQ(got, counting(n));
    }
    EXPECT_EQ(writer.write(counting(97).data(), 97), VNX_STATUS_INVALID_PARAMETER)
        << "no frame holds 97 bytes";
    EXPECT_EQ(read(got), VNX_STATUS_IO_NOT_READY);

    // An empty payload reads as nothing waiting.
    ASSERT_EQ(writer.write(nullptr, 0), 0);
    EXPECT_EQ(read(got), VNX_STATUS_IO_NOT_READY);
    ASSERT_EQ(writer.write(counting(2).data(), 2), 0);
    ASSERT_EQ(read(got), 0) << "the frame after it reads whole";
    EXPECT_EQ(got, counting(2));
}

TEST_F(TlinkPipeTest, BrokenFramesAreRefusedAndThePipeEmptied)
{
    Bytes got;
    struct Case
    {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"97 bytes announced and carried", frame(97, counting(97))},
        {"101 bytes announced", frame(101, counting(20))},
        {"more announced than carried", frame(30, counting(10))},
        {"a cut length word", Bytes{5, 0}},
    };
    for (const Case& c : cases) {
        put(c.bytes);
        put(frame(3, {7, 8, 9})); // a good frame behind it goes too
        EXPECT_EQ(read(got), VNX_STATUS_INVALID_MESSAGE) << c.name;
        EXPECT_EQ(read(got), VNX_STATUS_IO_NOT_READY) << c.name << ": the pipe was emptied";
    }
    put(frame(96, counting(96)));
    ASSERT_EQ(read(got), 0);
    EXPECT_EQ(got.size(), 96u);
}

TEST_F(TlinkPipeTest, AReportLargerThanTheCallersBufferIsLost)
{
    put(frame(12, counting(12)));
    put(frame(2, {5, 6}));
    Bytes got;
    EXPECT_EQ(read(got, 8), VNX_STATUS_SIZE_TOO_SMALL);
    ASSERT_EQ(read(got, 8), 0) << "the next frame is still there";
    EXPECT_EQ(got, (Bytes{5, 6}));
}

TEST(TlinkPipeWriter, AnEmptyPayloadIsTheBareLengthWord)
{
    vnx::testsupport::FifoDirectory fifos;
    const std::string path = fifos.fifo("empty");
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    TlinkPipe writer;
    ASSERT_EQ(writer.open(path.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY), 0);
    ASSERT_EQ(writer.write(nullptr, 0), 0);
    Bytes raw(8, 0xEE);
    const ssize_t count = ::read(fd, raw.data(), raw.size());
    ::close(fd);
    ASSERT_EQ(count, 4);
    EXPECT_EQ(Bytes(raw.begin(), raw.begin() + 4), (Bytes{0, 0, 0, 0}));
}

TEST(TlinkPipeWriter, WithoutReaderWritesAreNotReady)
{
    vnx::testsupport::FifoDirectory fifos;
    const std::string path = fifos.fifo("lonely");
    TlinkPipe writer;
    ASSERT_EQ(writer.open(path.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::CREATE_BY_PROPERTY), 0);
    EXPECT_TRUE(writer.isOpen());
    const uint8_t report[3] = {1, 2, 3};
    EXPECT_EQ(writer.write(report, sizeof report), VNX_STATUS_IO_NOT_READY);
}

} // namespace
