#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/scopedEnv.h"
#include "deviceDomain/FileHandleListenerInterface.h"
#include "support/fifoDirectory.h"
#include "namedPipe/NamedPipe.h"
#include "support/logCapture.h"

namespace {

using vnx::NamedPipe;
using vnx::testsupport::FifoDirectory;
using vnx::testsupport::LogCapture;

constexpr auto kRead = NamedPipe::ACCESS_READ;
constexpr auto kWrite = NamedPipe::ACCESS_WRITE;
constexpr auto kNonBlocking = NamedPipe::NON_BLOCKING;
constexpr auto kCreate = NamedPipe::CREATE_BY_PROPERTY;

int openPipe(NamedPipe& pipe, const std::string& name, NamedPipe::AccessMode_e access)
{
    return pipe.open(name.c_str(), access, kNonBlocking, kCreate);
}

// Every test sees the half pipes' lines at INFO, with SIGPIPE at its default
// action (the case in which a departing reader could end the process) and
// without permission to create FIFOs, unless it says otherwise.
class NamedPipeTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        struct sigaction defaults = {};
        defaults.sa_handler = SIG_DFL;
        sigaction(SIGPIPE, &defaults, &savedSigPipe_);
    }
    void TearDown() override { sigaction(SIGPIPE, &savedSigPipe_, nullptr); }

    NamedPipe anchor_; // the half pipes' logger exists from the first pipe on
    LogCapture log_{"sys", "NamedPipe", vnx::log::INFO};
    ScopedEnv noCreation_{"VNX_PERMISSION_CREATE_NAMED_PIPE", nullptr};
    FifoDirectory dir_;

  private:
    struct sigaction savedSigPipe_ = {};
};

TEST_F(NamedPipeTest, WriterBeforeReaderWaitsThenAttaches)
{
    const std::string fifo = dir_.fifo("motion");
    NamedPipe writer;
    ASSERT_EQ(openPipe(writer, fifo, kWrite), 0);
    EXPECT_TRUE(writer.isOpen());
    EXPECT_TRUE(log_.contains("No reader to pipe yet."));

    for (int attempt = 0; attempt < 3; ++attempt) {
        log_.clear();
        EXPECT_EQ(writer.write("abc", 3), -1010);
        EXPECT_EQ(log_.texts(), std::vector<std::string>{"No reader to pipe yet."});
    }

    NamedPipe reader;
    ASSERT_EQ(openPipe(reader, fifo, kRead), 0);
    log_.clear();
    EXPECT_EQ(writer.write("abc", 3), 0);
    EXPECT_EQ(log_.texts(), std::vector<std::string>{"Reader now attached to pipe!"});

    char buffer[16] = {};
    size_t count = 0;
    ASSERT_EQ(reader.read(buffer, sizeof buffer, &count), 0);
    EXPECT_EQ(std::string(buffer, count), "abc");
    EXPECT_EQ(reader.read(buffer, sizeof buffer, &count), -1010);
    EXPECT_EQ(count, 0u);
}

TEST_F(NamedPipeTest, DepartingReaderNeverEndsTheProcess)
{
    const std::string fifo = dir_.fifo("motion");
    NamedPipe writer;
    auto reader = std::make_unique<NamedPipe>();
    ASSERT_EQ(openPipe(*reader, fifo, kRead), 0);
    ASSERT_EQ(openPipe(writer, fifo, kWrite), 0);
    ASSERT_EQ(writer.write("one", 3), 0);

    reader.reset();
    log_.clear();
    // SIGPIPE is at its default action: a write into the FIFO without reader
    // must come back as a status, not end the test program.
    EXPECT_EQ(writer.write("two", 3), -1010);
    EXPECT_TRUE(log_.contains("The reader disconnected from the pipe!"));
    EXPECT_TRUE(writer.isOpen());
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE)) << "no SIGPIPE is left pending";

    log_.clear();
    EXPECT_EQ(writer.write("three", 5), -1010);
    EXPECT_TRUE(log_.contains("No reader to pipe yet."));

    NamedPipe next;
    ASSERT_EQ(openPipe(next, fifo, kRead), 0);
    EXPECT_EQ(writer.write("four", 4), 0);
    char buffer[16] = {};
    size_t count = 0;
    ASSERT_EQ(next.read(buffer, sizeof buffer, &count), 0);
    EXPECT_EQ(std::string(buffer, count), "four") << "the new reader starts with what was written for it";
}

