// Hang-up, interrupt, abort and quit turned into an exit flag for a client's
// plain loop. The handler itself only stores and calls what is safe inside a
// signal handler; the signal is logged later, by the loop's own call.

#include <signal.h>

#include "appSupport/appSupport.h"
#include "appSupport/appSupportLog.h"
#include "common/properties.h"

namespace {

constexpr int kHandledSignals[] = {SIGHUP, SIGINT, SIGABRT, SIGQUIT};

volatile sig_atomic_t exitFlag = 0;
/// The last handled signal not logged yet (0: none).
volatile sig_atomic_t caughtSignal = 0;
vnx_controlHandler_callback_f volatile signalCallback = nullptr;

extern "C" void sighandler(int signal)
{
    caughtSignal = signal;
    exitFlag = 1;
    const vnx_controlHandler_callback_f callback = signalCallback;
    if (callback != nullptr) {
        callback();
    }
}

bool sigpipeIgnored()
{
    return vnx_properties_getAsBoolean("DISABLE_SIGPIPE_HANDLER", false);
}

void setAction(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(signal, &action, nullptr);
}

} // namespace

extern "C" int vnx_controlHandler_initialize(void)
{
    signalCallback = nullptr;
    exitFlag = 0;
    caughtSignal = 0;
    for (int signal : kHandledSignals) {
        setAction(signal, sighandler);
    }
    if (sigpipeIgnored()) {
        setAction(SIGPIPE, SIG_IGN);
    }
    return 0;
}

extern "C" void vnx_controlHandler_setCallback(vnx_controlHandler_callback_f callback)
{
    signalCallback = callback;
}

extern "C" bool vnx_controlHandler_isExit(void)
{
    const int signal = caughtSignal;
    if (signal != 0) {
        caughtSignal = 0;
        VNX_LOGF(vnx::appSupportLogger(), vnx::log::INFO, "Signal %d caught", signal);
    }
    return exitFlag != 0;
}

extern "C" int vnx_controlHandler_finalize(void)
{
    exitFlag = 1;
    for (int signal : kHandledSignals) {
        setAction(signal, SIG_DFL);
    }
    if (sigpipeIgnored()) {
        setAction(SIGPIPE, SIG_DFL);
    }
    return 0;
}
