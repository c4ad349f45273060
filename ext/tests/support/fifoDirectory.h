#pragma once

// Test helper: a scratch directory for FIFOs, removed with everything in it,
// and what a FIFO's reader end holds.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace vnx::testsupport {

class FifoDirectory
{
  public:
    FifoDirectory()
    {
        char pattern[] = "/tmp/kinemora-fifo-XXXXXX";
        if (const char* made = mkdtemp(pattern)) {
            path_ = made;
        }
    }
    ~FifoDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FifoDirectory(const FifoDirectory&) = delete;
    FifoDirectory& operator=(const FifoDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    /// A FIFO at `name` inside the directory: its full path.
    std::string fifo(const std::string& name) const
    {
        const std::string full = *this / name;
        mkfifo(full.c_str(), 0600);
        return full;
    }

  private:
    std::string path_;
};

/// Every byte a non-blocking descriptor holds now (a FIFO's reader end).
inline std::vector<unsigned char> readAvailable(int fd)
{
    std::vector<unsigned char> bytes;
    unsigned char chunk[4096];
    for (ssize_t got = ::read(fd, chunk, sizeof chunk); got > 0; got = ::read(fd, chunk, sizeof chunk)) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

} // namespace vnx::testsupport
