// Single keys from standard input for a client's plain loop.

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "appSupport/appSupport.h"
#include "appSupport/appSupportLog.h"

namespace {

constexpr int kStdIn = 0;

} // namespace

extern "C" int vnx_appSupport_getStdInputFileHandle(void)
{
    return kStdIn;
}

extern "C" int vnx_appSupport_getStdInputEvents(void)
{
    return POLLIN;
}

extern "C" bool vnx_appSupport_stdInputAvailable(void)
{
    pollfd input = {kStdIn, POLLIN, 0};
    const int ready = ::poll(&input, 1, 0);
    if (ready < 0) {
        VNX_LOGF(vnx::appSupportLogger(), vnx::log::INFO, "Error waiting for data");
        return false;
    }
    return ready > 0 && (input.revents & POLLIN) != 0;
}

extern "C" int vnx_appSupport_stdInputGetChar(void)
{
    if (!vnx_appSupport_stdInputAvailable()) {
        return 0;
    }
    // Key by key, without echo, and the terminal as it was right after. Input
    // that is not a terminal (a pipe, a file) is read as it is.
    termios saved{};
    const bool terminal = ::tcgetattr(kStdIn, &saved) == 0;
    if (terminal) {
        termios raw = saved;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        ::tcsetattr(kStdIn, TCSANOW, &raw);
    }
    unsigned char key = 0;
    const ssize_t got = ::read(kStdIn, &key, 1);
    if (terminal) {
        ::tcsetattr(kStdIn, TCSANOW, &saved);
    }
    return got == 1 ? key : 0;
}
