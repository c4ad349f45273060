// StructPipe::read on arbitrary bytes in the FIFO, with buffers of several
// capacities: every answer is a status, nothing is written past the buffer,
// and the pipe is read until it is empty.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/StructPipe.h"

namespace {

struct Fifo
{
    Fifo()
    {
        char pattern[] = "/tmp/kinemora-fuzz-XXXXXX";
        directory = mkdtemp(pattern);
        path = directory + "/records";
        mkfifo(path.c_str(), 0600);
    }
    ~Fifo()
    {
        unlink(path.c_str());
        rmdir(directory.c_str());
    }
    std::string directory;
    std::string path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Fifo fifo;
    if (size < 1) {
        return 0;
    }
    static const size_t capacities[] = {8192, 16, 15, 40, 100, 4096};
    const size_t capacity = capacities[data[0] % 6];

    vnx::StructPipe reader;
    if (reader.open(fifo.path.c_str(), vnx::NamedPipe::ACCESS_READ, vnx::NamedPipe::CREATE_BY_PROPERTY) !=
        0) {
        std::abort();
    }
    const int writer = ::open(fifo.path.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer < 0 || ::write(writer, data + 1, size - 1) != static_cast<ssize_t>(size - 1)) {
        std::abort();
    }
    ::close(writer);

    // Exactly the capacity, so that a write past it is caught.
    auto* buffer = static_cast<vnx_Struct_s*>(std::malloc(capacity));
    for (int reads = 0; reads < 10000; ++reads) {
        const int status = reader.read(buffer, capacity);
        // Nothing left, or a buffer too small for any header.
        if (status == -1010 || (status == -11 && capacity < 16)) {
            break;
        }
        if (status == 0 && (buffer->size > capacity || buffer->size < 16)) {
            std::abort();
        }
    }
    std::free(buffer);
    return 0;
}
