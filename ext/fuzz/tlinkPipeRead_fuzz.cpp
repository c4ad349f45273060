// Arbitrary bytes on a named pipe, read frame by frame through TlinkPipe
// until it finds nothing more: every answer must be a status, every payload
// handed out must fit the caller's buffer, and after a broken frame the pipe
// must be empty.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"
#include "tlinkPipe/TlinkPipe.h"

namespace {

struct Rig
{
    vnx::TlinkPipe reader;
    int writer = -1;

    bool start()
    {
        char pattern[] = "/tmp/kinemora-tlinkpipe-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            return false;
        }
        const std::string path = std::string(pattern) + "/link";
        if (mkfifo(path.c_str(), 0600) != 0) {
            return false;
        }
        if (reader.open(path.c_str(), vnx::NamedPipe::ACCESS_READ, vnx::NamedPipe::CREATE_BY_PROPERTY) != 0) {
            return false;
        }
        writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        return writer >= 0;
    }
};

Rig& rig()
{
    static Rig made;
    static const bool started = made.start();
    if (!started) {
        std::fprintf(stderr, "cannot set up the fuzzing FIFO\n");
        std::abort();
    }
    return made;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Rig& r = rig();
    // The first byte picks the reader's buffer size; the rest goes on the pipe.
    if (size < 1) {
        return 0;
    }
    const size_t capacity = data[0] % 101;
    const ssize_t written = ::write(r.writer, data + 1, size - 1);
    if (written < 0 || static_cast<size_t>(written) != size - 1) {
        std::abort(); // inputs are limited far below the FIFO's capacity
    }
    uint8_t buffer[100];
    for (;;) {
        size_t n = 12345;
        const int status = r.reader.read(buffer, capacity, &n);
        if (status == 0) {
            if (n == 0 || n > capacity || n > vnx::TlinkPipe::kMaxPayload) {
                std::abort();
            }
            continue;
        }
        if (n != 0) {
            std::abort();
        }
        if (status == VNX_STATUS_INVALID_MESSAGE) {
            size_t left = 0;
            uint8_t probe[1];
            if (r.reader.read(probe, sizeof probe, &left) != VNX_STATUS_IO_NOT_READY) {
                std::abort(); // a broken frame empties the pipe
            }
            break;
        }
        if (status == VNX_STATUS_SIZE_TOO_SMALL) {
            continue;
        }
        if (status != VNX_STATUS_IO_NOT_READY) {
            std::abort();
        }
        break;
    }
    r.reader.readFlush();
    return 0;
}
