#include "namedPipe/namedPipeLog.h"

#include <signal.h>

#include "extCommon/SysLogger.h"

namespace vnx {

const log::Logger& namedPipeLog()
{
    static log::SysLogger logger("vnx_core_NamedPipe", "NamedPipe");
    return logger;
}

void checkSigPipe()
{
    static bool checked = false;
    if (checked) {
        return;
    }
    checked = true;
    struct sigaction current = {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
        current.sa_handler == SIG_DFL) {
        VNX_LOGF(namedPipeLog(), log::INFO, "SIGPIPE must be set to SIG_IGN or otherwise ignored");
    }
}

} // namespace vnx
