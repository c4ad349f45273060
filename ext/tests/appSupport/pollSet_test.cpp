// The poll set behind vnx_fileHandler_*: entries kept unsorted, the last one
// moved into a removed one's place, the returned events of the last wait.

#include <poll.h>
#include <unistd.h>

#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "appSupport/AsyncWait.h"
#include "appSupport/appSupport.h"
#include "appSupport/fileHandler.h"
#include "support/extLibraries.h"

namespace {

/// Pipes whose read ends are watched; closed at the end.
class Pipes
{
  public:
    explicit Pipes(size_t count) : ends_(count)
    {
        for (auto& end : ends_) {
            EXPECT_EQ(::pipe(end.data()), 0);
        }
    }
    ~Pipes()
    {
        for (const auto& end : ends_) {
            ::close(end[0]);
            if (end[1] >= 0) {
                ::close(end[1]);
            }
        }
    }
    Pipes(const Pipes&) = delete;
    Pipes& operator=(const Pipes&) = delete;

    int reader(size_t i) const { return ends_[i][0]; }
    void write(size_t i) const { ASSERT_EQ(::write(ends_[i][1], "x", 1), 1); }
    void closeWriter(size_t i)
    {
        ::close(ends_[i][1]);
        ends_[i][1] = -1;
    }

  private:
    std::vector<std::array<int, 2>> ends_;
};

std::vector<int> fds(const vnx::AsyncWait& set)
{
    std::vector<int> list;
    for (int i = 0; i < set.getNumFileHandles(); ++i) {
        list.push_back(set.entries()[i].fd);
    }
    return list;
}

class PollSetTest : public ::testing::Test
{
  protected:
    vnx::testsupport::ExtLibraries libraries_;
};

TEST_F(PollSetTest, AnFdIsKeptOnceWithItsLatestEvents)
{
    vnx::AsyncWait set;
    EXPECT_FALSE(set.addFileHandle(-1, POLLIN));
    EXPECT_TRUE(set.addFileHandle(5, POLLIN));
    EXPECT_TRUE(set.addFileHandle(5, POLLOUT | POLLPRI));
    ASSERT_EQ(set.getNumFileHandles(), 1);
    EXPECT_EQ(set.entries()[0].events, POLLOUT | POLLPRI);
    EXPECT_TRUE(set.removeFileHandle(5));
    EXPECT_FALSE(set.removeFileHandle(5));
    EXPECT_EQ(set.getNumFileHandles(), 0);
    EXPECT_EQ(set.getREvents(5), 0);
}

TEST_F(PollSetTest, RemovingMovesTheLastEntryIntoTheGap)
{
    vnx::AsyncWait set;
    for (int fd : {10, 11, 12}) {
        ASSERT_TRUE(set.addFileHandle(fd, POLLIN));
    }
    ASSERT_TRUE(set.removeFileHandle(10));
    EXPECT_EQ(fds(set), (std::vector<int>{12, 11}));
    ASSERT_TRUE(set.removeFileHandle(11));
    EXPECT_EQ(fds(set), (std::vector<int>{12}));
}

TEST_F(PollSetTest, SeventeenDescriptorsGrowTheSetAndAreAllWaitedOn)
{
    vnx::AsyncWait set;
    EXPECT_EQ(set.capacity(), 16u);
    Pipes pipes(17);
    for (size_t i = 0; i < 17; ++i) {
        ASSERT_TRUE(set.addFileHandle(pipes.reader(i), POLLIN));
    }
    EXPECT_EQ(set.getNumFileHandles(), 17);
    EXPECT_EQ(set.capacity(), 32u);

    // Data in the first and the seventeenth pipe only.
    pipes.write(0);
    pipes.write(16);
    EXPECT_EQ(set.waitOnFileHandles(1000), 0);
    for (size_t i = 0; i < 17; ++i) {
        EXPECT_EQ(set.getREvents(pipes.reader(i)), (i == 0 || i == 16) ? POLLIN : 0) << i;
    }
    // A writer that went shows as a hang-up at the next wait.
    pipes.closeWriter(3);
    EXPECT_EQ(set.waitOnFileHandles(0), 0);
    EXPECT_EQ(set.getREvents(pipes.reader(3)), POLLHUP);
    EXPECT_EQ(set.getREvents(pipes.reader(16)), POLLIN);
}

TEST_F(PollSetTest, TheFlatPollSetExistsFromInitializeToFinalize)
{
    Pipes pipes(2);
    EXPECT_EQ(vnx_fileHandler_poll(0), -2);
    vnx_fileHandler_add(pipes.reader(0), POLLIN);
    vnx_fileHandler_remove(pipes.reader(0));
    EXPECT_EQ(vnx::fileHandlerPollSet(), nullptr);

    ASSERT_EQ(vnx_fileHandler_initialize(), 0);
    ASSERT_NE(vnx::fileHandlerPollSet(), nullptr);
    EXPECT_EQ(vnx::fileHandlerPollSet()->getNumFileHandles(), 0) << "the early add changed nothing";
    vnx_fileHandler_add(pipes.reader(0), POLLIN);
    vnx_fileHandler_add(pipes.reader(1), POLLIN);
    EXPECT_EQ(vnx_fileHandler_initialize(), 1);
    EXPECT_EQ(vnx::fileHandlerPollSet()->getNumFileHandles(), 2) << "a second initialize keeps the set";

    pipes.write(1);
    EXPECT_EQ(vnx_fileHandler_poll(1000), 0);
    EXPECT_EQ(vnx::fileHandlerPollSet()->getREvents(pipes.reader(0)), 0);
    EXPECT_EQ(vnx::fileHandlerPollSet()->getREvents(pipes.reader(1)), POLLIN);
    vnx_fileHandler_remove(pipes.reader(1));
    EXPECT_EQ(vnx::fileHandlerPollSet()->getNumFileHandles(), 1);

    EXPECT_EQ(vnx_fileHandler_finalize(), 0);
    EXPECT_EQ(vnx::fileHandlerPollSet(), nullptr);
    EXPECT_EQ(vnx_fileHandler_poll(0), -2);
    EXPECT_EQ(vnx_fileHandler_finalize(), 0);
}

TEST(PrintEvents, NamesTheSetBitsInTheirFixedOrder)
{
    struct Case
    {
        int events;
        const char* text;
    };
    const Case cases[] = {
        {0, ""},
        {POLLIN, "POLLIN"},
        {POLLHUP | POLLIN | POLLOUT, "POLLIN|POLLOUT|POLLHUP"},
        {POLLRDHUP | POLLNVAL, "POLLRDHUP|POLLNVAL"},
        {POLLIN | POLLPRI | POLLOUT | POLLRDHUP | POLLERR | POLLHUP | POLLNVAL | POLLRDNORM | POLLRDBAND |
             POLLWRNORM | POLLWRBAND,
         "POLLIN|POLLPRI|POLLOUT|POLLRDHUP|POLLERR|POLLHUP|POLLNVAL|POLLRDNORM|POLLRDBAND|POLLWRNORM|POLLWRBAND"},
        {0x10000, ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(print_events(c.events), c.text) << c.events;
    }
}

} // namespace
