#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/fifoDirectory.h"
#include "namedPipe/NamedPipe.h"
#include "support/logCapture.h"

namespace {

using vnx::NamedPipe;
using vnx::testsupport::FifoDirectory;

// An outside reader of a FIFO whose buffer is one page, so that any write
// above a page can be taken only in part.
class SmallFifoReader
{
  public:
    explicit SmallFifoReader(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK))
    {
        if (fd_ >= 0) {
            fcntl(fd_, F_SETPIPE_SZ, 4096);
        }
    }
    ~SmallFifoReader()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool ok() const { return fd_ >= 0 && fcntl(fd_, F_GETPIPE_SZ) == 4096; }

    /// Takes at most `limit` bytes from the FIFO.
    void drain(size_t limit)
    {
        std::vector<unsigned char> chunk(limit);
        const ssize_t n = ::read(fd_, chunk.data(), chunk.size());
        if (n > 0) {
            received.insert(received.end(), chunk.begin(), chunk.begin() + n);
        }
    }

    std::vector<unsigned char> received;

  private:
    int fd_;
};

// A record of `size` bytes whose every byte names it.
std::vector<unsigned char> record(size_t size, int number)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>(number * 31 + i / 512);
    }
    return bytes;
}

TEST(NamedPipePartialWrite, LargestRecordsArriveWholeAndInOrderThroughASlowReader)
{
    FifoDirectory dir;
    const std::string fifo = dir.fifo("records");
    SmallFifoReader reader(fifo);
    ASSERT_TRUE(reader.ok());
    NamedPipe writer;
    ASSERT_EQ(writer.open(fifo.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::NON_BLOCKING,
                          NamedPipe::CREATE_BY_PROPERTY),
              0);

    constexpr int kRecords = 12;
    constexpr size_t kSize = 8192;
    std::vector<unsigned char> expected;
    int next = 0;
    int refusals = 0;
    bool tailThrough = false;
    for (int pass = 0; pass < 10000 && reader.received.size() < kRecords * kSize; ++pass) {
        if (next == kRecords && !tailThrough) {
            // Nothing more to send: empty writes push the last record's tail.
            const int status = writer.write(nullptr, 0);
            ASSERT_TRUE(status == 0 || status == -1010) << status;
            tailThrough = status == 0;
        }
        if (next < kRecords) {
            const std::vector<unsigned char> bytes = record(kSize, next);
            const int status = writer.write(bytes.data(), bytes.size());
            ASSERT_TRUE(status == 0 || status == -1010) << status;
            if (status == 0) {
                expected.insert(expected.end(), bytes.begin(), bytes.end());
                ++next;
            } else {
                ++refusals;
            }
        }
        // The reader takes less than a record per pass, in odd pieces.
        reader.drain(1500 + pass % 700);
    }
    ASSERT_EQ(next, kRecords);
    EXPECT_GT(refusals, 0) << "the FIFO never filled: the test did not reach partial writes";
    ASSERT_EQ(reader.received.size(), expected.size());
    EXPECT_TRUE(reader.received == expected);
}

TEST(NamedPipePartialWrite, LongerDirectWriteTakenInPartIsAnError)
{
    FifoDirectory dir;
    const std::string fifo = dir.fifo("bytes");
    SmallFifoReader reader(fifo);
    ASSERT_TRUE(reader.ok());
    NamedPipe writer;
    ASSERT_EQ(writer.open(fifo.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::NON_BLOCKING,
                          NamedPipe::CREATE_BY_PROPERTY),
              0);
    vnx::testsupport::LogCapture log("sys", "NamedPipe", vnx::log::INFO);
    const std::vector<unsigned char> bytes = record(3 * 4096, 1);
    EXPECT_EQ(writer.write(bytes.data(), bytes.size()), -1011);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.texts().back().rfind("Write length mismatch(", 0), 0u);
}

TEST(NamedPipePartialWrite, ClosingDropsTheUnsentTail)
{
    FifoDirectory dir;
    const std::string fifo = dir.fifo("records");
    SmallFifoReader reader(fifo);
    ASSERT_TRUE(reader.ok());
    NamedPipe writer;
    ASSERT_EQ(writer.open(fifo.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::NON_BLOCKING,
                          NamedPipe::CREATE_BY_PROPERTY),
              0);
    const std::vector<unsigned char> first = record(8192, 1);
    ASSERT_EQ(writer.write(first.data(), first.size()), 0); // half of it waits
    reader.drain(8192);
    ASSERT_EQ(reader.received.size(), 4096u);

    // Reopened, the writer starts on a record boundary: nothing of the old
    // tail comes before the new record.
    ASSERT_EQ(writer.open(fifo.c_str(), NamedPipe::ACCESS_WRITE, NamedPipe::NON_BLOCKING,
                          NamedPipe::CREATE_BY_PROPERTY),
              0);
    const std::vector<unsigned char> second = record(1000, 2);
    ASSERT_EQ(writer.write(second.data(), second.size()), 0);
    reader.received.clear();
    reader.drain(8192);
    EXPECT_TRUE(reader.received == second);
}

} // namespace