TEST_F(NamedPipeTest, NameLengthLimits)
{
    // Directories of at most 255 characters each make up a path of exactly
    // 260 characters.
    std::string path = dir_.path();
    while (path.size() + 1 + 200 < 260) {
        path += "/" + std::string(100, 'd');
        mkdir(path.c_str(), 0700);
    }
    const std::string longest = path + "/" + std::string(260 - path.size() - 1, 'f');
    ASSERT_EQ(longest.size(), 260u);
    mkfifo(longest.c_str(), 0600);

    NamedPipe reader;
    EXPECT_EQ(openPipe(reader, longest, kRead), 0);
    EXPECT_EQ(openPipe(reader, longest + "x", kRead), -2);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_TRUE(log_.contains("Pipe name is too long"));

    // A pair name that would pass 260 characters is refused, not cut.
    const std::string base = longest.substr(0, 256);
    NamedPipe duplex;
    log_.clear();
    EXPECT_EQ(openPipe(duplex, base + "y", NamedPipe::ACCESS_SERVER_DUPLEX), -2);
    EXPECT_TRUE(log_.contains("Pipe name is too long"));
    EXPECT_FALSE(duplex.isOpen());
}

TEST_F(NamedPipeTest, OnlyAFifoItselfIsOpened)
{
    const std::string fifo = dir_.fifo("motion");
    const std::string link = dir_ / "link";
    ASSERT_EQ(symlink(fifo.c_str(), link.c_str()), 0);
    const std::string plain = dir_ / "plain";
    close(::open(plain.c_str(), O_CREAT | O_WRONLY, 0600));

    const struct
    {
        std::string path;
        NamedPipe::AccessMode_e access;
    } cases[] = {
        {link, kRead},   {link, kWrite},       {plain, kRead},
        {plain, kWrite}, {"/dev/null", kRead}, {"/dev/null", kWrite},
    };
    for (const auto& c : cases) {
        NamedPipe pipe;
        EXPECT_EQ(openPipe(pipe, c.path, c.access), -962) << c.path;
        EXPECT_FALSE(pipe.isOpen()) << c.path;
    }
}

TEST_F(NamedPipeTest, MissingFifoIsCreatedOnlyWithPermission)
{
    const std::string fifo = dir_ / "missing";
    NamedPipe reader;
    EXPECT_EQ(openPipe(reader, fifo, kRead), -962);
    EXPECT_TRUE(log_.contains("Named pipe does not exist: {" + fifo + "} (No such file or directory)"));

    ScopedEnv allowed("VNX_PERMISSION_CREATE_NAMED_PIPE", "1");
    ASSERT_EQ(openPipe(reader, fifo, kRead), 0);
    struct stat made = {};
    ASSERT_EQ(lstat(fifo.c_str(), &made), 0);
    EXPECT_TRUE(S_ISFIFO(made.st_mode));
    EXPECT_EQ(made.st_mode & 0777, 0600u);
    // An existing FIFO is used as it is.
    NamedPipe second;
    EXPECT_EQ(openPipe(second, fifo, kRead), 0);

    const std::string inMissingDir = dir_ / "nowhere/fifo";
    log_.clear();
    EXPECT_EQ(openPipe(second, inMissingDir, kRead), -962);
    EXPECT_TRUE(
        log_.contains("Unable to create named pipe: " + inMissingDir + "(No such file or directory)"));
}

TEST_F(NamedPipeTest, OperationsAgainstTheAccessMode)
{
    const std::string fifo = dir_.fifo("motion");
    NamedPipe reader;
    NamedPipe writer;
    ASSERT_EQ(openPipe(reader, fifo, kRead), 0);
    ASSERT_EQ(openPipe(writer, fifo, kWrite), 0);
    char buffer[8];
    size_t count = 0;
    EXPECT_EQ(reader.write("x", 1), -4);
    EXPECT_EQ(writer.read(buffer, sizeof buffer, &count), -4);
    EXPECT_EQ(writer.readFlush(), -4);

    NamedPipe odd;
    EXPECT_EQ(odd.open(fifo.c_str(), static_cast<NamedPipe::AccessMode_e>(7), kNonBlocking, kCreate), -2);
    EXPECT_EQ(odd.write("x", 1), -10);
    EXPECT_EQ(odd.read(buffer, sizeof buffer, &count), -10);

    // A closed pipe answers as one not opened for the operation.
    reader.close();
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(reader.read(buffer, sizeof buffer, &count), -4);
}

