// Single keys from standard input: nothing pending answers 0 at once; a key
// is read with line editing and echo off, and the terminal is as it was
// afterwards.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "appSupport/appSupport.h"
#include "support/extLibraries.h"

namespace {

/// Makes `fd` the process's standard input while it lives.
class StdInAs
{
  public:
    explicit StdInAs(int fd) : saved_(::dup(0)) { EXPECT_EQ(::dup2(fd, 0), 0); }
    ~StdInAs()
    {
        ::dup2(saved_, 0);
        ::close(saved_);
    }
    StdInAs(const StdInAs&) = delete;
    StdInAs& operator=(const StdInAs&) = delete;

  private:
    int saved_;
};

class StdInputTest : public ::testing::Test
{
  protected:
    vnx::testsupport::ExtLibraries libraries_;
};

TEST_F(StdInputTest, StandardInputIsDescriptorZeroWaitedOnForInput)
{
    EXPECT_EQ(vnx_appSupport_getStdInputFileHandle(), 0);
    EXPECT_EQ(vnx_appSupport_getStdInputEvents(), POLLIN);
}

TEST_F(StdInputTest, APipeIsReadKeyByKeyAndEmptyAnswersZero)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    {
        StdInAs input(ends[0]);
        EXPECT_FALSE(vnx_appSupport_stdInputAvailable());
        EXPECT_EQ(vnx_appSupport_stdInputGetChar(), 0);
        ASSERT_EQ(::write(ends[1], "q\xE9", 2), 2);
        EXPECT_TRUE(vnx_appSupport_stdInputAvailable());
        EXPECT_EQ(vnx_appSupport_stdInputGetChar(), 'q');
        EXPECT_EQ(vnx_appSupport_stdInputGetChar(), 0xE9) << "a byte above 127 is not negative";
        EXPECT_FALSE(vnx_appSupport_stdInputAvailable());
        EXPECT_EQ(vnx_appSupport_stdInputGetChar(), 0);
    }
    ::close(ends[0]);
    ::close(ends[1]);
}

TEST_F(StdInputTest, ATerminalGetsItsAttributesBackAfterEveryKey)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(terminal, &before), 0);
    before.c_lflag |= ICANON | ECHO;
    ASSERT_EQ(::tcsetattr(terminal, TCSANOW, &before), 0);
    {
        StdInAs input(terminal);
        EXPECT_EQ(vnx_appSupport_stdInputGetChar(), 0);
        // A line editor holds keys until the line ends.
        ASSERT_EQ(::write(master, "ab\n", 3), 3);
        pollfd ready = {0, POLLIN, 0};
        ASSERT_EQ(::poll(&ready, 1, 5000), 1);
        for (int expected : {'a', 'b', '\n'}) {
            EXPECT_EQ(vnx_appSupport_stdInputGetChar(), expected);
            termios after{};
            ASSERT_EQ(::tcgetattr(0, &after), 0);
            EXPECT_EQ(after.c_lflag, before.c_lflag);
        }
        EXPECT_EQ(vnx_appSupport_stdInputGetChar(), 0);
    }
    ::close(terminal);
    ::close(master);
}

} // namespace
