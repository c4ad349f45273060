// Hang-up, interrupt, abort and quit turned into an exit flag; SIGPIPE
// ignored only when the client asks for it; the signal logged outside the
// handler.

#include <signal.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "appSupport/appSupport.h"
#include "appSupport/appSupportLog.h"
#include "support/extLibraries.h"
#include "support/logCapture.h"
#include "support/scopedEnv.h"

namespace {

using vnx::testsupport::LogCapture;

volatile sig_atomic_t callbackCalls = 0;

void countCall()
{
    callbackCalls = callbackCalls + 1;
}

void (*actionOf(int signal))(int)
{
    struct sigaction current = {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

class ControlHandlerTest : public ::testing::Test
{
  protected:
    ControlHandlerTest() { vnx::appSupportLogger(); }
    ~ControlHandlerTest() override { vnx_controlHandler_finalize(); }

    std::vector<std::string> lines() const { return capture_.texts(); }

    vnx::testsupport::ExtLibraries libraries_;
    LogCapture capture_{&vnx::appSupportLogger(), vnx::log::INFO};
};

TEST_F(ControlHandlerTest, ASignalSetsTheExitFlagAndIsLoggedByTheLoopsNextCheck)
{
    ASSERT_EQ(vnx_controlHandler_initialize(), 0);
    EXPECT_FALSE(vnx_controlHandler_isExit());
    callbackCalls = 0;
    vnx_controlHandler_setCallback(countCall);

    ASSERT_EQ(raise(SIGINT), 0);
    EXPECT_EQ(callbackCalls, 1);
    EXPECT_TRUE(lines().empty()) << "nothing is logged inside the handler";
    EXPECT_TRUE(vnx_controlHandler_isExit());
    EXPECT_EQ(lines(), std::vector<std::string>{"Signal 2 caught"});
    EXPECT_TRUE(vnx_controlHandler_isExit());
    EXPECT_EQ(lines().size(), 1u) << "logged once";

    // Every handled signal; a cleared callback is not called.
    vnx_controlHandler_setCallback(nullptr);
    for (int signal : {SIGHUP, SIGABRT, SIGQUIT}) {
        ASSERT_EQ(raise(signal), 0);
        EXPECT_TRUE(vnx_controlHandler_isExit());
        EXPECT_EQ(lines().back(), "Signal " + std::to_string(signal) + " caught");
    }
    EXPECT_EQ(callbackCalls, 1);
}

TEST_F(ControlHandlerTest, InitializeClearsAndFinalizeSetsTheExitFlagAndRestoresTheDefaults)
{
    ASSERT_EQ(vnx_controlHandler_initialize(), 0);
    vnx_controlHandler_setCallback(countCall);
    ASSERT_EQ(raise(SIGHUP), 0);
    ASSERT_TRUE(vnx_controlHandler_isExit());

    callbackCalls = 0;
    ASSERT_EQ(vnx_controlHandler_initialize(), 0);
    EXPECT_FALSE(vnx_controlHandler_isExit());
    ASSERT_EQ(raise(SIGQUIT), 0);
    EXPECT_EQ(callbackCalls, 0) << "initialize cleared the callback";
    EXPECT_TRUE(vnx_controlHandler_isExit());

    ASSERT_EQ(vnx_controlHandler_initialize(), 0);
    EXPECT_EQ(vnx_controlHandler_finalize(), 0);
    EXPECT_TRUE(vnx_controlHandler_isExit());
    for (int signal : {SIGHUP, SIGINT, SIGABRT, SIGQUIT}) {
        EXPECT_EQ(actionOf(signal), SIG_DFL) << signal;
    }
}

TEST_F(ControlHandlerTest, SigpipeIsIgnoredOnlyWhenThePropertySaysSo)
{
    struct Case
    {
        const char* value;
        bool ignored;
    };
    const Case cases[] = {{nullptr, false}, {"0", false}, {"false", false}, {"1", true}, {"yes", true}};
    for (const Case& c : cases) {
        ScopedEnv property("VNX_DISABLE_SIGPIPE_HANDLER", c.value);
        ASSERT_EQ(actionOf(SIGPIPE), SIG_DFL);
        ASSERT_EQ(vnx_controlHandler_initialize(), 0);
        EXPECT_EQ(actionOf(SIGPIPE), c.ignored ? SIG_IGN : SIG_DFL) << (c.value ? c.value : "unset");
        ASSERT_EQ(vnx_controlHandler_finalize(), 0);
        EXPECT_EQ(actionOf(SIGPIPE), SIG_DFL);
    }
}

} // namespace
