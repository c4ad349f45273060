#pragma once

#include <sys/types.h>

#include <cstddef>

namespace vnx {

/// One write(2) on a FIFO that can never raise SIGPIPE in the process: the
/// signal is blocked around the call and, when the write itself made one
/// pending, it is consumed before the mask is restored. A reader that leaves
/// thus always shows as EPIPE, whatever the process's SIGPIPE disposition.
/// Returns write(2)'s result with its errno.
ssize_t writeWithoutSigPipe(int fd, const void* data, size_t length);

} // namespace vnx