TEST_F(NamedPipeTest, ReadFlushEmptiesTheFifo)
{
    const std::string fifo = dir_.fifo("motion");
    NamedPipe reader;
    NamedPipe writer;
    ASSERT_EQ(openPipe(reader, fifo, kRead), 0);
    EXPECT_EQ(reader.readFlush(), 0);
    ASSERT_EQ(openPipe(writer, fifo, kWrite), 0);
    const std::vector<char> block(3000, 'z');
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(writer.write(block.data(), block.size()), 0);
    }
    EXPECT_EQ(reader.readFlush(), 0);
    char buffer[8];
    size_t count = 0;
    EXPECT_EQ(reader.read(buffer, sizeof buffer, &count), -1010);
}

TEST_F(NamedPipeTest, DuplexPairCarriesBothWays)
{
    dir_.fifo("link_c2s");
    dir_.fifo("link_s2c");
    const std::string name = dir_ / "link";
    NamedPipe server;
    NamedPipe client;
    ASSERT_EQ(openPipe(server, name, NamedPipe::ACCESS_SERVER_DUPLEX), 0);
    ASSERT_EQ(openPipe(client, name, NamedPipe::ACCESS_CLIENT_DUPLEX), 0);
    EXPECT_TRUE(server.isOpen());
    EXPECT_TRUE(client.isOpen());

    char buffer[16] = {};
    size_t count = 0;
    ASSERT_EQ(client.write("ping", 4), 0);
    ASSERT_EQ(server.read(buffer, sizeof buffer, &count), 0);
    EXPECT_EQ(std::string(buffer, count), "ping");
    // The server's write half found no reader when it opened; the client's
    // read half is there now.
    ASSERT_EQ(server.write("pong", 4), 0);
    ASSERT_EQ(client.read(buffer, sizeof buffer, &count), 0);
    EXPECT_EQ(std::string(buffer, count), "pong");
}

TEST_F(NamedPipeTest, DuplexWithoutItsSecondFifoLeavesNothingOpen)
{
    dir_.fifo("half_c2s");
    NamedPipe server;
    EXPECT_EQ(openPipe(server, dir_ / "half", NamedPipe::ACCESS_SERVER_DUPLEX), -962);
    EXPECT_FALSE(server.isOpen());
}

class RecordingListener : public vnx::FileHandleListenerInterface
{
  public:
    bool addFileHandle(int fd, uint16_t events) override
    {
        calls.push_back("add " + std::to_string(fd) + " " + std::to_string(events));
        return true;
    }
    bool removeFileHandle(int fd) override
    {
        calls.push_back("remove " + std::to_string(fd));
        return true;
    }
    std::vector<std::string> calls;
};

TEST_F(NamedPipeTest, ReadingFifoIsReportedForPolling)
{
    dir_.fifo("link_c2s");
    dir_.fifo("link_s2c");
    RecordingListener listener;
    NamedPipe reader;
    NamedPipe otherEnd;
    reader.setFileHandleListener(&listener);
    ASSERT_EQ(openPipe(otherEnd, dir_ / "link", NamedPipe::ACCESS_SERVER_DUPLEX), 0);
    ASSERT_EQ(openPipe(reader, dir_ / "link", NamedPipe::ACCESS_CLIENT_DUPLEX), 0);
    // Only the reading half of the pair has a descriptor to watch.
    ASSERT_EQ(listener.calls.size(), 1u);
    const std::string added = listener.calls[0];
    ASSERT_EQ(added.rfind("add ", 0), 0u);
    EXPECT_EQ(added.substr(added.size() - 2), " 1");
    reader.close();
    ASSERT_EQ(listener.calls.size(), 2u);
    EXPECT_EQ(listener.calls[1], "remove " + added.substr(4, added.size() - 6));
}

// The SIGPIPE check runs once per process, so it is looked at in a program
// of its own.
TEST(NamedPipeSigPipeCheck, DefaultActionIsReportedOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            signal(SIGPIPE, SIG_DFL);
            FifoDirectory dir;
            const std::string fifo = dir.fifo("motion");
            NamedPipe first;
            LogCapture log("sys", "NamedPipe", vnx::log::INFO);
            first.open(fifo.c_str(), kRead, kNonBlocking, kCreate);
            NamedPipe second;
            second.open(fifo.c_str(), kRead, kNonBlocking, kCreate);
            int reports = 0;
            for (const std::string& text : log.texts()) {
                reports += text == "SIGPIPE must be set to SIG_IGN or otherwise ignored";
            }
            std::exit(reports == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            signal(SIGPIPE, SIG_IGN);
            FifoDirectory dir;
            const std::string fifo = dir.fifo("motion");
            NamedPipe pipe;
            LogCapture log("sys", "NamedPipe", vnx::log::INFO);
            pipe.open(fifo.c_str(), kRead, kNonBlocking, kCreate);
            std::exit(log.contains("SIGPIPE must be set to SIG_IGN or otherwise ignored") ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
