#include "namedPipe/fifoWrite.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace vnx {

ssize_t writeWithoutSigPipe(int fd, const void* data, size_t length)
{
    sigset_t pipeOnly;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);

    // A SIGPIPE that was pending before belongs to someone else: leave it.
    sigset_t pending;
    sigpending(&pending);
    const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;

    const ssize_t written = ::write(fd, data, length);
    const int writeError = errno;

    if (written < 0 && writeError == EPIPE && !pendingBefore) {
        const timespec noWait = {0, 0};
        sigtimedwait(&pipeOnly, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = writeError;
    return written;
}

} // namespace vnx
